// The capture tool column: its stacking, zoom text and buttons, the flips that show only
// what the camera does, crop and restore once each.
#include "tests/live_preview/PanelHarness.h"
#include "app/capture/LiveLayout.h"

using namespace preview;

namespace {

std::u16string U(const CString& s)
{
    return std::u16string((const char16_t*)(LPCWSTR)s, s.GetLength());
}

const int kStackOrder[11] = {IDC_TOOL_MIRROR_H, IDC_TOOL_MIRROR_V, IDC_TOOL_ZOOM_IN, IDC_TOOL_ZOOM_OUT,
                             IDC_TOOL_ACTUAL_SIZE, IDC_TOOL_ZOOM_FIT, IDC_TOOL_FULL_SCREEN, IDC_TOOL_CROP,
                             IDC_TOOL_RESTORE, IDC_TOOL_COMPARE, IDC_TOOL_BLACK_BACKGROUND};

int TopOf(CCaptureToolBar& tools, int id)
{
    CRect r;
    tools.GetDlgItem(id)->GetWindowRect(&r);
    tools.ScreenToClient(&r);
    return r.top;
}

void Click(CWnd& dialog, int id)
{
    dialog.GetDlgItem(id)->SendMessage(BM_CLICK, 0, 0);
}

class ToolColumnTest : public ::testing::Test
{
protected:
    void SetUp() override { LoadBench(SmallCamera()); }
    void TearDown() override { QrCCameraUnInit(); }
};

}  // namespace

TEST_F(ToolColumnTest, ButtonsStackBelowTheHeader)
{
    PanelHarness h;
    for (int id : kStackOrder) h.tools.GetDlgItem(id)->SetWindowPos(NULL, 0, 0, 24, 21, SWP_NOMOVE | SWP_NOZORDER);
    // 240 pixels: a gap of -1, so neighbours overlap by one pixel, from the header down.
    h.tools.SetWindowPos(NULL, 0, 0, 38, 240, SWP_NOMOVE | SWP_NOZORDER);
    for (int i = 0; i < 11; i++) EXPECT_EQ(TopOf(h.tools, kStackOrder[i]), 26 + i * 20) << i;
    // 600 pixels: gaps of 30 and the stack centred below the header.
    h.tools.SetWindowPos(NULL, 0, 0, 38, 600, SWP_NOMOVE | SWP_NOZORDER);
    for (int i = 0; i < 11; i++) EXPECT_EQ(TopOf(h.tools, kStackOrder[i]), 47 + i * 51) << i;
    CRect text;
    h.tools.GetDlgItem(IDC_TOOL_ZOOM_TEXT)->GetWindowRect(&text);
    h.tools.ScreenToClient(&text);
    EXPECT_EQ(text, CRect(1, 1, 38, 21));
    h.tools.ShowZoom(0.45f);
    EXPECT_EQ(U(h.Text(h.tools, IDC_TOOL_ZOOM_TEXT)), u"45.0%");
}

TEST_F(ToolColumnTest, ButtonsServeOnlyAChosenCamera)
{
    LoadBench("");
    PanelHarness h;
    for (int id : kStackOrder) EXPECT_FALSE(h.tools.GetDlgItem(id)->IsWindowEnabled()) << id;
    LoadBench(SmallCamera());
    h.tools.UpdateControlState();
    for (int id : kStackOrder) EXPECT_TRUE(h.tools.GetDlgItem(id)->IsWindowEnabled()) << id;
}

TEST_F(ToolColumnTest, FlipChecksShowTheCamerasFlip)
{
    PanelHarness h;
    // Stopped: a click flips nothing, so the check stays clear.
    Click(h.tools, IDC_TOOL_MIRROR_H);
    EXPECT_EQ(h.tools.IsDlgButtonChecked(IDC_TOOL_MIRROR_H), 0u);
    EXPECT_EQ(Calls("Compare::MirrorImage"), 0);
    // The small hidden ones flip the comparison picture all the same.
    Click(h.tools, IDC_TOOL_MIRROR_V_SMALL);
    EXPECT_EQ(Calls("Compare::FlipImage"), 1);

    h.panel.PlayCamera();
    ASSERT_TRUE(IsCameraLive());
    Click(h.tools, IDC_TOOL_MIRROR_H);
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    EXPECT_EQ(cur.mirror[0], 1);
    EXPECT_EQ(h.tools.IsDlgButtonChecked(IDC_TOOL_MIRROR_H), 1u);
    EXPECT_EQ(h.panel.m_bMirrorH, 1);
    EXPECT_EQ(Calls("Compare::MirrorImage"), 1);
    Click(h.tools, IDC_TOOL_MIRROR_V);
    QrCCameraGetCurParameter(&cur);
    EXPECT_EQ(cur.mirror[1], 1);
    Click(h.tools, IDC_TOOL_MIRROR_H);
    QrCCameraGetCurParameter(&cur);
    EXPECT_EQ(cur.mirror[0], 0);
    EXPECT_EQ(h.tools.IsDlgButtonChecked(IDC_TOOL_MIRROR_H), 0u);
    // Stopping clears the checks.
    h.panel.PlayCamera();
    EXPECT_EQ(h.tools.IsDlgButtonChecked(IDC_TOOL_MIRROR_V), 0u);
}

TEST_F(ToolColumnTest, CropOnceRestoreOnlyARegionAndZoomStepsTogether)
{
    PanelHarness h;
    h.panel.PlayCamera();
    ASSERT_TRUE(IsCameraLive());
    CRect video;
    h.live.preview.GetVideoStatic()->GetWindowRect(&video);
    h.panel.answer = CRect(video.left + 10, video.top + 10, video.left + 120, video.top + 100);
    Click(h.tools, IDC_TOOL_RESTORE);   // no region: nothing to restore
    EXPECT_EQ(Calls("Measure::DisableTools"), 0);
    Click(h.tools, IDC_TOOL_CROP);
    Click(h.tools, IDC_TOOL_CROP);
    EXPECT_EQ(h.panel.picks, 1);
    EXPECT_EQ(h.panel.IsPartialDisplay(), 1);
    Click(h.tools, IDC_TOOL_RESTORE);
    EXPECT_EQ(h.panel.IsPartialDisplay(), 0);
    // Beside the comparison pane the region buttons rest.
    h.frame.SetCompareMode(TRUE);
    Click(h.tools, IDC_TOOL_CROP);
    EXPECT_EQ(h.panel.picks, 1);
    h.frame.SetCompareMode(FALSE);

    // Zoom: preview and overlay step together, the text and the pane follow.
    Click(h.tools, IDC_TOOL_ACTUAL_SIZE);
    EXPECT_FLOAT_EQ(h.live.preview.GetZoom(), 1.0f);
    Click(h.tools, IDC_TOOL_ZOOM_IN);
    EXPECT_FLOAT_EQ(h.live.preview.GetZoom(), 1.5f);
    EXPECT_FLOAT_EQ(h.live.overlay.GetZoom(), 1.5f);
    EXPECT_EQ(U(h.Text(h.tools, IDC_TOOL_ZOOM_TEXT)), u"150.0%");
    h.frame.SetCompareMode(TRUE);
    CallLog().clear();
    Click(h.tools, IDC_TOOL_ZOOM_OUT);
    EXPECT_EQ(Calls("Compare::SetZoom"), 1);
    EXPECT_FLOAT_EQ(h.compare.m_zoom, 1.0f);
    Click(h.tools, IDC_TOOL_ZOOM_FIT);
    EXPECT_EQ(Calls("Compare::FitToWindow"), 1);
    h.frame.SetCompareMode(FALSE);

    // Stopped: the preview keeps its zoom, the text still follows it.
    h.panel.PlayCamera();
    const float zoom = h.live.preview.GetZoom();
    Click(h.tools, IDC_TOOL_ZOOM_IN);
    EXPECT_FLOAT_EQ(h.live.preview.GetZoom(), zoom);
    CString expected;
    expected.Format(L"%.1f%%", zoom * 100.0f);
    EXPECT_EQ(U(h.Text(h.tools, IDC_TOOL_ZOOM_TEXT)), U(expected));
}

TEST_F(ToolColumnTest, FullScreenAndBackground)
{
    PanelHarness h;
    h.panel.PlayCamera();
    ASSERT_TRUE(IsCameraLive());
    Click(h.tools, IDC_TOOL_FULL_SCREEN);
    EXPECT_TRUE(h.frame.IsFullPreview());
    EXPECT_TRUE(h.live.preview.m_leaveBar.IsWindowVisible());
    Click(h.tools, IDC_TOOL_BLACK_BACKGROUND);
    EXPECT_EQ(Calls("ParamGroup::ToggleBlackBackground"), 1);
    EXPECT_FALSE(h.frame.IsFullPreview());
    EXPECT_FALSE(h.live.preview.m_leaveBar.IsWindowVisible());
}
