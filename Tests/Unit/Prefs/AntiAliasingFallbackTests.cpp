// A driver that refuses multisampled windows: start-up retries without anti-aliasing, and the
// preference stays 0 from then on, so that the next launch does not fail and retry again.

#include "PrefsTestFixture.h"

#include "System/Boot.h"
#include "System/Log.h"
#include "System/Prefs.h"

#include <SDL.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> gLines;

void CatchLine(LogLevel, const char* line)
{
    gLines.push_back(line);
}

} // namespace

class AntiAliasingFallbackTest : public UserFileTest
{
protected:
    void SetUp() override
    {
        UserFileTest::SetUp();
        gLines.clear();
        SetLogSinkForTesting(CatchLine);
    }
    void TearDown() override
    {
        SetLogSinkForTesting(nullptr);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        UserFileTest::TearDown();
    }
};

// The unit tests' dummy video driver has no OpenGL: it refuses every window the game asks for, the
// multisampled one first, so start-up ends in its error after exactly one retry.
TEST_F(AntiAliasingFallbackTest, RefusedMultisampleWindowIsRetriedOnceAndTheZeroOutlivesTheSecondRead)
{
    ResetPrefsToDefaults();
    gPrefs.msaaLevel = 3;
    WritePrefsFile();
    gLines.clear();

    // Start-up reads the preferences and makes the window.
    ResetPrefsToDefaults();
    ReadPrefsFile();
    ASSERT_EQ(gPrefs.msaaLevel, 3);
    EXPECT_THROW(CreateGameWindow(), std::runtime_error);
    EXPECT_EQ(gPrefs.msaaLevel, 0);
    EXPECT_EQ(gLines,
              std::vector<std::string>{
                  "Couldn't create SDL window with the requested MSAA level. Retrying without MSAA...\n"});

    // The main routine reads them again, which brings the file's level back, unless it is kept.
    ResetPrefsToDefaults();
    ReadPrefsFile();
    KeepAntiAliasingFallback();
    EXPECT_EQ(gPrefs.msaaLevel, 0);

    // It is saved at once: the next launch starts without anti-aliasing.
    ResetPrefsToDefaults();
    ReadPrefsFile();
    EXPECT_EQ(gPrefs.msaaLevel, 0);
}
