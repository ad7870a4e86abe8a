// A fixture for menu tests: SDL with the dummy video driver, a data folder with empty twitch
// presets, test fonts in the menu's atlas slots, the user's folder redirected into a temporary
// one, default preferences, and the real input poll fed with synthetic SDL events.
#pragma once

#include "Interface/LocalizedStrings.h"
#include "Interface/MenuLocal.h"
#include "Interface/Twitch.h"
#include "Objects/ObjNode.h"
#include "Support/DataFolderFixture.h"
#include "Support/TempFolder.h"
#include "System/FrameRate.h"
#include "System/InputLocal.h"
#include "System/Pause.h"
#include "System/Prefs.h"
#include "Unit/Text/TextTestFont.h"

#include <SDL.h>
#include <cstdlib>
#include <cstring>
#include <string>

class MenuTest : public DataFolderTest
{
protected:
    void SetUp() override
    {
        if (const char* previous = std::getenv("XDG_CONFIG_HOME")) {
            previousConfigHome = previous;
            hadConfigHome = true;
        }
        setenv("XDG_CONFIG_HOME", configHome.Path().c_str(), 1);
        DataFolderTest::SetUp();
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
        WriteSystemFile("twitch.csv", "PRESET,CLASS,AXES,EASING,DURATION,AMPLITUDE,FREQUENCY,PHASE,DELAY\n");
        InitTwitchSystem();
        InitObjectPool();
        MO_InitMetaObjectList();
        for (ScopedTestAtlas* font : {&labelFont, &altFont}) {
            MaterialRecord material;
            std::memset(&material, 0, sizeof(material));
            material.diffuseColor[3] = 1;
            font->atlas->material = MO_CreateNewObjectOfType(MO_TYPE_MATERIAL, 0, &material);
        }
        ResetPrefsToDefaults();
        std::memset(gKeyStates, 0, sizeof(gKeyStates));
        std::memset(gMouseStates, 0, sizeof(gMouseStates));
        std::memset(gKeyboardNeedStates, 0, sizeof(gKeyboardNeedStates));
        std::memset(gKeyDown, 0, sizeof(gKeyDown));
        std::memset(gMouseButtonDown, 0, sizeof(gMouseButtonDown));
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        gPaused = false;
        savedFrameSeconds = gFrameSeconds;
        gFrameSeconds = 1.0f / 20;
        gMenuEffectCount = 0;
        gLastMenuEffect = 0;
    }

    void TearDown() override
    {
        DisposeMenuNavigation();
        DisposeAllObjects();
        gFrameSeconds = savedFrameSeconds;
        SDL_Quit();
        DataFolderTest::TearDown();
        if (hadConfigHome)
            setenv("XDG_CONFIG_HOME", previousConfigHome.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

    // One frame of a menu screen: the input poll, then the move pass that runs the menu.
    static void Frame()
    {
        PollInput();
        MoveObjects();
    }

    static void Frames(int count)
    {
        for (int i = 0; i < count; i++)
            Frame();
    }

    static void PushKey(SDL_Scancode scancode, bool down)
    {
        SDL_Event event = {};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = scancode;
        SDL_PushEvent(&event);
    }

    // A press and release, a frame each.
    static void Tap(SDL_Scancode scancode)
    {
        PushKey(scancode, true);
        Frame();
        PushKey(scancode, false);
        Frame();
    }

    static void PushMouseMotion(int x, int y)
    {
        SDL_Event event = {};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = x;
        event.motion.y = y;
        SDL_PushEvent(&event);
    }

    static void PushMouseButton(int button, bool down)
    {
        SDL_Event event = {};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.button = uint8_t(button);
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        SDL_PushEvent(&event);
    }

    // Opens a navigation and lets it fade in until it reads input.
    static void OpenMenu(MenuItem* table, MenuStyle style)
    {
        StartMenuNavigation(table, &style);
        for (int i = 0; i < 40 && GetMenuState() == kMenuState_FadingIn; i++)
            Frame();
        ASSERT_EQ(GetMenuState(), kMenuState_Ready);
    }

    static MenuStyle InteractiveStyle(uint32_t extraFlags = 0)
    {
        MenuStyle style = MakeDefaultMenuStyle();
        style.flags = kMenuFlag_Interactive | extraFlags;
        return style;
    }

    // Moves the selection down until the row holding `item` is selected.
    static void SelectItem(const MenuItem* item)
    {
        for (int i = 0; i < MAX_MENU_ROWS && GetMenuRowItem(GetSelectedMenuRow()) != item; i++)
            Tap(SDL_SCANCODE_DOWN);
        ASSERT_EQ(GetMenuRowItem(GetSelectedMenuRow()), item);
    }

    // The row of an item in the menu shown, -1 when it is not there.
    static int RowOf(const MenuItem* item)
    {
        for (int row = 0; row < CountMenuRows(); row++) {
            if (GetMenuRowItem(row) == item)
                return row;
        }
        return -1;
    }

    ScopedTestAtlas labelFont{1, ATLAS_FONT};
    ScopedTestAtlas altFont{2, ATLAS_FONT};
    TempFolder configHome;
    std::string previousConfigHome;
    bool hadConfigHome = false;
    float savedFrameSeconds = 0;
};
