#include "Support/TestWindow.h"

#include "3D/OGL_Support.h"
#include "System/HiddenWindow.h"
#include "System/ProgramState.h"

#include <GL/gl.h>
#include <SDL.h>
#include <cstdlib>
#include <dlfcn.h>

Rgba WindowPixels::At(int x, int y) const
{
    size_t offset = (size_t(y) * size_t(width) + size_t(x)) * 4;
    return {rgba[offset], rgba[offset + 1], rgba[offset + 2], rgba[offset + 3]};
}

Rgba WindowPixels::MeanOf(int x0, int y0, int x1, int y1) const
{
    uint64_t sum[4] = {};
    uint64_t count = 0;
    for (int y = y0; y < y1; y++) {
        for (int x = x0; x < x1; x++) {
            Rgba p = At(x, y);
            sum[0] += p.r;
            sum[1] += p.g;
            sum[2] += p.b;
            sum[3] += p.a;
            count++;
        }
    }
    if (count == 0)
        return {0, 0, 0, 0};
    return {uint8_t(sum[0] / count), uint8_t(sum[1] / count), uint8_t(sum[2] / count),
            uint8_t(sum[3] / count)};
}

bool IsDisplayAvailable()
{
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

bool HasDisplayForWindowTests()
{
    if (IsDisplayAvailable())
        return true;
    if (std::getenv("QUORVEL_REQUIRE_DISPLAY"))
        ADD_FAILURE() << "no display: run the window tests under Xvfb (Scripts/test.sh does)";
    return false;
}

// The software driver is unloaded when the display closes, after which a leak report cannot name
// the driver's own allocations and the driver's suppressions cannot match them. Keeping it loaded
// for the life of the test program lets the reports tell the driver's leaks from ours.
static void KeepSoftwareDriverLoaded()
{
    static bool kept = false;
    if (!kept) {
        kept = true;
        dlopen(QUORVEL_SOFTWARE_GL_DRIVER, RTLD_NOW | RTLD_NODELETE);
    }
}

bool OpenTestWindow(int width, int height)
{
    KeepSoftwareDriverLoaded();
    return OpenHiddenWindow("Quorvel 2 test", width, height, true);
}

void CloseTestWindow()
{
    CloseHiddenWindow();
}

WindowPixels ReadBackBuffer()
{
    WindowPixels pixels;
    SDL_GL_GetDrawableSize(gGameWindow, &pixels.width, &pixels.height);
    pixels.rgba.resize(size_t(pixels.width) * size_t(pixels.height) * 4);

    std::vector<uint8_t> bottomUp(pixels.rgba.size());
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, pixels.width, pixels.height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());

    size_t rowBytes = size_t(pixels.width) * 4;
    for (int y = 0; y < pixels.height; y++)
        std::copy_n(&bottomUp[size_t(pixels.height - 1 - y) * rowBytes], rowBytes,
                    &pixels.rgba[size_t(y) * rowBytes]);
    return pixels;
}

static WindowPixels gCapturedFrame;
static void (*gCapturedSceneRoutine)();

static void DrawThenCaptureAfterOverlay()
{
    if (gCapturedSceneRoutine)
        gCapturedSceneRoutine();
    if (gCurrentPane == gNumPanes)
        gCapturedFrame = ReadBackBuffer();
}

WindowPixels DrawSceneAndCapture(void (*routine)())
{
    gCapturedSceneRoutine = routine;
    OGL_DrawScene(DrawThenCaptureAfterOverlay);
    gCapturedSceneRoutine = nullptr;
    return gCapturedFrame;
}

void WindowTest::SetUp()
{
    if (!HasDisplayForWindowTests())
        GTEST_SKIP() << "no display";
    ASSERT_TRUE(OpenTestWindow(640, 480)) << SDL_GetError();
}

void WindowTest::TearDown()
{
    if (gGameWindow)
        CloseTestWindow();
}
