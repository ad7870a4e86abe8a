// The screens between menus and levels as a player meets them: the story's slides following each
// other and its subtitles coming and going on time, skipping, the controller check's answers, the
// save between levels, and every screen leaving nothing behind of what it loaded. Set
// QUORVEL_SCREENSHOTS to a folder to keep a picture of each screen.

#include "3D/Atlas.h"
#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "3D/Sprites.h"
#include "DataForge/Writers/ImageWriter.h"
#include "Gameplay/Effects.h"
#include "Interface/LocalizedStrings.h"
#include "Interface/Menu.h"
#include "Interface/StringIDs.h"
#include "Interface/Twitch.h"
#include "Objects/ObjNode.h"
#include "Screens/Screens.h"
#include "Screens/ScreensLocal.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "Support/TempFolder.h"
#include "Support/TestWindow.h"
#include "System/Fades.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/InputHook.h"
#include "System/LevelGlobals.h"
#include "System/LevelHarness.h"
#include "System/Memory.h"
#include "System/Prefs.h"
#include "System/SaveSlots.h"
#include "Tarnet/Tarnet.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr float kStep = 0.05f; // every frame of these tests lasts exactly this long

void PushKey(SDL_Scancode scancode, bool down)
{
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    SDL_PushEvent(&event);
}

// What a screen does each frame, by frame number, through the poll hook.
std::function<void(int frame)> gOnFrame;
int gFrame = 0;

void CountFrame()
{
    if (gOnFrame)
        gOnFrame(gFrame);
    gFrame++;
}

// A key tapped at `frame`: down then, up two frames later.
void TapAt(int now, int frame, SDL_Scancode key)
{
    if (now == frame)
        PushKey(key, true);
    if (now == frame + 2)
        PushKey(key, false);
}

// Everything a screen may load or make, to compare before and after it.
struct Holdings
{
    int32_t liveBlocks;
    int liveNodes;
    int metaObjects;
    int32_t sprites[MAX_SPRITE_GROUPS];
    bool atlas3;
    bool skeletons[MAX_SKELETON_TYPES];
    int16_t particleGroups;
    int freeTwitches;
    bool view;
};

Holdings TakeStock()
{
    Holdings h = {};
    h.liveBlocks = gLiveBlockCount;
    h.liveNodes = gLiveNodeCount;
    h.metaObjects = gNumMetaObjects;
    for (int g = 0; g < MAX_SPRITE_GROUPS; g++)
        h.sprites[g] = gNumSpritesInGroupList[g];
    h.atlas3 = gAtlases[ATLAS_SLOT_SWISS] != nullptr;
    for (int t = 0; t < MAX_SKELETON_TYPES; t++)
        h.skeletons[t] = gLoadedSkeletons[t] != nullptr;
    h.particleGroups = gParticleGroupCount;
    h.freeTwitches = CountFreeTwitches();
    h.view = gGameViewInfoPtr != nullptr;
    return h;
}

void ExpectNothingLeft(const Holdings& before, const char* screen)
{
    Holdings after = TakeStock();
    EXPECT_EQ(after.liveBlocks, before.liveBlocks) << screen << ": memory blocks";
    EXPECT_EQ(after.liveNodes, before.liveNodes) << screen << ": object nodes";
    EXPECT_EQ(after.metaObjects, before.metaObjects) << screen << ": models, materials and sprites";
    for (int g = 0; g < MAX_SPRITE_GROUPS; g++)
        EXPECT_EQ(after.sprites[g], before.sprites[g]) << screen << ": sprite group " << g;
    EXPECT_EQ(after.atlas3, before.atlas3) << screen << ": the screens' font";
    for (int t = 0; t < MAX_SKELETON_TYPES; t++)
        EXPECT_EQ(after.skeletons[t], before.skeletons[t]) << screen << ": skeleton " << t;
    EXPECT_EQ(after.particleGroups, before.particleGroups) << screen << ": particle groups";
    EXPECT_EQ(after.freeTwitches, before.freeTwitches) << screen << ": twitches";
    EXPECT_EQ(after.view, before.view) << screen << ": the view";
    EXPECT_EQ(gVertexArrayBytesForgotten, 0) << screen << ": vertex-array pool bytes";
}

void KeepScreenshot(const WindowPixels& pixels, const char* name)
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

} // namespace

class ScreenTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        configFolder = std::make_unique<TempFolder>();
        setenv("XDG_CONFIG_HOME", configFolder->Path().c_str(), 1);
        inBuildFolder = std::make_unique<ScopedWorkingDirectory>(QUORVEL_BINARY_DIR);
        Tarnet::Startup();
        ResetPrefsToDefaults();
        gPrefs.language = kLanguageEnglish;
        SetUpInput();
        HarnessPrepareGame();
        LoadLocalizedStrings(gPrefs.language);
        gFixedFrameSeconds = kStep;
        gFrame = 0;
        gOnFrame = nullptr;
        SetPollHook(CountFrame);
    }

    void TearDown() override
    {
        if (inBuildFolder) {
            SetPollHook(nullptr);
            gOnFrame = nullptr;
            gFixedFrameSeconds = 0;
            DisposeMenuNavigation();
            DisposeLocalizedStrings();
            HarnessFinishGame();
            ShutdownGameSound();
            Tarnet::Shutdown();
        }
        inBuildFolder.reset();
        WindowTest::TearDown();
    }

    std::unique_ptr<TempFolder> configFolder;
    std::unique_ptr<ScopedWorkingDirectory> inBuildFolder;
};

// The slides' own clock, without drawing: each starts when the one before has run its lifetime,
// and the show ends once the last has faded out.
TEST_F(ScreenTest, StorySlidesFollowEachOtherOnTheirLifetimesAndTheLastEndsTheShow)
{
    SetUpScreenView(10, 1000, 0.8f);
    LoadSpriteGroupFromSeries(SPRITE_GROUP_LEVELSPECIFIC, NUM_STORY_SLIDES, "story");
    LoadSoundBank(SOUND_BANK_NARRATION);
    StartSlideShow(kStorySlides, NUM_STORY_SLIDES, false);

    std::vector<float> startedAt;
    float time = 0;
    gFrameSeconds = kStep;
    int started = CountStartedSlides();
    ASSERT_EQ(started, 1) << "the first slide starts at once";
    while (!IsSlideShowDone() && time < 200) {
        MoveObjects();
        time += kStep;
        if (CountStartedSlides() != started) {
            started = CountStartedSlides();
            startedAt.push_back(time);
        }
    }
    const float expected[] = {4, 13, 25, 33, 41, 55, 63.5f, 72.5f};
    ASSERT_EQ(startedAt.size(), 8u);
    for (size_t i = 0; i < 8; i++)
        EXPECT_NEAR(startedAt[i], expected[i], kStep * 1.5f) << "slide " << i + 1;
    // The last slide: in until 5 s, out at 0.8 a second, gone when its 8 s are over.
    EXPECT_NEAR(time, 72.5f + 8, kStep * 1.5f);

    DisposeAllObjects();
    EndSlideShow();
    UnloadSoundBank(SOUND_BANK_NARRATION);
    DisposeSpriteGroup(SPRITE_GROUP_LEVELSPECIFIC);
    OGL_DisposeGameView();
}

// The first narration's subtitle: two lines for 4 s, then one line for 4 s, each fading quickly.
TEST_F(ScreenTest, SubtitleLinesAppearInTheirGroupsTurnAndGoOnTime)
{
    SetUpScreenView(10, 1000, 0.8f);
    LoadSpriteAtlas(ATLAS_SLOT_SWISS, ":sprites:fonts:swiss", ATLAS_FONT);
    ShowSubtitle(STR_STORY_1);
    gFrameSeconds = kStep;

    auto shown = [] {
        std::vector<ObjNode*> lines;
        for (ObjNode* node = gObjectListHead; node; node = node->NextInList) {
            if (node->Genre == TEXTMESH_GENRE && !(node->StatusFlags & NODEBIT_INVISIBLE) && node->Tint.a > 0)
                lines.push_back(node);
        }
        return lines;
    };
    auto runFor = [](float seconds) {
        for (float t = 0; t < seconds - kStep / 2; t += kStep)
            MoveObjects();
    };
    EXPECT_EQ(shown().size(), 0u) << "nothing before the first frame";
    runFor(1);
    ASSERT_EQ(shown().size(), 2u) << "the first group's two lines";
    EXPECT_FLOAT_EQ(shown()[0]->Tint.a, 1);
    EXPECT_LT(shown()[0]->Position.y, shown()[1]->Position.y);
    runFor(4);
    ASSERT_EQ(shown().size(), 1u) << "the second group alone";
    EXPECT_FLOAT_EQ(shown()[0]->Position.y, 420) << "back at the top line";
    runFor(2.9f);
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_LT(shown()[0]->Tint.a, 0.9f) << "fading out in its last quarter second";
    runFor(0.6f);
    int texts = 0;
    for (ObjNode* node = gObjectListHead; node; node = node->NextInList)
        texts += node->Genre == TEXTMESH_GENRE ? 1 : 0;
    EXPECT_EQ(texts, 0) << "every line deleted itself once its time was over";

    DisposeAllObjects();
    DisposeAtlas(ATLAS_SLOT_SWISS);
    OGL_DisposeGameView();
}

// Every screen run and left: nothing it loaded or made stays behind.
TEST_F(ScreenTest, EveryScreenReleasesEverythingItLoaded)
{
    Holdings before = TakeStock();

    gOnFrame = [](int frame) { TapAt(frame, 30, SDL_SCANCODE_RETURN); };
    ShowTitleSplash();
    ExpectNothingLeft(before, "title splash");
    EXPECT_LT(gFrame, 60) << "the press ended the splash long before its 10 s";

    gFrame = 0;
    gOnFrame = [](int frame) {
        if (frame == 35)
            KeepScreenshot(DrawSceneAndCapture(DrawObjectList), "story.png");
        TapAt(frame, 40, SDL_SCANCODE_RETURN);
    };
    PlaySong(SONG_THEME, true);
    ShowIntroStory();
    ExpectNothingLeft(before, "intro story");
    EXPECT_EQ(gCurrentSong, -1) << "skipping silences the story's song and narration";

    for (int mode = kLevelIntro_PressAKey; mode <= kLevelIntro_LevelStart; mode++) {
        gFrame = 0;
        gOnFrame = [mode](int frame) {
            if (frame == 150) {
                static const char* const kNames[] = {"attract.png", "credits.png", "levelstart.png"};
                KeepScreenshot(DrawSceneAndCapture(DrawObjectList), kNames[mode]);
            }
            TapAt(frame, 160, SDL_SCANCODE_ESCAPE);
        };
        ShowLevelIntro(mode);
        ExpectNothingLeft(before, "level intro");
        EXPECT_LT(gFrame, 200) << "mode " << mode << " ends on a press";
    }

    gFrame = 0;
    gOnFrame = nullptr;
    ShowWinScreen();
    ExpectNothingLeft(before, "win screen");
    EXPECT_GT(gFrame, int(16 / kStep)) << "the win slide runs its 16 s";
}

TEST_F(ScreenTest, LevelStartSceneEndsByItselfAfterFiveSeconds)
{
    gOnFrame = [](int frame) {
        if (frame == 40) {
            WindowPixels pixels = DrawSceneAndCapture(DrawObjectList);
            KeepScreenshot(pixels, "levelintro.png");
            // Stars and the player lie over black: the picture is not empty.
            Rgba middle = pixels.MeanOf(pixels.width / 4, pixels.height / 4, pixels.width * 3 / 4,
                                        pixels.height * 3 / 4);
            EXPECT_GT(middle.r + middle.g + middle.b, 15) << "the scene shows";
        }
    };
    ShowLevelIntro(kLevelIntro_LevelStart);
    EXPECT_NEAR(gFrame, 5 / kStep, 20) << "five seconds and the closing fade";
}

TEST_F(ScreenTest, BetweenLevelsTheChosenSlotIsSavedAfterTheFade)
{
    gLevelIndex = 1;
    gOnFrame = [](int frame) {
        if (frame == 60) {
            KeepScreenshot(DrawSceneAndCapture(DrawObjectList), "saveprompt.png");
            EXPECT_EQ(GetMenuState(), kMenuState_Ready) << "the save menu is up";
            ForceMenuOutcome(int32_t(MenuCode("sf#2")));
        }
    };
    Holdings before = TakeStock();
    ShowLevelIntro(kLevelIntro_BetweenLevels);
    ExpectNothingLeft(before, "save prompt");
    SavedGameRecord record;
    ASSERT_TRUE(ReadSaveSlot(2, &record)) << "slot C holds the game";
    EXPECT_EQ(record.levelIndex, 1) << "it resumes at the level about to start";
}

TEST_F(ScreenTest, ControllerCheckCancelsOnBackAndRefusesEnterWithTwoGamepadsMissing)
{
    ASSERT_EQ(CountOpenControllers(), 0) << "these tests run without gamepads";
    gOnFrame = [](int frame) {
        TapAt(frame, 20, SDL_SCANCODE_RETURN); // both players lack a gamepad: not enough
        if (frame == 30)
            KeepScreenshot(DrawSceneAndCapture(DrawObjectList), "controllercheck.png");
        TapAt(frame, 40, SDL_SCANCODE_ESCAPE);
    };
    Holdings before = TakeStock();
    EXPECT_TRUE(CheckTwoPlayerControllers()) << "back cancels";
    EXPECT_GE(gFrame, 40) << "Enter did not let two players through on one keyboard";
    ExpectNothingLeft(before, "controller check");
}

TEST_F(ScreenTest, ControllerCheckLetsATesterThroughWithTheCheatKeys)
{
    gOnFrame = [](int frame) {
        if (frame == 20) {
            PushKey(SDL_SCANCODE_B, true);
            PushKey(SDL_SCANCODE_U, true);
            PushKey(SDL_SCANCODE_G, true);
        }
    };
    EXPECT_FALSE(CheckTwoPlayerControllers());
    EXPECT_LT(gFrame, 40);
    for (SDL_Scancode key : {SDL_SCANCODE_B, SDL_SCANCODE_U, SDL_SCANCODE_G})
        PushKey(key, false);
    PollInput();
}
