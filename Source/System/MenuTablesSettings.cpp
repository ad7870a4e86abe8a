// The settings pages: difficulty, interface and language, controls with the key, mouse and gamepad
// pages, graphics, sound and the 3D-glasses calibration. Settings that can take effect at once do so
// through each item's routine; the preferences are written when the settings page is shown again.

#include "System/MenuTables.h"

#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "3D/Sprites.h"
#include "Interface/LocalizedStrings.h"
#include "Interface/MenuBuild.h"
#include "Interface/StringIDs.h"
#include "Objects/ObjNode.h"
#include "Sound/GameSound.h"
#include "System/GameShell.h"
#include "System/Input.h"
#include "System/Languages.h"
#include "System/Prefs.h"
#include "System/Window.h"

#include <GL/gl.h>
#include <SDL.h>
#include <cstdio>

static constexpr float kNoteY = 472;
static constexpr float kNoteScale = 0.15f;
static constexpr float kNoteOpacity = 0.75f;
static constexpr float kCalibrationPictureY = 330;
static constexpr float kCalibrationPictureWidth = 200;

// ---------------------------------------------------------------------------------------------------
// Routines of the items
// ---------------------------------------------------------------------------------------------------

static void WritePrefsAfterLayout(MenuItem*)
{
    WritePrefsFile();
}

static void ChangeLanguage(MenuItem*)
{
    gPrefs.showSubtitles = (gPrefs.language != kLanguageEnglish || !IsSystemLocaleEnglish()) ? 1 : 0;
    LoadLocalizedStrings(gPrefs.language);
    LayoutCurrentMenuAgain(true);
}

static void ApplyFullscreen(MenuItem*)
{
    ApplyFullscreenPref(true);
}

static void ApplyVerticalSync(MenuItem*)
{
    if (SDL_GL_GetCurrentContext())
        SDL_GL_SetSwapInterval(gPrefs.vsync ? 1 : 0);
}

static void AntiAliasingChanged(MenuItem*)
{
    LayoutCurrentMenuAgain(true); // shows or hides the restart note
}

static int CountDisplays()
{
    int displays = SDL_GetNumVideoDisplays();
    return displays > 0 ? displays : 1;
}

static void DisplayNumberText(int value, char* text, size_t capacity)
{
    std::snprintf(text, capacity, "%d", value + 1);
}

static uint8_t HiddenWithOneDisplay(const MenuItem*)
{
    return CountDisplays() < 2 ? kMILayoutFlag_Hidden : 0;
}

static uint8_t HiddenInGame(const MenuItem*)
{
    return gMenuOpenInGame ? kMILayoutFlag_Hidden : 0;
}

static void ApplyVolumes(MenuItem*)
{
    ApplyVolumeSettings();
}

static void RumbleSample(MenuItem*)
{
    Rumble(1, 1, 200, -1);
}

static void RestoreKeys(MenuItem*)
{
    RestoreDefaultKeys();
    PlayMenuEffect(kMenuEffect_RestoreDefaults);
    LayoutCurrentMenuAgain(true);
}

static void RestoreMouse(MenuItem*)
{
    RestoreDefaultMouseBindings();
    PlayMenuEffect(kMenuEffect_RestoreDefaults);
    LayoutCurrentMenuAgain(true);
}

static void RestorePad(MenuItem*)
{
    RestoreDefaultPadBindings();
    PlayMenuEffect(kMenuEffect_RestoreDefaults);
    LayoutCurrentMenuAgain(true);
}

// The graphics page notes the renderer, and that anti-aliasing changes need a restart.
static void ShowGraphicsNotes(MenuItem*)
{
    if (gPrefs.msaaLevel != gActiveMSAALevel)
        MakeMenuPageText(GetLocalizedString(STR_RESTART_NEEDED), 320, 435, 0.25f, 1);
    if (!SDL_GL_GetCurrentContext())
        return;
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* driver = SDL_GetCurrentVideoDriver();
    char line[256];
    std::snprintf(line, sizeof(line), "%s, OpenGL %s, %s", renderer ? renderer : "?", version ? version : "?",
                  driver ? driver : "?");
    MakeMenuPageText(line, 320, kNoteY, kNoteScale, kNoteOpacity);
}

static void ShowControllerName(MenuItem*)
{
    SDL_GameController* controller = GetController(0);
    const char* name = controller ? SDL_GameControllerName(controller) : nullptr;
    MakeMenuPageText(name ? name : GetLocalizedString(STR_NO_GAMEPAD), 320, kNoteY, kNoteScale, kNoteOpacity);
}

// ---------------------------------------------------------------------------------------------------
// Calibration
// ---------------------------------------------------------------------------------------------------

static uint8_t ShownInAnaglyph(const MenuItem*)
{
    return (gPrefs.stereoMode == 1 || gPrefs.stereoMode == 2) ? 0 : kMILayoutFlag_Hidden;
}

static uint8_t ShownInColorAnaglyph(const MenuItem*)
{
    return gPrefs.stereoMode == 1 ? 0 : kMILayoutFlag_Hidden;
}

static void CalibrationChanged(MenuItem*)
{
    LayoutCurrentMenuAgain(true);
}

static void RestoreCalibration(MenuItem*)
{
    gPrefs.anaglyphRed = 216;
    gPrefs.anaglyphGreen = 160;
    gPrefs.anaglyphBlue = 255;
    gPrefs.anaglyphBalance = 1;
    PlayMenuEffect(kMenuEffect_RestoreDefaults);
    LayoutCurrentMenuAgain(true);
}

// The picture and the instructions of the calibration page, for the stereo mode chosen.
static void ShowCalibrationPage(MenuItem*)
{
    ReloadMainMenuArt(); // in the colours of the new stereo mode
    const char* picture =
        gPrefs.stereoMode != 0 ? ":sprites:calibration:calibration000" : ":sprites:calibration:glasses";
    DisposeSpriteGroup(SPRITE_GROUP_LEVELSPECIFIC);
    LoadSpriteGroupFromFile(SPRITE_GROUP_LEVELSPECIFIC, picture);
    ObjectDefinition def = {};
    def.artGroup = SPRITE_GROUP_LEVELSPECIFIC;
    def.position = {320, kCalibrationPictureY, 0};
    def.slot = 6095;
    def.scale = kCalibrationPictureWidth;
    def.statusFlags = NODEBIT_RUNS_WHEN_PAUSED | NODEBIT_NO_CULLING;
    ObjNode* sprite = MakeSpriteObject(&def, true);
    if (sprite) {
        MakeOverlayOnly(sprite);
        AttachMenuPageObject(sprite);
    }

    char text[1024];
    if (gPrefs.stereoMode == 1)
        std::snprintf(text, sizeof(text), "%s\n \n1. %s\n \n2. %s\n \n3. %s",
                      GetLocalizedString(STR_CALIBRATION_1), GetLocalizedString(STR_CALIBRATION_2),
                      GetLocalizedString(STR_CALIBRATION_3), GetLocalizedString(STR_CALIBRATION_4));
    else if (gPrefs.stereoMode == 2)
        std::snprintf(text, sizeof(text), "%s\n \n%s", GetLocalizedString(STR_CALIBRATION_1),
                      GetLocalizedString(STR_CALIBRATION_2));
    else
        std::snprintf(text, sizeof(text), "%s", GetLocalizedString(STR_CALIBRATION_OFF));
    MakeMenuPageText(text, 320, 440, 0.18f, 0.9f);
}

// ---------------------------------------------------------------------------------------------------
// Tables
// ---------------------------------------------------------------------------------------------------

static const int kFlightNeedsOnKeyPage[] = {kNeedUp,      kNeedDown,      kNeedLeft,       kNeedRight,
                                            kNeedFire,    kNeedBoost,     kNeedNextWeapon, kNeedPrevWeapon,
                                            kNeedDropEgg, kNeedCameraMode};
static const int kNeedsOnMousePage[] = {kNeedFire,       kNeedBoost,      kNeedDropEgg,
                                        kNeedNextWeapon, kNeedPrevWeapon, kNeedCameraMode};

static MenuItem* BuildSettingsTable()
{
    static MenuItem table[96];
    int n = 0;
    auto add = [&](MenuItem item) { table[n++] = item; };
    const uint32_t back = kMenuBack;

    add(MenuStart(MenuCode("sett"), WritePrefsAfterLayout));
    add(MenuHeading(STR_SETTINGS));
    add(MenuGap(0.3f));
    add(MenuChoiceList(kMIChoiceInline, STR_DIFFICULTY, &gPrefs.easyMode,
                       {{STR_DIFFICULTY_NORMAL, 0}, {STR_DIFFICULTY_EASY, 1}}));
    add(MenuAction(STR_CONTROLS, 0, MenuCode("ctrl")));
    add(MenuAction(STR_GRAPHICS, 0, MenuCode("graf")));
    add(MenuAction(STR_SOUND, 0, MenuCode("soun")));
    add(MenuAction(STR_INTERFACE, 0, MenuCode("ifac")));
    add(MenuAction(STR_BACK, 0, back));

    add(MenuStart(MenuCode("ifac")));
    add(MenuHeading(STR_INTERFACE));
    add(MenuGap());
    // Dutch is listed before Swedish, as the language names are ordered in the strings.
    add(MenuChoiceList(kMIChoiceColumns, STR_LANGUAGE, &gPrefs.language,
                       {{STR_LANGUAGE_ENGLISH, kLanguageEnglish},
                        {STR_LANGUAGE_FRENCH, kLanguageFrench},
                        {STR_LANGUAGE_GERMAN, kLanguageGerman},
                        {STR_LANGUAGE_SPANISH, kLanguageSpanish},
                        {STR_LANGUAGE_ITALIAN, kLanguageItalian},
                        {STR_LANGUAGE_DUTCH, kLanguageDutch},
                        {STR_LANGUAGE_SWEDISH, kLanguageSwedish}},
                       ChangeLanguage));
    add(MenuChoiceList(kMIChoiceColumns, STR_CROSSHAIR, &gPrefs.showCrosshair,
                       {{STR_CROSSHAIR_OFF, 0}, {STR_CROSSHAIR_ON, 1}}));
    add(MenuChoiceList(kMIChoiceColumns, STR_HUD_LAYOUT, &gPrefs.hudFixedLayout,
                       {{STR_HUD_LAYOUT_EDGES, 0}, {STR_HUD_LAYOUT_4_3, 1}}));
    add(MenuSlider(STR_HUD_SCALE, &gPrefs.hudScale, 100, 50, 200, 5));
    add(MenuAction(STR_BACK, 0, back));

    add(MenuStart(MenuCode("ctrl")));
    add(MenuHeading(STR_CONTROLS));
    add(MenuGap());
    add(MenuAction(STR_GAMEPAD, 0, MenuCode("gpad")));
    add(MenuAction(STR_KEYBOARD, 0, MenuCode("keyb")));
    add(MenuAction(STR_MOUSE, 0, MenuCode("mous")));
    add(MenuChoiceList(kMIChoiceColumns, STR_INVERT_VERTICAL, &gPrefs.invertVertical,
                       {{STR_INVERT_NO, 0}, {STR_INVERT_YES, 1}}));
    add(MenuSlider(STR_RUMBLE, &gPrefs.rumbleIntensity, 100, 0, 100, 25, RumbleSample));
    add(MenuAction(STR_BACK, 0, back));

    add(MenuStart(MenuCode("graf"), ShowGraphicsNotes));
    add(MenuHeading(STR_GRAPHICS));
    add(MenuGap());
    add(MenuChoiceList(kMIChoiceColumns, STR_FULL_SCREEN, &gPrefs.fullscreen, {{STR_OFF, 0}, {STR_ON, 1}},
                       ApplyFullscreen));
    add(WithLayoutFlags(MenuNumericChoice(kMIChoiceColumns, STR_DISPLAY, &gPrefs.displayNum, CountDisplays,
                                          DisplayNumberText, ApplyFullscreen),
                        HiddenWithOneDisplay));
    add(MenuChoiceList(kMIChoiceColumns, STR_VSYNC, &gPrefs.vsync, {{STR_OFF, 0}, {STR_ON, 1}},
                       ApplyVerticalSync));
    add(MenuChoiceList(
        kMIChoiceColumns, STR_ANTIALIASING, &gPrefs.msaaLevel,
        {{STR_OFF, 0}, {STR_ANTIALIASING_2X, 1}, {STR_ANTIALIASING_4X, 2}, {STR_ANTIALIASING_8X, 3}},
        AntiAliasingChanged));
    add(MenuAction(STR_3D_GLASSES, 0, MenuCode("cali")));
    add(MenuAction(STR_BACK, 0, back));

    add(MenuStart(MenuCode("soun")));
    add(MenuHeading(STR_SOUND));
    add(MenuGap());
    add(MenuSlider(STR_MUSIC_VOLUME, &gPrefs.musicVolume, 70, 0, 100, 5, ApplyVolumes));
    add(MenuSlider(STR_EFFECTS_VOLUME, &gPrefs.effectsVolume, 70, 0, 100, 5, ApplyVolumes));
    add(MenuAction(STR_BACK, 0, back));

    add(MenuStart(MenuCode("keyb")));
    add(MenuHeading(STR_KEYBOARD_HEADING, 0.7f));
    add(MenuGap(0.4f));
    for (int need : kFlightNeedsOnKeyPage)
        add(MenuBinding(kMIKeyBind, need));
    add(MenuGap(0.25f));
    add(MenuAction(STR_RESET_TO_DEFAULTS, 0, 0, RestoreKeys, 0.5f));
    add(MenuGap());
    add(MenuAction(STR_BACK, 0, back));
    add(MenuGap(2.2f, HiddenInGame));

    add(MenuStart(MenuCode("mous")));
    add(MenuSlider(STR_MOUSE_SENSITIVITY, &gPrefs.mouseSensitivity, 100, 10, 200, 5));
    add(MenuGap());
    for (int need : kNeedsOnMousePage)
        add(MenuBinding(kMIMouseBind, need));
    add(MenuGap());
    add(MenuAction(STR_RESET_TO_DEFAULTS, 0, 0, RestoreMouse));
    add(MenuGap());
    add(MenuAction(STR_BACK, 0, back));

    add(MenuStart(MenuCode("gpad"), ShowControllerName));
    add(MenuHeading(STR_GAMEPAD_HEADING, 0.6f));
    add(MenuGap());
    for (int need : kFlightNeedsOnKeyPage)
        add(MenuBinding(kMIGamepadBind, need));
    add(MenuAction(STR_RESET_TO_DEFAULTS, 0, 0, RestorePad));
    add(MenuGap());
    add(MenuAction(STR_BACK, 0, back));
    add(MenuGap(2.8f, HiddenInGame));

    add(MenuTableEnd());
    return table;
}

static MenuItem* BuildCalibrationTable(bool inGame)
{
    static MenuItem tables[2][24];
    MenuItem* table = tables[inGame ? 1 : 0];
    int n = 0;
    auto add = [&](MenuItem item) { table[n++] = item; };

    if (inGame) {
        add(MenuStart(MenuCode("cali")));
        add(MenuGap(1.5f));
        add(MenuHeading(STR_CALIBRATION_IN_GAME));
        add(MenuGap(1.5f));
        add(MenuAction(STR_BACK, 0, kMenuBack));
    } else {
        add(MenuStart(MenuCode("cali"), ShowCalibrationPage));
        add(MenuChoiceList(
            kMIChoiceColumns, STR_STEREO_MODE, &gPrefs.stereoMode,
            {{STR_STEREO_OFF, 0}, {STR_STEREO_COLOR_ANAGLYPH, 1}, {STR_STEREO_MONO_ANAGLYPH, 2}},
            CalibrationChanged));
        add(WithLayoutFlags(
            MenuSlider(STR_FILTER_RED, &gPrefs.anaglyphRed, 216, 0, 255, 5, CalibrationChanged),
            ShownInAnaglyph));
        add(WithLayoutFlags(
            MenuSlider(STR_FILTER_GREEN, &gPrefs.anaglyphGreen, 160, 0, 255, 5, CalibrationChanged),
            ShownInColorAnaglyph));
        add(WithLayoutFlags(
            MenuSlider(STR_FILTER_BLUE, &gPrefs.anaglyphBlue, 255, 0, 255, 5, CalibrationChanged),
            ShownInAnaglyph));
        add(WithLayoutFlags(MenuChoiceList(kMIChoiceColumns, STR_COLOR_BALANCE, &gPrefs.anaglyphBalance,
                                           {{STR_OFF, 0}, {STR_ON, 1}}, CalibrationChanged),
                            ShownInColorAnaglyph));
        add(MenuAction(STR_RESET_TO_DEFAULTS, 0, 0, RestoreCalibration));
        add(MenuAction(STR_BACK, 0, kMenuBack));
        add(MenuGap(8));
    }
    add(MenuTableEnd());
    return table;
}

MenuItem* GetSettingsTable()
{
    static MenuItem* table = BuildSettingsTable();
    return table;
}

MenuItem* GetCalibrationTable(bool inGame)
{
    static MenuItem* inGameTable = BuildCalibrationTable(true);
    static MenuItem* mainMenuTable = BuildCalibrationTable(false);
    return inGame ? inGameTable : mainMenuTable;
}

void RegisterSettingsMenus(bool inGame)
{
    RegisterMenu(GetSettingsTable());
    RegisterMenu(GetCalibrationTable(inGame));
}
