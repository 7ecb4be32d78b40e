// Helpers of the image store tests: a temporary folder, pictures written to files, a
// plain window serving as the view, and libtiff's reading of what the store wrote.
#pragma once
#include "afxwin.h"
#include "app/store/ImageStore.h"
#include <string>
#include <vector>

class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    CString Path(LPCWSTR name) const;   // folder + "\" + name
    const CString& Folder() const { return m_folder; }   // ends with a backslash

private:
    CString m_folder;
};

// A picture with a pattern; bpp 8 is grey, 24 colour.
CxImage MakePicture(int width, int height, int bpp);
CxImage FlatPicture(int width, int height, int bpp, BYTE value);
// Saves a picture and returns its path.
CString WritePicture(const TempFolder& dir, LPCWSTR name, CxImage picture, DWORD type);
std::vector<BYTE> ReadBytes(LPCWSTR path);

// A visible popup window of the given client size, the store's view.
class TestView : public CWnd
{
public:
    TestView(int width, int height);
    virtual ~TestView();
};

// libtiff's view of a TIFF file (Win32-free side).
struct TiffFacts {
    int width = 0, height = 0, bitsPerSample = 0, samplesPerPixel = 0, sampleFormat = 0;
    std::vector<unsigned short> samples16;   // first rows, 16-bit files
    std::vector<unsigned char> samples8;
};
bool ReadTiffFacts(const std::vector<unsigned char>& file, TiffFacts& facts);
