// The file-name prefix field: a skinned edit that refuses the characters a file name
// cannot hold (a prefix with "\" or "/" would leave the capture folder, and one with
// ":" or *?"<>| makes every shot fail).
#pragma once
#include "app/controls/SkinEdit.h"

class CPrefixEdit : public CSkinEdit
{
public:
    CPrefixEdit();
    virtual ~CPrefixEdit();

    static BOOL IsRefused(WCHAR c);
    // text without the refused characters.
    static CString Clean(const CString& text);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL m_bCleaning;
};
