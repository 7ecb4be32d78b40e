// The preview window and its overlay against the bench camera: panel updates from the
// library's messages, zoom steps and fits, scrolling in step, the overlay's colour key
// and its mouse input, full screen.
#include "tests/live_preview/PreviewSupport.h"
#include "app/capture/LiveLayout.h"
#include "app/shell/MainFrame.h"
#include "app/shell/ProgressPopup.h"
#include "app/store/ImageStore.h"

#include <math.h>
#include <vector>

using namespace preview;
using orvbench::Bench;

namespace {

// Pixels of a screen rectangle as the display shows them now.
std::vector<COLORREF> ScreenPixels(const CRect& r)
{
    std::vector<COLORREF> out(size_t(r.Width()) * r.Height());
    HDC screen = ::GetDC(NULL);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = r.Width();
    bi.bmiHeader.biHeight = -r.Height();
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC mem = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(mem, dib);
    ::BitBlt(mem, 0, 0, r.Width(), r.Height(), screen, r.left, r.top, SRCCOPY);
    ::GdiFlush();
    const DWORD* p = static_cast<const DWORD*>(bits);
    for (size_t i = 0; i < out.size(); ++i) out[i] = RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    ::DeleteObject(dib);
    ::ReleaseDC(NULL, screen);
    return out;
}

// A store whose only mark is a red square: what the overlay shows over the picture.
class MarkStore : public CImageStore
{
public:
    CRect mark = CRect(40, 40, 80, 80);
    CPoint drawnOffset = CPoint(-1, -1);
    void DrawLiveOverlay(CWnd*, CDC* dc, int offsetX, int offsetY) override
    {
        drawnOffset = CPoint(offsetX, offsetY);
        HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
        ::FillRect(dc->m_hDC, &mark, red);
        ::DeleteObject(red);
    }
};

// The main frame's full-preview switch, without the frame's windows.
class FullPreviewFrame : public CMainFrame
{
public:
    int calls = 0;
    void SetFullPreview(BOOL on) override
    {
        calls++;
        m_bFullPreview = on ? 1 : 0;
    }
};

// A real pointer click through the X server (Wine starts the Unix tool directly).
void Click(const CPoint& screen)
{
    char command[160];
    snprintf(command, sizeof command, "Z:\\usr\\bin\\xdotool mousemove %d %d click 1", (int)screen.x, (int)screen.y);
    STARTUPINFOA si = {sizeof si};
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(::CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi));
    if (pi.hThread != NULL) ::CloseHandle(pi.hThread);
    if (pi.hProcess != NULL) {
        ::WaitForSingleObject(pi.hProcess, 5000);
        ::CloseHandle(pi.hProcess);
    }
}

class PreviewWndTest : public ::testing::Test
{
protected:
    void SetUp() override { LoadBench(SmallCamera()); }
    void TearDown() override { QrCCameraUnInit(); }
};

}  // namespace

TEST_F(PreviewWndTest, FrameStatusReachesThePanelsOnceASecond)
{
    LiveWindows live(100, 100, 480, 360);
    MessageSpy frames(live.preview.m_hWnd);
    ASSERT_TRUE(live.Open());
    ASSERT_TRUE(frames.WaitForMessage(WM_CAMERA_FRAME_STATUS, 5000, 5));
    const uint32_t before = Bench::Get().FrameCount(kCamera);
    frames.Clear();
    live.videoSpy->Clear();
    live.exposureSpy->Clear();
    PumpMessagesFor(3300);
    const uint32_t delivered = Bench::Get().FrameCount(kCamera) - before;
    const int shown = frames.Count(WM_CAMERA_FRAME_STATUS);
    EXPECT_NEAR(shown, (double)delivered, delivered * 0.1 + 1);

    // At most one update a second, each carrying the library's rate.
    std::vector<DWORD> times;
    for (const SpyMessage& m : live.videoSpy->Messages())
        if (m.msg == WM_EXPOSURE_PROGRESS_POS) {
            times.push_back(m.time);
            EXPECT_EQ(m.wParam, 1u);
            EXPECT_GT(m.lParam, 0);
        }
    ASSERT_GE(times.size(), 2u);
    EXPECT_LE(times.size(), 4u);
    for (size_t i = 1; i < times.size(); ++i) EXPECT_GE(times[i] - times[i - 1], 1000u - 20u);
    EXPECT_EQ(live.exposureSpy->Count(WM_LEVELS_REFRESH), (int)times.size());
    EXPECT_EQ(live.captureSpy->Count(WM_HOTKEY_CAPTURE), 0);
}

TEST_F(PreviewWndTest, ACaptureNoticeCapturesAtOnce)
{
    // The second library's cameras report a press of their capture key with a frame.
    LoadBench("camera zuzirazo EB1A:7585 Note.1 colour resolutions=320X256,160X128\n");
    LiveWindows live(100, 100, 480, 360);
    MessageSpy frames(live.preview.m_hWnd);
    ASSERT_TRUE(live.Open());
    ASSERT_TRUE(frames.WaitForMessage(WM_CAMERA_FRAME_STATUS, 5000, 3));
    ASSERT_TRUE(Bench::Get().InjectGrabResult("Note.1", 1));
    EXPECT_TRUE(live.captureSpy->WaitForMessage(WM_HOTKEY_CAPTURE, 2000));
    PumpMessagesFor(200);
    EXPECT_EQ(live.captureSpy->Count(WM_HOTKEY_CAPTURE), 1);
}

TEST_F(PreviewWndTest, ZoomStepsOnlyWhileLive)
{
    LiveWindows live(100, 100, 480, 360);
    live.preview.ZoomIn();
    EXPECT_FLOAT_EQ(live.preview.GetZoom(), 1.0f);   // stopped: nothing but a repaint
    ASSERT_TRUE(live.Open());
    ASSERT_TRUE(IsCameraLive());

    const float in[] = {1.5f, 2.0f, 4.0f, 4.0f};
    for (float expected : in) {
        live.preview.ZoomIn();
        live.overlay.ZoomIn();
        EXPECT_FLOAT_EQ(live.preview.GetZoom(), expected);
        EXPECT_FLOAT_EQ(live.overlay.GetZoom(), expected);
    }
    live.preview.ZoomActualSize();
    const float out[] = {0.75f, 0.5f, 0.25f, 0.125f, 0.125f};
    for (float expected : out) {
        live.preview.ZoomOut();
        EXPECT_FLOAT_EQ(live.preview.GetZoom(), expected);
    }
    live.preview.m_zoom = 0.3f;
    live.preview.ZoomIn();
    EXPECT_FLOAT_EQ(live.preview.GetZoom(), 0.5f);
    live.preview.m_zoom = 0.31f;
    live.preview.ZoomIn();
    EXPECT_FLOAT_EQ(live.preview.GetZoom(), 0.75f);
    live.preview.m_zoom = 0.35f;
    live.preview.ZoomOut();
    EXPECT_FLOAT_EQ(live.preview.GetZoom(), 0.175f);

    // At 2.0 the 320 x 256 picture is 640 x 512 at the client's corner, with scroll bars.
    live.preview.m_zoom = 2.0f;
    live.preview.ApplyZoom();
    CRect video = live.VideoRect();
    EXPECT_EQ(video, CRect(0, 0, 640, 512));
    int h = 0, v = 0;
    live.preview.GetScrollFlags(&h, &v);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(v, 1);
    RECT show = {};
    QrCCameraGetShowRect(&show);
    EXPECT_EQ(CRect(show), CRect(0, 0, 320, 256));
}

TEST_F(PreviewWndTest, FitsQuantiseLikeThePreviewAndStayAboveZero)
{
    LoadBench("camera zedodir 0547:A005 Big.1 colour resolutions=2048X1536,1600X1200,1024X768 clocks=fast:400\n");
    LiveWindows live(0, 0, 1100, 800);
    CImageStore store;
    Links().store = &store;
    ASSERT_TRUE(live.Open());
    live.preview.ApplyZoom();   // scroll bars shown, so the client below is what fits
    live.SetClientSize(1000, 700);
    live.preview.ZoomToFit();
    EXPECT_FLOAT_EQ(live.preview.GetZoom(), 0.45f);
    EXPECT_EQ(live.VideoRect().Size(), CSize(920, 688));
    CRect overlayClient;
    live.overlay.GetClientRect(&overlayClient);
    live.overlay.ZoomToFit();
    const float exact = std::min((float)overlayClient.Width() / 2048.0f, (float)overlayClient.Height() / 1536.0f);
    EXPECT_FLOAT_EQ(live.overlay.GetZoom(), exact);

    // The video fit of full screen: ratio 2.0 divides by whole factors, 1.28 stretches.
    live.SetClientSize(806, 606);
    ASSERT_EQ(QrCCameraSetResPreview(1), CAM_OK);   // 1600 x 1200
    live.preview.FitVideoToWindow();
    EXPECT_EQ(live.VideoRect(), CRect(3, 3, 803, 603));
    ASSERT_EQ(QrCCameraSetResPreview(2), CAM_OK);   // 1024 x 768
    live.preview.FitVideoToWindow();
    EXPECT_EQ(live.VideoRect().Size(), CSize(800, 600));

    // A minimised frame: the fit keeps a usable zoom, the tiny client leaves the video alone.
    live.SetClientSize(4, 3);
    live.preview.ZoomToFit();
    live.overlay.ZoomToFit();
    EXPECT_GE(live.preview.GetZoom(), LIVE_MIN_FIT_ZOOM);
    EXPECT_GE(live.overlay.GetZoom(), LIVE_MIN_FIT_ZOOM);
    const CRect before = live.VideoRect();
    live.preview.FitVideoToWindow();
    EXPECT_EQ(live.VideoRect().Size(), before.Size());
}

TEST_F(PreviewWndTest, ScrollingMovesOverlayPreviewAndMainViewTogether)
{
    LiveWindows live(100, 100, 300, 240);
    ASSERT_TRUE(live.Open());
    live.preview.m_zoom = live.overlay.m_zoom = 2.0f;   // 640 x 512 in about 280 x 220
    live.preview.ApplyZoom();
    live.overlay.ApplyZoom();
    POINT offset = {1, 1};
    live.overlay.GetScrollOffset(&offset);
    EXPECT_EQ(CPoint(offset), CPoint(0, 0));

    const CRect start = live.VideoRect();
    live.overlay.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(live.VideoRect().top, start.top - 10);
    EXPECT_EQ(live.overlay.GetScrollPos(SB_VERT), 1);
    live.overlay.GetScrollOffset(&offset);
    EXPECT_EQ(offset.y, 10);

    // One wheel notch: the preview's own step and the overlay's extra step.
    live.preview.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)-120), 0);
    PumpMessagesFor(50);
    EXPECT_EQ(live.VideoRect().top, start.top - 30);
    EXPECT_EQ(live.overlay.GetScrollPos(SB_VERT), 3);

    // Page up with three positions above moves three; page left with none moves nothing.
    live.overlay.SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(live.overlay.GetScrollPos(SB_VERT), 0);
    EXPECT_EQ(live.VideoRect().top, start.top);
    live.overlay.SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
    live.overlay.SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
    live.overlay.SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
    live.overlay.GetScrollOffset(&offset);
    EXPECT_EQ(offset.x, 30);
    live.overlay.SendMessage(WM_HSCROLL, SB_PAGELEFT, 0);
    live.overlay.GetScrollOffset(&offset);
    EXPECT_EQ(offset.x, 30);
    EXPECT_EQ(live.VideoRect().left, start.left - 30);

    // With one position left below, a notch moves the picture by 10 only.
    SCROLLINFO si = {sizeof si, SIF_ALL};
    live.overlay.GetScrollInfo(SB_VERT, &si);
    const int top = si.nMax - (int)si.nPage + 1;
    live.overlay.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, top - 1), 0);
    const int before = live.VideoRect().top;
    live.preview.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)-120), 0);
    PumpMessagesFor(50);
    EXPECT_EQ(live.VideoRect().top, before - 10);
    EXPECT_EQ(live.overlay.GetScrollPos(SB_VERT), top);

    // A zoom change puts the offsets back to 0.
    live.overlay.ZoomOut();
    live.overlay.GetScrollOffset(&offset);
    EXPECT_EQ(CPoint(offset), CPoint(0, 0));
}

TEST_F(PreviewWndTest, OverlayShowsThePictureThroughWhiteAndTakesClicksOnItsMarks)
{
    LiveWindows live(200, 150, 400, 320);
    MarkStore store;
    Links().store = &store;
    ASSERT_TRUE(live.Open());
    live.preview.ZoomActualSize();   // 1:1, centred
    live.overlay.ZoomActualSize();
    MessageSpy frames(live.preview.m_hWnd);
    ASSERT_TRUE(frames.WaitForMessage(WM_CAMERA_FRAME_STATUS, 5000, 10));
    live.overlay.UpdateWindow();
    PumpMessagesFor(300);
    SaveScreenshot(NULL, "preview_overlay");

    // Under the white of the overlay: the bench's picture, drawn 1:1 into the video.
    CRect video = live.VideoRect();
    live.preview.ClientToScreen(&video);
    orvbench::CameraSettings settings;
    ASSERT_TRUE(Bench::Get().Settings(kCamera, &settings));
    orvbench::RawFrameHeader frame = {};
    frame.frameNumber = Bench::Get().FrameCount(kCamera);
    frame.temperature = Bench::Get().Options().ambient;
    std::vector<uint8_t> reference;
    ASSERT_TRUE(Bench::Get().ReferenceImage(kCamera, settings, frame, &reference));
    const auto& record = *reinterpret_cast<const orvbench::ImageRecord*>(reference.data());
    ASSERT_EQ(record.width, video.Width());
    ASSERT_EQ(record.height, video.Height());
    const uint8_t* px = reference.data() + record.headerSize;
    std::vector<COLORREF> screen = ScreenPixels(video);
    CRect markOnScreen = store.mark;
    live.overlay.ClientToScreen(&markOnScreen);
    long long diff = 0;
    int compared = 0;
    for (int y = 0; y < video.Height(); ++y)
        for (int x = 0; x < video.Width(); ++x) {
            if (markOnScreen.PtInRect(CPoint(video.left + x, video.top + y))) continue;
            const uint8_t* p = px + (size_t(record.height - 1 - y) * record.width + x) * 3;
            const COLORREF c = screen[size_t(y) * video.Width() + x];
            diff += abs(GetBValue(c) - p[0]) + abs(GetGValue(c) - p[1]) + abs(GetRValue(c) - p[2]);
            compared++;
        }
    EXPECT_LT(double(diff) / (compared * 3), 4.0);

    // The mark itself is shown, and a real pointer click on it reaches the overlay.
    const std::vector<COLORREF> red = ScreenPixels(markOnScreen);
    EXPECT_EQ(red[red.size() / 2], RGB(255, 0, 0));
    // Under Wine a press on a colour-keyed pixel reaches neither window, so only the
    // mark's side of the key is checked here.
    MessageSpy overlayInput(live.overlay.m_hWnd);
    Click(markOnScreen.CenterPoint());
    EXPECT_TRUE(overlayInput.WaitForMessage(WM_LBUTTONDOWN, 3000));

    // The overlay keeps its drawing surface between paints: a mark moved away leaves
    // nothing behind, and after a resize the mark is still drawn where it is.
    const CPoint oldSpot = store.mark.CenterPoint();
    auto redAt = [&](CPoint client) {
        live.overlay.ClientToScreen(&client);
        return ScreenPixels(CRect(client, CSize(1, 1)))[0] == RGB(255, 0, 0);
    };
    store.mark = CRect(120, 90, 160, 130);
    live.overlay.Invalidate();
    live.overlay.UpdateWindow();
    PumpMessagesFor(300);
    EXPECT_TRUE(redAt(store.mark.CenterPoint()));
    EXPECT_FALSE(redAt(oldSpot));
    live.Place(200, 150, 360, 300);
    store.mark = CRect(20, 200, 60, 240);
    live.overlay.Invalidate();
    live.overlay.UpdateWindow();
    PumpMessagesFor(300);
    EXPECT_TRUE(redAt(store.mark.CenterPoint()));
    Links().store = NULL;
}

TEST_F(PreviewWndTest, FocusMeterAndKeys)
{
    LiveWindows live(100, 100, 400, 300);
    CProgressPopup meter;
    meter.Create(CProgressPopup::IDD, &live.owner);
    Links().focusMeter = &meter;
    MessageSpy progress(meter.GetProgress().m_hWnd);
    live.preview.SendMessage(WM_CAMERA_FOCUS_VALUE, 40000, 0);
    EXPECT_EQ(meter.GetProgress().GetPos(), 200);
    // The root of a large variance would pass the meter's end.
    live.preview.SendMessage(WM_CAMERA_FOCUS_VALUE, 0xFFFFFFFFu, 0);
    EXPECT_EQ(progress.LastWParam(PBM_SETPOS), 255u);

    FullPreviewFrame frame;
    Links().frame = &frame;
    ASSERT_TRUE(live.Open());
    MSG key = {live.preview.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0};
    EXPECT_FALSE(live.preview.PreTranslateMessage(&key));   // outside full preview: nothing
    EXPECT_EQ(frame.calls, 0);
    key.wParam = VK_RETURN;
    EXPECT_FALSE(live.preview.PreTranslateMessage(&key));
    EXPECT_TRUE(::IsWindowVisible(live.preview.m_hWnd));

    // The bar comes with the first full preview, not with the window.
    EXPECT_EQ(live.preview.m_leaveBar.m_hWnd, nullptr);
    live.preview.ToggleFullScreen();
    EXPECT_TRUE(frame.IsFullPreview());
    CRect bar;
    live.preview.m_leaveBar.GetWindowRect(&bar);
    EXPECT_TRUE(live.preview.m_leaveBar.IsWindowVisible());
    EXPECT_EQ(bar.BottomRight(), CPoint(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)));
    // A focus value of 27 is no Escape key.
    MSG focus = {live.preview.m_hWnd, WM_CAMERA_FOCUS_VALUE, 27, 0};
    live.preview.PreTranslateMessage(&focus);
    EXPECT_TRUE(frame.IsFullPreview());
    key.wParam = VK_ESCAPE;
    EXPECT_FALSE(live.preview.PreTranslateMessage(&key));
    EXPECT_FALSE(frame.IsFullPreview());
    EXPECT_FALSE(live.preview.m_leaveBar.IsWindowVisible());
    Links().frame = NULL;
    meter.DestroyWindow();
}

TEST_F(PreviewWndTest, AFitSetsTheScrollBarsOnlyWhenTheyChangeYetFollowsEveryResize)
{
    LoadBench("camera zedodir 0547:A005 Big.1 colour resolutions=2048X1536,1600X1200,1024X768 clocks=fast:400\n");
    LiveWindows live(0, 0, 1100, 800);
    ASSERT_TRUE(live.Open());
    live.preview.ZoomActualSize();
    auto bar = [&](int which) {
        SCROLLINFO si = {sizeof si, SIF_ALL};
        ::GetScrollInfo(live.preview.m_hWnd, which, &si);
        return si;
    };
    // Zoomed 1:1 the picture scrolls; the view scrolled, asking again goes back to 0.
    EXPECT_EQ(bar(SB_HORZ).nMax, 2048 / LIVE_SCROLL_UNIT - 1);
    live.preview.SetScrollPos(SB_HORZ, 20, FALSE);
    live.preview.ApplyZoomToShownRect();
    EXPECT_EQ(bar(SB_HORZ).nPos, 0);
    // A smaller window with the same picture: only the page changes, and it is taken.
    const UINT page = bar(SB_VERT).nPage;
    live.SetClientSize(600, 400);
    live.preview.ApplyZoomToShownRect();
    EXPECT_EQ(bar(SB_VERT).nPage, 400u / LIVE_SCROLL_UNIT);
    EXPECT_NE(bar(SB_VERT).nPage, page);
    int horizontal = 0, vertical = 0;
    live.preview.GetScrollFlags(&horizontal, &vertical);
    EXPECT_EQ(horizontal, 1);
    EXPECT_EQ(vertical, 1);
    // The fit: nothing left to scroll, both bars say so.
    live.preview.ZoomToFit();
    live.preview.GetScrollFlags(&horizontal, &vertical);
    EXPECT_EQ(horizontal, 0);
    EXPECT_EQ(vertical, 0);
    EXPECT_LE(bar(SB_HORZ).nMax + 1, (int)bar(SB_HORZ).nPage);
}
