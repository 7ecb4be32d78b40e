// The HDR merge of the composition dialog (on the GUI thread): the merge list's first
// three files (with two, the second twice) averaged into "hdr_" + stamp + the first
// file's extension beside it, made unique; shown in the status line and published.
#pragma once

class CImageFusionDialog;

// 1 merged and published, 0 failed.
int HdrMerge(CImageFusionDialog* dialog);
