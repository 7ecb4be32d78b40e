// Shared set-up of the measuring panel tests: a picture in the process-wide store, its
// measurement object bound to a view window of the test, and clicks as the skinned
// controls deliver them.
#pragma once
#include "afxwin.h"
#include "app/store/ImageStore.h"
#include "app/shell/DravenluxDoc.h"

class TempDir
{
public:
    TempDir();
    ~TempDir();
    CString File(LPCWSTR name) const { return m_path + L"\\" + name; }
    const CString& Path() const { return m_path; }

private:
    CString m_path;
};

// A 24-bit BMP of the given size with a gradient.
CString WritePicture(const TempDir& dir, LPCWSTR name, int width, int height);

// The view the store's measurement object draws into; lives as long as the process.
CWnd* MeasureView();

// The process-wide store with `picture` open, no units, counters or layers, its image
// rectangle placed in MeasureView().
CImageStore* FreshStore(const CString& picture);

// A check button toggled and reported, as a user's click on it does.
void ClickCheck(HWND dialog, int id);
// A push button reported.
void Click(HWND dialog, int id);
CString ItemText(HWND dialog, int id);

// A plain visible popup parent.
class PlainParent : public CWnd
{
public:
    PlainParent(int width = 800, int height = 600);
    ~PlainParent();
};
