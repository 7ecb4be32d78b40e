// The line approach snaps a rough line onto a straight edge of the caller's image.
#include "StoreTestCamera.h"

TEST_F(StoreTest, RoughLineSnapsToAVerticalEdge)
{
    const int width = 200, height = 160, stride = width * 3;
    std::vector<BYTE> image(stride * height, 40);
    for (int y = 0; y < height; ++y)
        for (int x = 120; x < width; ++x)
            memset(&image[y * stride + x * 3], 220, 3);
    POINT a = {0, 0}, b = {0, 0};
    ASSERT_EQ(QrCCameraLineApproachEx(image.data(), width, height, 112, 20, 126, 140, &a, &b), CAM_OK);
    EXPECT_NEAR(a.x, 120, 2);
    EXPECT_NEAR(b.x, 120, 2);
    EXPECT_LT(a.y, b.y);
    EXPECT_EQ(QrCCameraLineApproachEx(nullptr, width, height, 0, 0, 1, 1, &a, &b), CAM_ERR_RANGE);
}
