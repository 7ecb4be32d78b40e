// Shows a composition result: into the thumbnail strip and opened as the current image,
// all through the links.
#pragma once

#include "afxwin.h"

void PublishCompositionResult(const CString& path);
