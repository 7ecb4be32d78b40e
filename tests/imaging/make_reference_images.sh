#!/usr/bin/env bash
# Makes the reference pictures of the loader tests with ImageMagick and netpbm:
# every file comes with the PAM decode of an independent reader (name.pam), and
# manifest.txt lists "file tolerance" (0 exact, 1 for 16-bit sources scaled to 8).
#   make_reference_images.sh <output folder>
set -euo pipefail
out=$1
rm -rf "$out.tmp"
mkdir -p "$out.tmp"
cd "$out.tmp"
export MAGICK_THREAD_LIMIT=1

# Sources: widths 1, 3 and 257, 8-bit, 16-bit and with alpha.
for w in 1 3 257; do
  h=$(( w == 257 ? 9 : (w == 1 ? 7 : 5) ))
  convert -seed $((w + 3)) -size ${w}x${h} plasma: -depth 16 s${w}_16.ppm
  convert s${w}_16.ppm -depth 8 s${w}.ppm
  convert s${w}.ppm -alpha set -channel A -fx "0.2+0.6*(i+j)/(w+h)" +channel s${w}a.png
done

manifest=manifest.txt
: >$manifest
# ref <file> [tolerance] [frame]: the reference decode of <file> by ImageMagick.
ref() {
  local f=$1 tol=${2:-0} frame=${3:-0}
  convert "${f}[${frame}]" -depth 8 "$f.pam"
  echo "$f $tol" >>$manifest
}
# netref <file> <netpbm reader...>: the reference decode by a netpbm reader, for
# formats where ImageMagick's reader does not follow the format (TGA origin, Sun
# raster runs, icons whose alpha bytes are unused).
netref() {
  local f=$1; shift
  "$@" "$f" 2>/dev/null >netref.pnm
  convert netref.pnm -depth 8 "$f.pam"
  echo "$f 0" >>$manifest
}
# The TGA reader with the alpha channel kept.
tgaref() {
  local f=$1
  tgatoppm --alphaout=netref_a.pgm "$f" 2>/dev/null >netref.ppm
  convert netref.ppm netref_a.pgm -alpha off -compose CopyOpacity -composite -depth 8 "$f.pam"
  echo "$f 0" >>$manifest
}

for w in 1 3 257; do
  s=s$w.ppm; a=s${w}a.png
  # BMP: every depth, RLE8, 16-bit and 32-bit bit fields, OS/2 core header.
  convert $s BMP3:bmp24_$w.bmp; ref bmp24_$w.bmp
  convert $s -type palette BMP3:bmp8_$w.bmp; ref bmp8_$w.bmp
  convert $s -colors 16 BMP3:bmp4_$w.bmp; ref bmp4_$w.bmp
  convert $s -monochrome BMP3:bmp1_$w.bmp; ref bmp1_$w.bmp
  if [ $w -gt 1 ]; then  # ImageMagick's run coder breaks one-pixel rows
    convert $s -type palette -compress RLE BMP3:bmprle8_$w.bmp; ref bmprle8_$w.bmp
  fi
  convert $s -define bmp:subtype=RGB565 bmp16_$w.bmp; ref bmp16_$w.bmp
  convert $s -define bmp:subtype=RGB555 bmp15_$w.bmp; ref bmp15_$w.bmp
  convert $a BMP:bmp32a_$w.bmp; ref bmp32a_$w.bmp
  convert $s BMP2:bmpcore_$w.bmp; ref bmpcore_$w.bmp
  ppmtobmp -bpp 8 $s >bmpnetpbm8_$w.bmp 2>/dev/null || ppmtobmp $s >bmpnetpbm8_$w.bmp 2>/dev/null
  ref bmpnetpbm8_$w.bmp
  # ICO and CUR: BMP entries with masks, alpha, several sizes, PNG entries.
  if [ $w -lt 257 ]; then
    convert $a ico_$w.ico; ref ico_$w.ico
    convert $s cur:cur_$w.cur; ref cur_$w.cur
    pamtowinicon $s >icon_$w.ico 2>/dev/null
    convert $s -depth 8 icon_$w.ico.pam; echo "icon_$w.ico 0" >>$manifest  # its source, unchanged
  else
    # Several sizes; the largest (48) is the second entry.
    convert $a -define icon:auto-resize=16,48,32 icomulti.ico; ref icomulti.ico 0 1
    convert $s -resize 256x9\! -define icon:format=png icopng.ico; ref icopng.ico
  fi
  # TGA: types 1, 2, 3, 9, 10, 11 and 32-bit alpha.
  convert $s tga24_$w.tga; netref tga24_$w.tga tgatoppm
  convert $s -compress RLE tgarle24_$w.tga; netref tgarle24_$w.tga tgatoppm
  convert $s -type palette tgamap_$w.tga; netref tgamap_$w.tga tgatoppm
  convert $s -type grayscale tgagrey_$w.tga; netref tgagrey_$w.tga tgatoppm
  convert $s -type grayscale -compress RLE tgarlegrey_$w.tga; netref tgarlegrey_$w.tga tgatoppm
  convert $a tga32_$w.tga; tgaref tga32_$w.tga
  pnmquant 200 $s 2>/dev/null | pamtotga -cmap >tgarlemap_$w.tga 2>/dev/null; netref tgarlemap_$w.tga tgatoppm
  pamtotga -rgb $s >tgarlergb_$w.tga 2>/dev/null; netref tgarlergb_$w.tga tgatoppm
  pamtotga -rgb -norle $s >tganetpbm_$w.tga 2>/dev/null; netref tganetpbm_$w.tga tgatoppm
  # PCX: 24-bit planes, 8-bit with palette, 1-bit, EGA planes, packed bits.
  ppmtopcx -24bit $s >pcx24_$w.pcx 2>/dev/null; ref pcx24_$w.pcx
  ppmtopcx -8bit $s >pcx8_$w.pcx 2>/dev/null; ref pcx8_$w.pcx
  pnmquant 16 $s 2>/dev/null | ppmtopcx -planes 4 >pcxplanes4_$w.pcx 2>/dev/null; ref pcxplanes4_$w.pcx
  pnmquant 16 $s 2>/dev/null | ppmtopcx -packed >pcxpacked4_$w.pcx 2>/dev/null; ref pcxpacked4_$w.pcx
  pnmquant 4 $s 2>/dev/null | ppmtopcx -packed >pcxpacked2_$w.pcx 2>/dev/null; ref pcxpacked2_$w.pcx
  convert $s -monochrome pcx1_$w.pcx; ref pcx1_$w.pcx
  convert $s pcxim_$w.pcx; ref pcxim_$w.pcx
  # WBMP.
  convert $s -monochrome wbmp_$w.wbmp; ref wbmp_$w.wbmp
  # PNM: P1 to P6, 16-bit samples, an odd maximum value.
  convert $s -monochrome -compress none pbm_p1_$w.pbm; ref pbm_p1_$w.pbm
  convert $s -monochrome pbm_p4_$w.pbm; ref pbm_p4_$w.pbm
  convert $s -type grayscale -compress none pgm_p2_$w.pgm; ref pgm_p2_$w.pgm
  convert $s -type grayscale pgm_p5_$w.pgm; ref pgm_p5_$w.pgm
  convert $s -compress none ppm_p3_$w.ppm; ref ppm_p3_$w.ppm
  cp $s ppm_p6_$w.ppm; ref ppm_p6_$w.ppm
  cp s${w}_16.ppm ppm16_$w.ppm; ref ppm16_$w.ppm 1
  pnmtoplainpnm s${w}_16.ppm >ppm16plain_$w.pnm 2>/dev/null; ref ppm16plain_$w.pnm 1
  pamdepth 1000 $s >ppm1000_$w.ppm 2>/dev/null; ref ppm1000_$w.ppm 1
  ppmtopgm s${w}_16.ppm >pgm16_$w.pgm 2>/dev/null; ref pgm16_$w.pgm 1
  # Sun raster: 1, 8, 24 and 32 bits, RGB order, run-length coded.
  convert $s SUN:ras24_$w.ras; ref ras24_$w.ras
  convert $a SUN:ras32_$w.ras; ref ras32_$w.ras
  convert $s -type palette SUN:ras8_$w.ras; ref ras8_$w.ras
  convert $s -monochrome SUN:ras1_$w.ras; ref ras1_$w.ras
  pnmquant 200 $s 2>/dev/null | pnmtorast -rle >rasrle_$w.ras 2>/dev/null; netref rasrle_$w.ras rasttopnm
  pnmtorast -standard $s >rasstd_$w.ras 2>/dev/null; ref rasstd_$w.ras
  convert $s -type grayscale pgmtmp_$w.pgm; pnmtorast -rle pgmtmp_$w.pgm >rasrlegrey_$w.ras 2>/dev/null
  netref rasrlegrey_$w.ras rasttopnm
  # PGX.
  convert $s -type grayscale PGX:pgx_$w.pgx; ref pgx_$w.pgx
  # Packaged formats, decoded in the tests by their own libraries.
  convert $s -quality 90 jpg_$w.jpg
  convert $s -interlace Plane -quality 85 jpgprog_$w.jpg
  convert $s -type grayscale jpggrey_$w.jpg
  convert $s -colorspace CMYK jpgcmyk_$w.jpg
  convert $s png_$w.png
  convert $a png_alpha_$w.png
  convert $s -type palette PNG8:png_pal_$w.png
  convert $s -type grayscale png_grey_$w.png
  convert s${w}_16.ppm PNG48:png16_$w.png
  convert $s -interlace PNG png_interlace_$w.png
  convert $s -monochrome png_1bit_$w.png
  convert $s -compress none tif_none_$w.tif
  convert $s -compress LZW tif_lzw_$w.tif
  convert $s -compress Zip tif_zip_$w.tif
  convert $s -compress RLE tif_packbits_$w.tif
  convert $s -compress JPEG -quality 90 tif_jpeg_$w.tif
  convert $s -compress LZW -define tiff:tile-geometry=16x16 tif_tiled_$w.tif
  convert s${w}_16.ppm -compress Zip -define tiff:tile-geometry=32x16 tif_tiled16_$w.tif
  convert s${w}_16.ppm -compress LZW tif16_$w.tif
  convert $s -type grayscale -compress LZW tif_grey_$w.tif
  convert $s -monochrome tif_1bit_$w.tif
  convert $s -type palette tif_pal_$w.tif
  convert $a tif_alpha_$w.tif
  convert $s gif_$w.gif
  convert $s -interlace GIF gif_interlace_$w.gif
  convert $a gif_transparent_$w.gif
  convert $s jp2_$w.jp2
  convert $s J2K:j2k_$w.j2k
  convert $s -type grayscale jp2grey_$w.jp2
done
# Pictures tall enough to be read in bands of strips or tile rows: strips of several rows
# with a short last one, tiles overhanging both edges, every sample layout.
convert -seed 17 -size 203x301 plasma: -depth 16 tall_16.ppm
convert tall_16.ppm -depth 8 tall.ppm
convert tall.ppm -alpha set -channel A -fx "0.2+0.6*(i+j)/(w+h)" +channel talla.png
convert tall.ppm -compress LZW -define tiff:rows-per-strip=7 tiftall_lzw_203.tif
convert tall.ppm -compress none -define tiff:rows-per-strip=1 tiftall_none_203.tif
convert tall.ppm -compress Zip -define tiff:tile-geometry=64x48 tiftall_tiled_203.tif
convert tall_16.ppm -compress LZW -define tiff:rows-per-strip=5 tiftall16_203.tif
convert tall.ppm -type grayscale -compress LZW -define tiff:rows-per-strip=3 tiftall_grey_203.tif
convert tall.ppm -monochrome -define tiff:rows-per-strip=9 tiftall_1bit_203.tif
convert tall.ppm -type palette -define tiff:rows-per-strip=4 tiftall_pal_203.tif
convert talla.png -define tiff:rows-per-strip=6 tiftall_alpha_203.tif
rm -f tall_16.ppm tall.ppm talla.png
# Every packaged file is listed without a reference: the tests decode it with its library.
for f in jpg*_*.jpg png*_*.png tif*_*.tif gif*_*.gif jp2*_*.jp2 j2k_*.j2k; do
  echo "$f lib" >>$manifest
done
rm -f s*.ppm s*a.png pgmtmp_*.pgm netref*
cd ..
rm -rf "$out"
mv "$out.tmp" "$out"
