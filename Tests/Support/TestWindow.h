// The game's real window with its OpenGL context, opened the way start-up opens it, for tests
// that draw and then read back what a player would see. These tests run under Xvfb with Mesa's
// software renderer (Scripts/test.sh); without a display they are skipped, unless
// QUORVEL_REQUIRE_DISPLAY is set, as in CI, where a missing display is a failure.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

struct Rgba
{
    uint8_t r, g, b, a;
};

// Pixels of the window, rows from the top, 4 bytes per pixel.
struct WindowPixels
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    Rgba At(int x, int y) const; // (0, 0) is the top-left pixel
    // Mean colour of the rectangle [x0, x1) x [y0, y1).
    Rgba MeanOf(int x0, int y0, int x1, int y1) const;
};

bool IsDisplayAvailable();
// For tests: IsDisplayAvailable(), but without a display it returns false having first
// recorded a failure where QUORVEL_REQUIRE_DISPLAY is set; the caller then skips its test.
bool HasDisplayForWindowTests();

// Creates gGameWindow (width x height, shown) and its draw context. Returns false on failure.
bool OpenTestWindow(int width, int height);
void CloseTestWindow();

// Reads the back buffer as it is now. What the front buffer holds after a swap is not readable on
// every OpenGL (Mesa's software renderer under Xvfb gives zeros); the back buffer before the swap
// always is.
WindowPixels ReadBackBuffer();

// Draws one frame with OGL_DrawScene(routine) and returns what it showed: the back buffer read at
// the end of the overlay pass, just before the swap.
WindowPixels DrawSceneAndCapture(void (*routine)());

// Fixture: a 640 x 480 window per test, closed afterwards.
class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
};
