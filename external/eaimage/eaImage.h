// Tile stitching library: joins overlapping microscope tiles into one picture.
//
// Boundary rules:
// - eaStitch(reserved, count, paths, output): reserved is 0; paths holds count
//   zero-terminated UTF-8 paths of the tiles (full, or relative to the process's
//   current folder); output is the UTF-8 path of the picture to write. The caller owns
//   every string; the library keeps nothing after it returns and allocates nothing the
//   caller must free. Nothing throws out of the library; it may be called from any
//   thread made by Win32.
// - Tiles: pictures of one size of any type the program reads, taken by moving a
//   stage: they differ by translation only, in any arrangement and any order, each
//   overlapping at least one other.
// - The output's type follows its extension (any type the program reads; a metafile
//   name gets a metafile that draws the mosaic).
// - Result 0: the output file holds the mosaic of every tile. Any other result writes
//   no file (an existing file of that name is left alone):
//   EA_ERR_ARGUMENT a reserved value other than 0, fewer than 2 tiles, a null or empty
//     path, or an output type the library cannot write;
//   EA_ERR_READ a tile that cannot be read or decoded, or that differs in size;
//   EA_ERR_PLACE a tile without a reliable overlap with the others: no partial mosaic
//     is ever written;
//   EA_ERR_WRITE the output could not be written;
//   EA_ERR_RESOURCES memory or another resource ran out on the way.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#define EA_OK 0
#define EA_ERR_ARGUMENT 1
#define EA_ERR_READ 2
#define EA_ERR_PLACE 3
#define EA_ERR_WRITE 4
#define EA_ERR_RESOURCES 5

__attribute__((ms_abi)) int eaStitch(int reserved, int count, const char* const* paths,
                                     const char* output);

#ifdef __cplusplus
}
#endif
