// Parameter teams: adding up to the limit, deleting, renaming, saving and reading.
#include "StoreTestCamera.h"

#include "camera/core/LibraryResources.h"

namespace {

int TeamCount()
{
    CameraMgrParam p;
    QrCCameraGetMgrParameter(&p);
    return p.CntParam;
}

}  // namespace

TEST_F(StoreTest, TwentyTeamsFitAndTheTwentyFirstIsRefused)
{
    UseCamera(CAMERA_TYPE_CAMDRVA);
    for (int i = 0; i < PARAM_TEAM_MAX; ++i) {
        CString name;
        name.Format(L"team %d", i);
        ASSERT_EQ(QrCCameraAddParamterTeam(&name), CAM_OK) << i;
    }
    const CString extra = L"one too many";
    EXPECT_EQ(QrCCameraAddParamterTeam(&extra), CAM_ERR_RANGE);
    CameraMgrParam p;
    QrCCameraGetMgrParameter(&p);
    EXPECT_EQ(p.CntParam, PARAM_TEAM_MAX);
    EXPECT_NE(Narrow(p.teamNames[PARAM_TEAM_MAX]), "one too many");
    for (int i = 0; i < PARAM_TEAM_MAX; ++i)
        EXPECT_EQ(p.teamSetNumber[i], i);
}

TEST_F(StoreTest, DeletingMovesLaterTeamsDownAndRefusesMissingOnes)
{
    UseCamera(CAMERA_TYPE_CAMDRVA);
    EXPECT_EQ(QrCCameraDelParamterTeam(0), CAM_ERR_RANGE);   // none yet
    for (LPCWSTR n : {L"a", L"b", L"c"}) {
        CString name = n;
        QrCCameraAddParamterTeam(&name);
    }
    EXPECT_EQ(QrCCameraDelParamterTeam(3), CAM_ERR_RANGE);
    ASSERT_EQ(QrCCameraDelParamterTeam(0), CAM_OK);
    CameraMgrParam p;
    QrCCameraGetMgrParameter(&p);
    EXPECT_EQ(p.CntParam, 2);
    EXPECT_EQ(Narrow(p.teamNames[0]), "b");
    EXPECT_EQ(Narrow(p.teamNames[1]), "c");
    EXPECT_EQ(p.teamSetNumber[0], 1);
    for (int i = 2; i < PARAM_TEAM_MAX; ++i) {
        EXPECT_EQ(Narrow(p.teamNames[i]), Narrow(LoadLibraryString(IDS_PARAM_NULL)));
        EXPECT_EQ(p.teamSetNumber[i], PARAM_TEAM_MAX);
        EXPECT_EQ(p.teamResLock[i], 1);
    }
    // The freed set number 0 is the next team's.
    CString name = L"d";
    QrCCameraAddParamterTeam(&name);
    QrCCameraGetMgrParameter(&p);
    EXPECT_EQ(p.teamSetNumber[2], 0);
}

TEST_F(StoreTest, RenamingOutsideTheEntriesIsRefused)
{
    UseCamera(CAMERA_TYPE_CAMDRVA);
    const CString name = L"x";
    EXPECT_EQ(QrCCameraSetParamterTeamName(PARAM_TEAM_ENTRIES, &name), CAM_ERR_RANGE);
    EXPECT_EQ(QrCCameraSetParamterTeamName(-1, &name), CAM_ERR_RANGE);
    EXPECT_EQ(QrCCameraSetParamterTeamName(3, &name), CAM_OK);
    EXPECT_EQ(TeamCount(), 0);
}

TEST_F(StoreTest, SavedTeamIsReadBackIntoTheCamera)
{
    g_cameraSetup.productIndex = 7;
    UseCamera(CAMERA_TYPE_CAMDRVA);
    EXPECT_EQ(QrCCameraSaveParamterTeam(0), CAM_ERR_RANGE);
    EXPECT_EQ(QrCCameraReadParamterTeam(0), CAM_ERR_RANGE);
    CString name = L"bright";
    QrCCameraAddParamterTeam(&name);
    QrCCameraSetAnalogGain(40);
    QrCCameraSetExposureTimeMS(50000, 1);
    ASSERT_EQ(QrCCameraSaveParamterTeam(0), CAM_OK);
    EXPECT_EQ(g_camera->setsSaved.back(), 0);

    QrCCameraSetAnalogGain(10);
    QrCCameraSetExposureTimeMS(5000, 1);
    g_camera->setup.exposure = 5000;
    ASSERT_EQ(QrCCameraReadParamterTeam(0), CAM_OK);
    EXPECT_EQ(g_camera->setsRead.back(), 0);
    EXPECT_EQ(g_camera->gain, 40);
    EXPECT_EQ(g_camera->exposuresWritten.back(), 50);   // driver cameras take milliseconds
}
