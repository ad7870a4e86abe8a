// The intro story (nine slides with narration and subtitles over the intro song) and the win
// screen (one slide over the win song): two slide shows on the same kind of view.

#include "Screens/Screens.h"
#include "Screens/ScreensLocal.h"

#include "3D/Atlas.h"
#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "3D/Sprites.h"
#include "Objects/ObjNode.h"
#include "Sound/GameSound.h"
#include "System/Fades.h"
#include "System/Input.h"
#include "System/Log.h"
#include "System/Prefs.h"

static constexpr float kStoryFieldOfView = 0.8f;
static constexpr float kSubtitleGradientTop = 320;
static constexpr int kSubtitleGradientSlot = 3100;

// The story's and the win screen's view, art and fade-in.
static void OpenSlideScreen(const StorySlide* table, int count, bool subtitles)
{
    SetUpScreenView(10, 1000, kStoryFieldOfView);
    StartSlideShow(table, count, subtitles);
    if (subtitles)
        MakeBottomGradient(kSubtitleGradientTop, kSubtitleGradientSlot);
    StartFade(kFadeFlags_In, 2);
}

// Out, and everything the screen made or loaded goes.
static void CloseSlideScreen()
{
    FadeOutAndWait(DrawObjectList, MoveObjects);
    DisposeAllObjects();
    EndSlideShow();
    DisposeSpriteGroup(SPRITE_GROUP_LEVELSPECIFIC);
    DisposeAtlas(ATLAS_SLOT_SWISS);
    OGL_DisposeGameView();
}

void ShowIntroStory()
{
    LogLine(kLogInfo, "Intro story shown");
    bool subtitles = gPrefs.showSubtitles != 0;
    LoadSpriteGroupFromSeries(SPRITE_GROUP_LEVELSPECIFIC, NUM_STORY_SLIDES, "story");
    LoadSpriteAtlas(ATLAS_SLOT_SWISS, ":sprites:fonts:swiss", ATLAS_FONT);
    LoadSoundBank(SOUND_BANK_NARRATION);
    OpenSlideScreen(kStorySlides, NUM_STORY_SLIDES, subtitles);
    PlaySong(SONG_INTRO, true);

    while (!IsSlideShowDone()) {
        RunScreenFrame();
        if (AnySkipPressed()) {
            gGameViewInfoPtr->fadeSound = true; // the narration must not go on over the menu
            break;
        }
    }

    CloseSlideScreen();
    UnloadSoundBank(SOUND_BANK_NARRATION);
}

void ShowWinScreen()
{
    LogLine(kLogInfo, "Win screen shown");
    LoadSpriteGroupFromFile(SPRITE_GROUP_LEVELSPECIFIC, ":sprites:story:win");
    OpenSlideScreen(&kWinSlide, 1, false);
    PlaySong(SONG_WIN, false);

    while (!IsSlideShowDone())
        RunScreenFrame();

    CloseSlideScreen();
}
