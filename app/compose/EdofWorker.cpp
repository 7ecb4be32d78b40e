#include "app/compose/EdofWorker.h"

#include "app/compose/ComposeMessages.h"
#include "app/compose/CompositionFiles.h"
#include "app/compose/EdofNative.h"
#include "Bands.h"
#include "DoFDll.h"
#include "xImage.h"

#include <memory>

namespace {

DofImage View(CxImage& image)
{
    // Rows run bottom-up: the measure does not care which way up a picture is.
    return DofImage{int(image.GetWidth()), int(image.GetHeight()), int(image.GetEffWidth()),
                    image.GetBits(0)};
}

bool Measure(CxImage& image, std::vector<float>* focus)
{
    DofImage view = View(image);
    focus->assign(size_t(view.width) * view.height, 0.0f);
    DofMatrix m{view.height, view.width, view.width * int(sizeof(float)), focus->data()};
    return ExtendDeepOfField(&view, &m) == 1;
}

// The per-pixel choice, in row bands at once (each band its own rows of both).
void TakeSharper(CxImage& running, std::vector<float>* focus, CxImage& plane,
                 const std::vector<float>& other)
{
    const int w = int(running.GetWidth()), h = int(running.GetHeight());
    const size_t stride = running.GetEffWidth();
    const int count = orvbands::BandCount(h, 64);
    auto band = [&](int k) {
        int first, last;
        orvbands::BandRows(h, count, k, &first, &last);
        TakeSharperPixels(running.GetBits(0) + stride * first, focus->data() + size_t(w) * first,
                          plane.GetBits(0) + stride * first, other.data() + size_t(w) * first, w,
                          last - first, int(stride));
    };
    orvbands::ForEachBand(count, band);
}

bool Merge(const EdofJob& job)
{
    if (job.inputs.empty())
        return false;
    CxImage running;
    if (!running.LoadAsColour(job.inputs[0]))
        return false;
    const int w = int(running.GetWidth()), h = int(running.GetHeight());
    std::vector<float> focus, other;
    if (!Measure(running, &focus))
        return false;
    for (size_t i = 1; i < job.inputs.size(); ++i) {
        CxImage plane;
        if (!plane.LoadAsColour(job.inputs[i]) || int(plane.GetWidth()) != w
            || int(plane.GetHeight()) != h || !Measure(plane, &other))
            return false;
        TakeSharper(running, &focus, plane, other);
        PostMessageW(job.notify, WM_FUSION_PROGRESS, FUSION_STEP, 0);
    }
    CxImage smooth(running);
    SmoothForSharpening(running.GetBits(0), smooth.GetBits(0), w, h, int(running.GetEffWidth()));
    DofImage soft = View(smooth), sharp = View(running);
    if (usm(&soft, &sharp) != 1)
        return false;
    // A JPEG result is written finer than the picture core's everyday default: every
    // pixel of a merge has been chosen and sharpened once, and a coarser second
    // compression would undo what it won.
    running.SetJpegQuality(kEdofJpegQuality);
    // The save goes through a temporary file: a failed one leaves nothing behind.
    return running.SaveByName(job.output);
}

}  // namespace

void EdofThread(void* param)
{
    std::unique_ptr<EdofJob> job(static_cast<EdofJob*>(param));
    const bool done = Merge(*job);
    const HWND notify = job->notify;
    job.reset();
    PostMessageW(notify, WM_FUSION_PROGRESS, done ? FUSION_DONE : FUSION_FAILED, 0);
    _endthread();
}

CString EdofResultPath(const CString& folder, const CString& firstName)
{
    CString path = folder + L"\\EDoF_P" + CompositionStamp() + FileExtensionOf(firstName);
    MakeUniqueFileName(path);
    return path;
}
