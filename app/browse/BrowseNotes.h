// Where the picture note of any listed file lives.
#pragma once
#include "afx.h"

class CImageStore;

// The note file of path, named after its own name and creation time; empty when the
// file or the store is not there.  Taken before a file is moved away.
CString NoteFileOf(const CImageStore* store, const CString& path);
