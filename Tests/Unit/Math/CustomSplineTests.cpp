// Custom splines: the samples of a path through its nubs, and the 40-slot table.

#include "3D/CustomSplines.h"
#include "System/Memory.h"

#include <gtest/gtest.h>

#include <cmath>

class CustomSplines : public ::testing::Test
{
protected:
    void SetUp() override { ClearCustomSplineTable(); }
    void TearDown() override { ReleaseAllCustomSplines(); }

    const Point3D kNubs[5] = {{0, 0, 0}, {100, 50, 0}, {200, 0, 100}, {300, -50, 100}, {400, 0, 0}};
};

TEST_F(CustomSplines, FiveNubsGiveEightHundredSamplesPerSpanThroughEveryNubButTheLast)
{
    int16_t slot = GenerateCustomSpline(5, kNubs, 800);
    ASSERT_EQ(slot, 0);
    const CustomSplineSlot& spline = gCustomSplines[slot];
    ASSERT_EQ(spline.numPoints, 3200);
    for (int nub = 0; nub < 4; nub++) {
        const Point3D& p = spline.points[nub * 800];
        EXPECT_NEAR(p.x, kNubs[nub].x, 1e-3) << nub;
        EXPECT_NEAR(p.y, kNubs[nub].y, 1e-3) << nub;
        EXPECT_NEAR(p.z, kNubs[nub].z, 1e-3) << nub;
    }
    // The last sample stops one step short of the last nub, and the path has no jumps.
    const Point3D& last = spline.points[3199];
    EXPECT_GT(std::fabs(last.x - kNubs[4].x), 0.01f);
    EXPECT_NEAR(last.x, kNubs[4].x, 1.0f);
    for (int i = 1; i < spline.numPoints; i++) {
        float dx = spline.points[i].x - spline.points[i - 1].x,
              dy = spline.points[i].y - spline.points[i - 1].y,
              dz = spline.points[i].z - spline.points[i - 1].z;
        ASSERT_LT(std::sqrt(dx * dx + dy * dy + dz * dz), 1.0f) << i;
    }
}

TEST_F(CustomSplines, ANaturalSplineHasNoBendAtItsEnds)
{
    // Three collinear nubs: the natural spline is the straight line through them at even speed.
    const Point3D line[3] = {{0, 0, 0}, {10, 20, 30}, {20, 40, 60}};
    int16_t slot = GenerateCustomSpline(3, line, 10);
    ASSERT_GE(slot, 0);
    for (int i = 0; i < gCustomSplines[slot].numPoints; i++)
        EXPECT_NEAR(gCustomSplines[slot].points[i].y, 2 * gCustomSplines[slot].points[i].x, 1e-3);
    EXPECT_NEAR(gCustomSplines[slot].points[5].x, 5, 1e-3);
}

TEST_F(CustomSplines, TheFortyFirstSplineFindsNoSlotUntilOneIsReleased)
{
    int32_t blocks = gLiveBlockCount;
    for (int i = 0; i < MAX_CUSTOM_SPLINES; i++)
        ASSERT_EQ(GenerateCustomSpline(5, kNubs, 8), i);
    EXPECT_EQ(GenerateCustomSpline(5, kNubs, 8), -1);
    EXPECT_EQ(gLiveBlockCount, blocks + MAX_CUSTOM_SPLINES) << "a refused spline allocates nothing";
    ReleaseCustomSpline(7);
    ReleaseCustomSpline(7); // a free slot is left alone
    ReleaseCustomSpline(-1);
    ReleaseCustomSpline(MAX_CUSTOM_SPLINES);
    EXPECT_EQ(GenerateCustomSpline(5, kNubs, 8), 7);
    ReleaseAllCustomSplines();
    EXPECT_EQ(gLiveBlockCount, blocks);
}

TEST_F(CustomSplines, TooFewNubsOrNoSamplesMakeNoSpline)
{
    EXPECT_EQ(GenerateCustomSpline(2, kNubs, 800), -1);
    EXPECT_EQ(GenerateCustomSpline(0, kNubs, 800), -1);
    EXPECT_EQ(GenerateCustomSpline(5, kNubs, 0), -1);
    EXPECT_FALSE(gCustomSplines[0].inUse);
}
