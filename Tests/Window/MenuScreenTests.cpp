// The menus as a player sees them, on the generated data: the main menu over its picture, a
// settings page in German, and the pause menu over a running level. Set QUORVEL_SCREENSHOTS to a
// folder to keep the pictures.

#include "DataForge/Writers/ImageWriter.h"
#include "Interface/LocalizedStrings.h"
#include "Interface/Menu.h"
#include "Interface/StringIDs.h"
#include "Objects/ObjNode.h"
#include "Support/GameWindowTest.h"
#include "Support/TempFolder.h"
#include "System/Fades.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelHarness.h"
#include "System/MenuTables.h"
#include "System/Pause.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

void KeepMenuScreenshot(const WindowPixels& pixels, const char* name)
{
    const char* folder = std::getenv("QUORVEL_SCREENSHOTS");
    if (!folder)
        return;
    Image image;
    image.width = pixels.width;
    image.height = pixels.height;
    image.pixels = pixels.rgba;
    WritePngFile(std::filesystem::path(folder) / name, image);
}

void PushKey(SDL_Scancode scancode, bool down)
{
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    SDL_PushEvent(&event);
}

void TapInMainMenu(SDL_Scancode scancode)
{
    PushKey(scancode, true);
    RunMainMenuScreenFrame();
    PushKey(scancode, false);
    RunMainMenuScreenFrame();
}

// Frames until the screen has faded in and the menu reads input, then a while longer for the
// rows' own staggered fade-ins.
void SettleMainMenu()
{
    for (int i = 0; i < 600 && (GetMenuState() != kMenuState_Ready || gFadeLevel < 1); i++)
        RunMainMenuScreenFrame();
    uint32_t start = SDL_GetTicks();
    while (SDL_GetTicks() - start < 1200)
        RunMainMenuScreenFrame();
}

// The share of pixels in a rectangle that are bright: text on a dark ground.
float BrightShare(const WindowPixels& pixels, int x0, int y0, int x1, int y1)
{
    int bright = 0, total = 0;
    for (int y = y0; y < y1; y++) {
        for (int x = x0; x < x1; x++) {
            Rgba p = pixels.At(x, y);
            bright += (p.r + p.g + p.b) > 560;
            total++;
        }
    }
    return total ? float(bright) / float(total) : 0;
}

} // namespace

class MenuScreenTest : public GameWindowTest
{
protected:
    void SetUp() override
    {
        GameWindowTest::SetUp();
        if (!GameReady())
            return;
        gPrefs.language = kLanguageEnglish;
        LoadLocalizedStrings(gPrefs.language);
    }

    void TearDown() override
    {
        if (GameReady()) {
            DisposeMenuNavigation();
            DisposeLocalizedStrings();
        }
        GameWindowTest::TearDown();
    }
};

TEST_F(MenuScreenTest, MainMenuShowsItsPictureTitleAndFourBrightRows)
{
    OpenMainMenuScreen();
    SettleMainMenu();
    WindowPixels shot = DrawSceneAndCapture(DrawObjectList);
    KeepMenuScreenshot(shot, "menu-main.png");
    CloseMainMenuScreen();

    // The title's warm lettering at the top, the rows' text in the middle, the dusk sky around.
    Rgba title = shot.MeanOf(220, 40, 420, 110);
    EXPECT_GT(title.r, title.b) << "the title should glow warm";
    EXPECT_GT(BrightShare(shot, 200, 220, 440, 390), 0.01f) << "no menu text in the middle";
    EXPECT_LT(BrightShare(shot, 0, 400, 120, 480), 0.01f) << "the lower corner should be dark ground";
}

TEST_F(MenuScreenTest, InterfacePageInGermanShowsGermanLabels)
{
    OpenMainMenuScreen();
    SettleMainMenu();
    TapInMainMenu(SDL_SCANCODE_DOWN); // settings
    TapInMainMenu(SDL_SCANCODE_RETURN);
    ASSERT_EQ(CurrentMenuId(), MenuCode("sett"));
    for (int i = 0; i < 4; i++)
        TapInMainMenu(SDL_SCANCODE_DOWN); // difficulty, controls, graphics, sound, interface
    TapInMainMenu(SDL_SCANCODE_RETURN);
    ASSERT_EQ(CurrentMenuId(), MenuCode("ifac"));
    TapInMainMenu(SDL_SCANCODE_RIGHT); // English -> French
    TapInMainMenu(SDL_SCANCODE_RIGHT); // -> German
    ASSERT_EQ(gPrefs.language, kLanguageGerman);
    EXPECT_EQ(CurrentMenuId(), MenuCode("ifac"));
    EXPECT_EQ(gPrefs.showSubtitles, 1) << "subtitles follow a language other than English";
    SettleMainMenu();
    WindowPixels shot = DrawSceneAndCapture(DrawObjectList);
    KeepMenuScreenshot(shot, "menu-settings-german.png");

    // The page's own labels come from the German column now.
    const MenuItem* languageRow = GetMenuRowItem(GetSelectedMenuRow());
    ASSERT_NE(languageRow, nullptr);
    EXPECT_STREQ(GetLocalizedString(languageRow->textId), GetLocalizedString(STR_LANGUAGE));
    EXPECT_GT(BrightShare(shot, 60, 150, 600, 330), 0.01f);
    CloseMainMenuScreen();
    gPrefs.language = kLanguageEnglish;
}

TEST_F(MenuScreenTest, PauseMenuDrawsOverTheFrozenLevelAndExitToMainMenuEndsIt)
{
    HarnessStartLevel(0, kPlayMode_Adventure, 1, 2);
    HarnessPlayFrames(40, nullptr, nullptr);
    for (int i = 0; i < 400 && gFadeLevel < 1; i++)
        HarnessPlayFrames(1, nullptr, nullptr);
    WindowPixels before = DrawSceneAndCapture(DrawLevel);
    DoPauseMenu();
    HarnessPlayFrames(20, nullptr, nullptr);
    for (int i = 0; i < 200 && GetMenuState() != kMenuState_Ready; i++)
        HarnessPlayFrames(1, nullptr, nullptr);
    HarnessPlayFrames(20, nullptr, nullptr);
    ASSERT_TRUE(gPaused);
    WindowPixels shot = DrawSceneAndCapture(DrawLevel);
    KeepMenuScreenshot(shot, "menu-pause.png");

    // The backdrop darkens the middle of the level; the rows are bright on it; the sides stay as they were.
    Rgba panelBefore = before.MeanOf(60, 175, 180, 305);
    Rgba panel = shot.MeanOf(60, 175, 180, 305);
    EXPECT_GT(panelBefore.r + panelBefore.g + panelBefore.b, panel.r + panel.g + panel.b + 60)
        << "the backdrop should darken the level behind the rows";
    Rgba sideBefore = before.MeanOf(0, 400, 40, 480);
    Rgba side = shot.MeanOf(0, 400, 40, 480);
    EXPECT_NEAR(sideBefore.g, side.g, 12) << "outside the backdrop the level shows as it was";
    EXPECT_GT(BrightShare(shot, 200, 180, 440, 300), 0.01f) << "no pause menu text";

    // Down to 'exit to main menu', then confirm: the level is abandoned. The rows are counted by
    // what is selected rather than by presses, since the pointer may have hovered a row meanwhile.
    auto tapInLevel = [](SDL_Scancode scancode) {
        PushKey(scancode, true);
        HarnessPlayFrames(1, nullptr, nullptr);
        PushKey(scancode, false);
        HarnessPlayFrames(1, nullptr, nullptr);
    };
    auto exitRowSelected = [] {
        const MenuItem* item = GetMenuRowItem(GetSelectedMenuRow());
        return item && item->id == MenuCode("bail");
    };
    for (int i = 0; i < 8 && !exitRowSelected(); i++)
        tapInLevel(SDL_SCANCODE_DOWN);
    ASSERT_TRUE(exitRowSelected());
    tapInLevel(SDL_SCANCODE_RETURN);
    HarnessPlayFrames(5, nullptr, nullptr);
    EXPECT_FALSE(gPaused);
    EXPECT_TRUE(gLevelLost);
    HarnessEndLevel();
}

TEST_F(MenuScreenTest, GlassesPageShowsRedAndCyanLensesWhileStereoIsOff)
{
    gPrefs.stereoMode = 0;
    OpenMainMenuScreen();
    SettleMainMenu();
    TapInMainMenu(SDL_SCANCODE_DOWN); // settings
    TapInMainMenu(SDL_SCANCODE_RETURN);
    TapInMainMenu(SDL_SCANCODE_DOWN); // controls
    TapInMainMenu(SDL_SCANCODE_DOWN); // graphics
    TapInMainMenu(SDL_SCANCODE_RETURN);
    ASSERT_EQ(CurrentMenuId(), MenuCode("graf"));
    for (int i = 0; i < 3; i++)
        TapInMainMenu(SDL_SCANCODE_DOWN); // v-sync, anti-aliasing, 3D glasses
    TapInMainMenu(SDL_SCANCODE_RETURN);
    ASSERT_EQ(CurrentMenuId(), MenuCode("cali"));
    SettleMainMenu();
    WindowPixels shot = DrawSceneAndCapture(DrawObjectList);
    KeepMenuScreenshot(shot, "menu-glasses.png");
    CloseMainMenuScreen();

    Rgba left = shot.MeanOf(240, 305, 300, 345);
    Rgba right = shot.MeanOf(340, 305, 400, 345);
    EXPECT_GT(left.r, left.b + 60) << "the red lens";
    EXPECT_GT(right.b, right.r + 60) << "the cyan lens";
}
