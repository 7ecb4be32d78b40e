#include "app/compose/PublishCompositionResult.h"

#include "app/browse/ThumbnailStrip.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/ShellLinks.h"

void PublishCompositionResult(const CString& path)
{
    ShellLinks& links = Links();
    if (links.strip && links.strip->GetSafeHwnd())
        if (CWnd* progress = links.strip->GetDlgItem(IDC_STRIP_PROGRESS))
            progress->ShowWindow(SW_SHOW);
    if (links.thumbList)
        links.thumbList->AddFile(path, 1);
    if (links.strip)
        links.strip->RefreshAfterChange();
    if (links.doc)
        links.doc->OnOpenDocument(path);
    if (links.strip)
        links.strip->UpdateCurrentImageLabel(0);
}
