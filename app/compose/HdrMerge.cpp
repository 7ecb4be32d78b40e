#include "app/compose/HdrMerge.h"

#include "app/compose/CompositionFiles.h"
#include "app/compose/ImageFusionDialog.h"
#include "app/compose/PublishCompositionResult.h"
#include "app/store/ImageStore.h"

#include <algorithm>

int HdrMerge(CImageFusionDialog* dialog)
{
    const std::vector<CString> names = dialog->GetMergeNames();
    const int n = int(names.size());
    if (n < 1)
        return 0;
    const CString folder = dialog->GetFolder();
    HdrMergeRequest request;
    for (int k = 0; k < 3; ++k)
        request.inputs.push_back(folder + L"\\" + names[std::min(k, n - 1)]);
    const CString extension = FileExtensionOf(request.inputs[0]);
    const CString resultFolder = FolderOf(request.inputs[0]);
    if (extension.IsEmpty() || resultFolder.IsEmpty())
        return 0;
    request.output = resultFolder + L"hdr_" + CompositionStamp() + extension;
    MakeUniqueFileName(request.output);
    const int result = CImageStore::MergeImageFiles(request);
    if (result)
        PublishCompositionResult(request.output);
    return result ? 1 : 0;
}
