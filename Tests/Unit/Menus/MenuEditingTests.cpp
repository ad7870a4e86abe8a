// Editing preference bytes through menu items: choices, sliders, and the binding rows with their
// captures, clearing and conflicts.

#include "Interface/MenuBuild.h"
#include "Interface/StringIDs.h"
#include "MenuTestFixture.h"
#include "System/MenuTables.h"

#include <vector>

namespace {

int gActivations = 0;
void CountActivation(MenuItem*)
{
    gActivations++;
}

int ThreeValues()
{
    return 3;
}

} // namespace

TEST_F(MenuTest, ChoiceStepsStopAtTheEndsWithARefusalAndStoreTheListedValue)
{
    uint8_t value = 7;
    std::vector<MenuItem> table = {
        MenuStart(MenuCode("chce")),
        MenuChoiceList(kMIChoiceColumns, 1, &value, {{2, 7}, {3, 9}, {4, 11}}, CountActivation),
        MenuTableEnd(),
    };
    gActivations = 0;
    OpenMenu(table.data(), InteractiveStyle());

    Tap(SDL_SCANCODE_LEFT);
    EXPECT_EQ(value, 7) << "a step before the first choice must not wrap";
    EXPECT_EQ(gLastMenuEffect, kMenuEffect_Refusal);
    EXPECT_EQ(gActivations, 0);

    Tap(SDL_SCANCODE_RIGHT);
    Tap(SDL_SCANCODE_RIGHT);
    EXPECT_EQ(value, 11);
    EXPECT_EQ(gActivations, 2);
    Tap(SDL_SCANCODE_RIGHT);
    EXPECT_EQ(value, 11) << "a step beyond the last choice must not wrap";

    Tap(SDL_SCANCODE_RETURN);
    EXPECT_EQ(gLastMenuEffect, kMenuEffect_Refusal) << "confirm on a choice only shakes it";
    EXPECT_EQ(value, 11);
}

TEST_F(MenuTest, MouseClicksOnAChoiceWrapAround)
{
    uint8_t value = 1;
    std::vector<MenuItem> table = {
        MenuStart(MenuCode("chce")),
        MenuChoiceList(kMIChoiceInline, 1, &value, {{2, 0}, {3, 1}}),
        MenuTableEnd(),
    };
    OpenMenu(table.data(), InteractiveStyle());
    PushMouseMotion(320, int(gNav->rows[0].y));
    Frame();
    PushMouseButton(1, true);
    Frame();
    EXPECT_EQ(value, 0) << "a left click past the last choice wraps to the first";
}

TEST_F(MenuTest, NumericChoiceStoresTheIndex)
{
    uint8_t value = 0;
    std::vector<MenuItem> table = {
        MenuStart(MenuCode("chce")),
        MenuNumericChoice(kMIChoiceColumns, 1, &value, ThreeValues, nullptr),
        MenuTableEnd(),
    };
    OpenMenu(table.data(), InteractiveStyle());
    Tap(SDL_SCANCODE_RIGHT);
    Tap(SDL_SCANCODE_RIGHT);
    Tap(SDL_SCANCODE_RIGHT);
    EXPECT_EQ(value, 2);
    char text[16];
    GetChoiceText(&table[1], text, sizeof(text));
    EXPECT_STREQ(text, "3");
}

TEST_F(MenuTest, ByteHoldingNoListedValueShowsNoChoiceAndStepsOntoTheList)
{
    uint8_t value = 200; // a value no choice lists
    std::vector<MenuItem> table = {
        MenuStart(MenuCode("chce")),
        MenuChoiceList(kMIChoiceColumns, 1, &value, {{2, 0}, {3, 1}}),
        MenuTableEnd(),
    };
    OpenMenu(table.data(), InteractiveStyle());
    EXPECT_EQ(CurrentChoiceIndex(&table[1]), -1);
    Tap(SDL_SCANCODE_RIGHT);
    EXPECT_EQ(value, 0);
    value = 200;
    Tap(SDL_SCANCODE_LEFT);
    EXPECT_EQ(value, 1);
}

TEST_F(MenuTest, SliderAtItsMaximumRefusesOnceAndThenStaysQuietWhileHeld)
{
    uint8_t volume = 95;
    std::vector<MenuItem> table = {
        MenuStart(MenuCode("slid")),
        MenuSlider(1, &volume, 70, 0, 100, 5, CountActivation),
        MenuTableEnd(),
    };
    gActivations = 0;
    OpenMenu(table.data(), InteractiveStyle());

    PushKey(SDL_SCANCODE_RIGHT, true);
    Frame();
    EXPECT_EQ(volume, 100);
    EXPECT_EQ(gActivations, 1);
    int effectsBefore = gMenuEffectCount;
    Frames(40); // held: repeats come, the first of them hits the bound
    EXPECT_EQ(volume, 100);
    EXPECT_EQ(gMenuEffectCount, effectsBefore + 1) << "one refusal, then silence while held";
    EXPECT_EQ(gLastMenuEffect, kMenuEffect_Refusal);
    PushKey(SDL_SCANCODE_RIGHT, false);
    Frame();

    Tap(SDL_SCANCODE_RIGHT);
    EXPECT_EQ(gMenuEffectCount, effectsBefore + 2) << "a new press refuses again";
}

TEST_F(MenuTest, SliderHeldRepeatsAndRoundsOffValuesToTheStep)
{
    uint8_t value = 13;
    std::vector<MenuItem> table = {
        MenuStart(MenuCode("slid")),
        MenuSlider(1, &value, 100, 10, 200, 5),
        MenuTableEnd(),
    };
    OpenMenu(table.data(), InteractiveStyle());
    Tap(SDL_SCANCODE_LEFT);
    EXPECT_EQ(value, 10) << "13 rounds to 15, one step down, clamped at the minimum";

    PushKey(SDL_SCANCODE_RIGHT, true);
    Frames(20); // one second held at full strength: the first step, then about ten repeats
    PushKey(SDL_SCANCODE_RIGHT, false);
    Frame();
    EXPECT_GE(value, 40);
    EXPECT_LE(value, 80);
    EXPECT_EQ(value % 5, 0);
}

// ---------------------------------------------------------------------------------------------------
// Bindings
// ---------------------------------------------------------------------------------------------------

class BindingMenuTest : public MenuTest
{
protected:
    void OpenPage(uint32_t page)
    {
        std::vector<MenuItem>& table = pages;
        table = {MenuStart(MenuCode("head")), MenuAction(1, 0, page), MenuTableEnd()};
        OpenMenu(table.data(), InteractiveStyle());
        RegisterSettingsMenus(false);
        Tap(SDL_SCANCODE_RETURN);
        ASSERT_EQ(CurrentMenuId(), page);
    }

    // Selects the binding row of a need.
    void SelectNeedRow(int need, int kind)
    {
        for (int i = 0; i < 30; i++) {
            const MenuItem* item = GetMenuRowItem(GetSelectedMenuRow());
            if (item && item->type == kind && item->number == need)
                return;
            Tap(SDL_SCANCODE_DOWN);
        }
        FAIL() << "no row for need " << need;
    }

    std::vector<MenuItem> pages;
};

TEST_F(BindingMenuTest, CapturedKeyLeavesTheOtherNeedsOfThePageButNotTheirHiddenDefaults)
{
    OpenPage(MenuCode("keyb"));
    gPrefs.bindings[kNeedFire].key[2] = SDL_SCANCODE_W; // a fixed default in a hidden slot
    ASSERT_EQ(gPrefs.bindings[kNeedUp].key[1], SDL_SCANCODE_W);

    SelectNeedRow(kNeedFire, kMIKeyBind);
    Tap(SDL_SCANCODE_RIGHT); // second column
    Tap(SDL_SCANCODE_RETURN);
    ASSERT_EQ(GetMenuState(), kMenuState_AwaitingKey);
    EXPECT_EQ(gLastMenuEffect, kMenuEffect_Grab);
    Tap(SDL_SCANCODE_W);
    EXPECT_EQ(GetMenuState(), kMenuState_Ready);
    EXPECT_EQ(gPrefs.bindings[kNeedFire].key[1], SDL_SCANCODE_W);
    EXPECT_EQ(gPrefs.bindings[kNeedUp].key[1], 0) << "W still drives 'up' too";
    EXPECT_EQ(gPrefs.bindings[kNeedFire].key[2], SDL_SCANCODE_W) << "hidden default slots are never cleared";
    EXPECT_EQ(gPrefs.bindings[kNeedMenuUp].key[1], SDL_SCANCODE_W) << "menu needs are not on the page";
}

TEST_F(BindingMenuTest, EscapeCancelsAKeyCaptureAndDeleteClearsTheBinding)
{
    OpenPage(MenuCode("keyb"));
    SelectNeedRow(kNeedBoost, kMIKeyBind);
    Tap(SDL_SCANCODE_RETURN);
    ASSERT_EQ(GetMenuState(), kMenuState_AwaitingKey);
    Tap(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GetMenuState(), kMenuState_Ready);
    EXPECT_EQ(CurrentMenuId(), MenuCode("keyb")) << "the Escape that cancels must not also go back";
    EXPECT_EQ(gPrefs.bindings[kNeedBoost].key[0], SDL_SCANCODE_LSHIFT);

    Tap(SDL_SCANCODE_DELETE);
    EXPECT_EQ(gPrefs.bindings[kNeedBoost].key[0], 0);
    EXPECT_EQ(gLastMenuEffect, kMenuEffect_Cleared);
    Tap(SDL_SCANCODE_X);
    Tap(SDL_SCANCODE_RIGHT);
    Tap(SDL_SCANCODE_X);
    EXPECT_EQ(gPrefs.bindings[kNeedBoost].key[1], 0) << "X clears the selected column";
}

TEST_F(BindingMenuTest, CapturedMouseButtonLeavesTheOtherMouseRows)
{
    OpenPage(MenuCode("mous"));
    ASSERT_EQ(gPrefs.bindings[kNeedBoost].mouseButton, kMouseButtonRight);
    SelectNeedRow(kNeedFire, kMIMouseBind);
    Tap(SDL_SCANCODE_RETURN);
    ASSERT_EQ(GetMenuState(), kMenuState_AwaitingMouse);
    PushMouseButton(kMouseButtonRight, true);
    Frame();
    PushMouseButton(kMouseButtonRight, false);
    Frame();
    EXPECT_EQ(gPrefs.bindings[kNeedFire].mouseButton, kMouseButtonRight);
    EXPECT_EQ(gPrefs.bindings[kNeedBoost].mouseButton, 0);
}

TEST_F(BindingMenuTest, GamepadCaptureWithoutAControllerRefusesAtOnce)
{
    OpenPage(MenuCode("gpad"));
    SelectNeedRow(kNeedFire, kMIGamepadBind);
    Tap(SDL_SCANCODE_RETURN);
    EXPECT_EQ(GetMenuState(), kMenuState_Ready);
    EXPECT_EQ(gLastMenuEffect, kMenuEffect_Refusal);
    EXPECT_EQ(gNav->headingOverride, STR_NO_GAMEPAD);
}

TEST_F(BindingMenuTest, RestoringDefaultKeysUndoesACapture)
{
    OpenPage(MenuCode("keyb"));
    gPrefs.bindings[kNeedFire].key[0] = SDL_SCANCODE_Q;
    int row = -1;
    for (int r = 0; r < CountMenuRows(); r++) {
        if (GetMenuRowItem(r)->textId == STR_RESET_TO_DEFAULTS)
            row = r;
    }
    ASSERT_GE(row, 0);
    SelectItem(GetMenuRowItem(row));
    Tap(SDL_SCANCODE_RETURN);
    EXPECT_EQ(gPrefs.bindings[kNeedFire].key[0], SDL_SCANCODE_SPACE);
    EXPECT_EQ(CurrentMenuId(), MenuCode("keyb"));
}

TEST(MenuBindingNames, KeysPadInputsAndMouseInputsReadAsThePlayerKnowsThem)
{
    char text[64];
    GetKeyBindingName(45, text, sizeof(text));
    EXPECT_STREQ(text, "Dash");
    GetKeyBindingName(SDL_SCANCODE_A, text, sizeof(text));
    EXPECT_STREQ(text, "A");
    GetPadBindingName(7, 1, text, sizeof(text));
    EXPECT_STREQ(text, "???") << "a binding type outside 0-3";
    GetPadBindingName(kPadBindingButton, SDL_CONTROLLER_BUTTON_GUIDE, text, sizeof(text));
    EXPECT_STREQ(text, "guide");
    GetMouseBindingName(6, text, sizeof(text));
    EXPECT_NE(std::string(text).find(" 6"), std::string::npos);
}

TEST_F(BindingMenuTest, CapturedPadButtonWaitsForConfirmToBeLetGoAndLeavesTheOtherNeeds)
{
    SDL_VirtualJoystickDesc desc = {};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Menu Pad";
    int device = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(device, 0) << SDL_GetError();
    PollInput();
    ASSERT_EQ(CountOpenControllers(), 1);
    SDL_Joystick* pad = SDL_GameControllerGetJoystick(GetController(0));
    ASSERT_EQ(gPrefs.bindings[kNeedDropEgg].pad[0].id, SDL_CONTROLLER_BUTTON_Y);

    OpenPage(MenuCode("gpad"));
    SelectNeedRow(kNeedFire, kMIGamepadBind);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1); // confirm, on the pad
    Frame();
    ASSERT_EQ(GetMenuState(), kMenuState_AwaitingGamepad);
    Frames(3);
    EXPECT_EQ(GetMenuState(), kMenuState_AwaitingGamepad) << "the confirm button itself must not be taken";
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 0);
    Frame();
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_Y, 1);
    Frame();
    EXPECT_EQ(GetMenuState(), kMenuState_Ready);
    EXPECT_EQ(gPrefs.bindings[kNeedFire].pad[0].type, kPadBindingButton);
    EXPECT_EQ(gPrefs.bindings[kNeedFire].pad[0].id, SDL_CONTROLLER_BUTTON_Y);
    EXPECT_EQ(gPrefs.bindings[kNeedDropEgg].pad[0].type, kPadBindingNone);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_Y, 0);
    Frame();

    DisposeMenuNavigation();
    SDL_GameControllerClose(gControllers[0].controllerInstance);
    std::memset(&gControllers[0], 0, sizeof(ControllerSlot));
    gControllers[0].joystickId = -1;
    SDL_JoystickDetachVirtual(device);
}
