#include "System/Prefs.h"
#include "System/Window.h"

#include <SDL.h>
#include <gtest/gtest.h>

TEST(WindowSize, LandscapeDisplayGivesTwoThirdsOfItsHeightAtOnePointSix)
{
    int width, height;
    WindowSizeForUsableArea(1920, 1080, &width, &height);
    EXPECT_EQ(height, 720);
    EXPECT_EQ(width, 1152);
}

TEST(WindowSize, PortraitDisplayGivesTwoThirdsOfItsWidth)
{
    int width, height;
    WindowSizeForUsableArea(1080, 1920, &width, &height);
    EXPECT_EQ(width, 720);
    EXPECT_EQ(height, 450);
}

TEST(WindowSize, SquareDisplayCountsAsPortrait)
{
    int width, height;
    WindowSizeForUsableArea(900, 900, &width, &height);
    EXPECT_EQ(width, 600);
    EXPECT_EQ(height, 375);
}

TEST(WindowSize, DisplayThatCannotBeAskedFallsBackTo640By480)
{
    // No video subsystem: the usable bounds query fails.
    int width, height;
    ComputeWindowSize(0, &width, &height);
    EXPECT_EQ(height, 320);
    EXPECT_EQ(width, 512);
}

TEST(WindowSize, DisplayPreferenceBeyondTheConnectedDisplaysMeansDisplayZero)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    uint8_t saved = gPrefs.displayNum;
    gPrefs.displayNum = 7;
    EXPECT_EQ(GetPreferredDisplay(), 0);
    gPrefs.displayNum = saved;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
