#include "System/FrameRate.h"
#include "System/GameShell.h"
#include "Tarnet/Tarnet.h"

#include <gtest/gtest.h>

#include <cstdint>

// A clock the test moves by hand; each read may also advance it by a fixed step.
static uint64_t gTestClockNow = 0;
static uint64_t gTestClockStepPerRead = 0;

static uint64_t ReadTestClock()
{
    uint64_t now = gTestClockNow;
    gTestClockNow += gTestClockStepPerRead;
    return now;
}

class FrameRateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gTestClockNow = 1000000;
        gTestClockStepPerRead = 0;
        Tarnet::SetMicrosecondClockForTesting(ReadTestClock);
        gTimeDemoMode = false;
        ResetFrameRate();
    }

    void TearDown() override
    {
        gTimeDemoMode = false;
        Tarnet::SetMicrosecondClockForTesting(nullptr);
        ResetFrameRate();
    }

    // One frame that took `microseconds`.
    void Frame(uint64_t microseconds)
    {
        gTestClockNow += microseconds;
        CalcFrameRate();
    }
};

TEST_F(FrameRateTest, SixtyFramesPerSecondSettleAfterEightFrames)
{
    for (int i = 0; i < 8; i++)
        Frame(16667);
    EXPECT_NEAR(gFrameRate, 60.0f, 0.01f);
    EXPECT_NEAR(gFrameSeconds, 1.0f / 60.0f, 1e-5f);
}

TEST_F(FrameRateTest, TwoMeasurementsInTheSameMicrosecondCountAsThirteenFps)
{
    for (int i = 0; i < 8; i++)
        Frame(16667);
    Frame(0);
    // One slot of eight now holds 13 instead of 60: no division by zero, no infinity.
    EXPECT_NEAR(gFrameRate, (7 * 60.0f + 13.0f) / 8.0f, 0.05f);
}

TEST_F(FrameRateTest, StallNeverPushesTheTimeStepPastOneThirteenthAndRecoversInEightFrames)
{
    for (int i = 0; i < 8; i++)
        Frame(16667);
    Frame(5000000); // a five-second load
    EXPECT_LE(gFrameSeconds, 1.0f / 13.0f);
    EXPECT_GT(gFrameRate, 50.0f); // one slow sample moves the average by an eighth

    for (int i = 0; i < 8; i++)
        Frame(16667);
    EXPECT_NEAR(gFrameRate, 60.0f, 0.01f);
}

TEST_F(FrameRateTest, VeryLongFramesBottomOutAtThirteenFps)
{
    for (int i = 0; i < 8; i++)
        Frame(2000000);
    EXPECT_FLOAT_EQ(gFrameRate, 13.0f);
    EXPECT_FLOAT_EQ(gFrameSeconds, 1.0f / 13.0f);
}

TEST_F(FrameRateTest, ShortFramesAreStretchedToTheThreeHundredFpsCap)
{
    // Every clock read moves time by 50 microseconds: the frame "ends" after 100 us, and the
    // measurement must keep looking until a 300 fps frame has gone by.
    gTestClockStepPerRead = 50;
    for (int i = 0; i < 8; i++)
        Frame(100);
    EXPECT_LE(gFrameRate, 300.0f);
    EXPECT_GT(gFrameRate, 250.0f);
}

TEST_F(FrameRateTest, TimeDemoCountsEveryFrameAsOneFortieth)
{
    gTimeDemoMode = true;
    for (int i = 0; i < 8; i++)
        Frame(i % 2 ? 1000 : 900000);
    EXPECT_FLOAT_EQ(gFrameRate, 40.0f);
    EXPECT_FLOAT_EQ(gFrameSeconds, 0.025f);
}

TEST_F(FrameRateTest, CounterWrapOfTheLow32BitsIsAnOrdinaryFrame)
{
    gTestClockNow = 0xFFFFFFFFull - 5000; // the next frame crosses 2^32
    ResetFrameRate();
    for (int i = 0; i < 8; i++)
        Frame(16667);
    EXPECT_NEAR(gFrameRate, 60.0f, 0.01f);
}
