// The navigation over small tables of its own: moving the highlight, the history behind back, the
// exit with its outcome, and the structural errors that are fatal.

#include "Interface/MenuBuild.h"
#include "MenuTestFixture.h"

#include <vector>

namespace {

uint8_t Dimmed(const MenuItem*)
{
    return kMILayoutFlag_Dimmed;
}

uint8_t Hidden(const MenuItem*)
{
    return kMILayoutFlag_Hidden;
}

int32_t gReceivedOutcome = -2;
int gOutcomeCalls = 0;
void ReceiveOutcome(int32_t outcome)
{
    gReceivedOutcome = outcome;
    gOutcomeCalls++;
}

// 'aaaa': heading, gap, dimmed, first, hidden, second, third; 'bbbb': one, two, back.
std::vector<MenuItem> TwoMenus()
{
    return {
        MenuStart(MenuCode("aaaa")),
        MenuHeading(1),
        MenuGap(),
        WithLayoutFlags(MenuAction(2, 0, 0), Dimmed),
        MenuAction(3, MenuCode("frst"), MenuCode("bbbb")),
        WithLayoutFlags(MenuAction(4, 0, 0), Hidden),
        MenuAction(5, 0, 0),
        MenuAction(6, MenuCode("thrd"), kMenuExit),
        MenuStart(MenuCode("bbbb")),
        MenuAction(7, 0, 0),
        MenuAction(8, 0, 0),
        MenuAction(9, 0, kMenuBack),
        MenuTableEnd(),
    };
}

} // namespace

TEST_F(MenuTest, FirstSelectionSkipsHeadingsGapsAndDimmedRows)
{
    std::vector<MenuItem> table = TwoMenus();
    OpenMenu(table.data(), InteractiveStyle());
    EXPECT_EQ(GetMenuRowItem(GetSelectedMenuRow()), &table[4]);
}

TEST_F(MenuTest, DownFromTheLastRowWrapsToTheFirstSelectableSkippingHiddenAndDimmed)
{
    std::vector<MenuItem> table = TwoMenus();
    OpenMenu(table.data(), InteractiveStyle());
    Tap(SDL_SCANCODE_DOWN);
    EXPECT_EQ(GetMenuRowItem(GetSelectedMenuRow()), &table[6]) << "the hidden row is skipped";
    Tap(SDL_SCANCODE_DOWN);
    EXPECT_EQ(GetMenuRowItem(GetSelectedMenuRow()), &table[7]);
    Tap(SDL_SCANCODE_DOWN);
    EXPECT_EQ(GetMenuRowItem(GetSelectedMenuRow()), &table[4]) << "wraps past heading, gap and dimmed row";
    Tap(SDL_SCANCODE_UP);
    EXPECT_EQ(GetMenuRowItem(GetSelectedMenuRow()), &table[7]) << "up from the first wraps to the last";
    EXPECT_EQ(gLastMenuEffect, kMenuEffect_CursorMove);
}

TEST_F(MenuTest, HiddenRowsTakeNoRoomAndRowsStackDownward)
{
    std::vector<MenuItem> table = TwoMenus();
    OpenMenu(table.data(), InteractiveStyle());
    float pitch = 38;
    EXPECT_FLOAT_EQ(gNav->rows[5].y - gNav->rows[3].y, pitch) << "the hidden row between them took room";
    // The block is centred: heading 0.9, gap 0.5 and four shown actions of 1.
    float total = (0.9f + 0.5f + 4) * pitch;
    EXPECT_NEAR(gNav->rows[0].y, 240 - total / 2 + 0.9f * pitch / 2, 0.01f);
    EXPECT_EQ(GetMenuRowText(4, 0), nullptr) << "a hidden row has no text";
    EXPECT_FLOAT_EQ(GetMenuRowText(2, 0)->Tint.a, 0.5f) << "dimmed rows show at half opacity";
}

TEST_F(MenuTest, BackReturnsToTheMenuAndRowItCameFrom)
{
    std::vector<MenuItem> table = TwoMenus();
    OpenMenu(table.data(), InteractiveStyle());
    Tap(SDL_SCANCODE_RETURN);
    ASSERT_EQ(CurrentMenuId(), MenuCode("bbbb"));
    EXPECT_EQ(GetMenuRowItem(GetSelectedMenuRow()), &table[9]);

    Tap(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(CurrentMenuId(), MenuCode("aaaa"));
    EXPECT_EQ(GetMenuRowItem(GetSelectedMenuRow()), &table[4]);
    EXPECT_EQ(gLastMenuEffect, kMenuEffect_Back);

    // The back item does the same.
    Tap(SDL_SCANCODE_RETURN);
    SelectItem(&table[11]);
    Tap(SDL_SCANCODE_RETURN);
    EXPECT_EQ(CurrentMenuId(), MenuCode("aaaa"));
}

TEST_F(MenuTest, BackAtTheFirstMenuRefusesUnlessTheStyleLetsItExit)
{
    std::vector<MenuItem> table = TwoMenus();
    OpenMenu(table.data(), InteractiveStyle());
    Tap(SDL_SCANCODE_ESCAPE);
    EXPECT_TRUE(IsMenuNavigationActive());
    EXPECT_EQ(gLastMenuEffect, kMenuEffect_Refusal);
    DisposeMenuNavigation();

    MenuStyle style = InteractiveStyle(kMenuFlag_BackExitsAtRoot);
    style.outcomeRoutine = ReceiveOutcome;
    gOutcomeCalls = 0;
    OpenMenu(table.data(), style);
    Tap(SDL_SCANCODE_ESCAPE);
    Frames(10);
    EXPECT_FALSE(IsMenuNavigationActive());
    EXPECT_EQ(gOutcomeCalls, 1);
    EXPECT_EQ(gReceivedOutcome, -1) << "leaving by back chooses nothing";
}

TEST_F(MenuTest, ChoosingAnExitItemHandsItsCodeToTheScreenOnceTheFadeEnds)
{
    std::vector<MenuItem> table = TwoMenus();
    MenuStyle style = InteractiveStyle();
    style.outcomeRoutine = ReceiveOutcome;
    gOutcomeCalls = 0;
    OpenMenu(table.data(), style);
    SelectItem(&table[7]);
    Tap(SDL_SCANCODE_RETURN);
    EXPECT_EQ(GetMenuOutcome(), int32_t(MenuCode("thrd")));
    Frames(10);
    ASSERT_FALSE(IsMenuNavigationActive());
    EXPECT_EQ(gOutcomeCalls, 1);
    EXPECT_EQ(gReceivedOutcome, int32_t(MenuCode("thrd")));
    EXPECT_EQ(GetLastMenuOutcome(), int32_t(MenuCode("thrd")));
    for (ObjNode* node = gObjectListHead; node; node = node->NextInList)
        EXPECT_NE(node->Genre, TEXTMESH_GENRE) << "a row's text outlived the menu";
}

TEST_F(MenuTest, WithoutInteractionOnlyBackOrPauseLeaves)
{
    std::vector<MenuItem> table = TwoMenus();
    MenuStyle style = MakeDefaultMenuStyle();
    style.flags = kMenuFlag_BackExitsAtRoot;
    OpenMenu(table.data(), style);
    Tap(SDL_SCANCODE_DOWN);
    Tap(SDL_SCANCODE_RETURN);
    EXPECT_EQ(CurrentMenuId(), MenuCode("aaaa"));
    EXPECT_EQ(GetMenuRowItem(GetSelectedMenuRow()), &table[4]);
    Tap(SDL_SCANCODE_ESCAPE);
    Frames(10);
    EXPECT_FALSE(IsMenuNavigationActive());
}

TEST_F(MenuTest, ForcedOutcomeOnlyActsWhenTheMenuIsReady)
{
    std::vector<MenuItem> table = TwoMenus();
    MenuStyle style = InteractiveStyle();
    StartMenuNavigation(table.data(), &style);
    ForceMenuOutcome(int32_t(MenuCode("ssav")));
    EXPECT_EQ(GetMenuOutcome(), -1) << "still fading in";
    Frames(20);
    ForceMenuOutcome(int32_t(MenuCode("ssav")));
    Frames(10);
    EXPECT_FALSE(IsMenuNavigationActive());
    EXPECT_EQ(GetLastMenuOutcome(), int32_t(MenuCode("ssav")));
}

TEST_F(MenuTest, IdleTimerCountsUntilAnyInput)
{
    std::vector<MenuItem> table = TwoMenus();
    OpenMenu(table.data(), InteractiveStyle());
    Frames(20);
    EXPECT_GT(MenuIdleSeconds(), 0.9f);
    Tap(SDL_SCANCODE_DOWN);
    EXPECT_LT(MenuIdleSeconds(), 0.1f);
}

TEST_F(MenuTest, MouseHoverSelectsTheRowUnderThePointerAndAClickChoosesIt)
{
    std::vector<MenuItem> table = TwoMenus();
    OpenMenu(table.data(), InteractiveStyle());
    float y = gNav->rows[6].y;
    PushMouseMotion(320, int(y));
    Frame();
    EXPECT_EQ(GetSelectedMenuRow(), 6);
    EXPECT_TRUE(IsMenuMouseActive());
    PushMouseButton(1, true);
    Frame();
    EXPECT_EQ(GetMenuOutcome(), int32_t(MenuCode("thrd")));
}

TEST_F(MenuTest, StructuralErrorsAreFatalWithTheirConditions)
{
    std::vector<MenuItem> table = TwoMenus();
    OpenMenu(table.data(), InteractiveStyle());
    EXPECT_NE(
        FatalAlertMessageOf([&] { StartMenuNavigation(table.data(), &gNav->style); }).find("gNav == NULL"),
        std::string::npos);
    EXPECT_NE(
        FatalAlertMessageOf([] { LayOutMenu(MenuCode("none")); }).find("menuStartSentinel->id == menuID"),
        std::string::npos);

    // Twenty-six rows.
    std::vector<MenuItem> tall = {MenuStart(MenuCode("tall"))};
    for (int i = 0; i < MAX_MENU_ROWS + 1; i++)
        tall.push_back(MenuAction(1, 0, 0));
    tall.push_back(MenuTableEnd());
    RegisterMenu(tall.data());
    EXPECT_NE(
        FatalAlertMessageOf([] { LayOutMenu(MenuCode("tall")); }).find("gNav->numRows <= MAX_MENU_ROWS"),
        std::string::npos);

    // Thirty-three menus.
    std::vector<MenuItem> many;
    for (int i = 0; i < MAX_REGISTERED_MENUS + 1; i++) {
        many.push_back(MenuStart(0x6D000000u + uint32_t(i)));
        many.push_back(MenuAction(1, 0, 0));
    }
    many.push_back(MenuTableEnd());
    EXPECT_NE(FatalAlertMessageOf([&] {
                  RegisterMenu(many.data());
              }).find("gNumMenusRegistered < MAX_REGISTERED_MENUS"),
              std::string::npos);
}

TEST_F(MenuTest, SlidersWithoutValueOrStepOrWithTheirNeutralValueOutsideTheRangeAreFatal)
{
    uint8_t value = 50;
    struct Case
    {
        MenuItem slider;
        const char* condition;
    };
    MenuItem noValue = MenuSlider(1, nullptr, 50, 0, 100, 5);
    MenuItem noStep = MenuSlider(1, &value, 50, 0, 100, 0);
    MenuItem low = MenuSlider(1, &value, 5, 10, 100, 5);
    MenuItem high = MenuSlider(1, &value, 150, 10, 100, 5);
    for (const Case& c : {Case{noValue, "sliderData->valuePtr"}, Case{noStep, "sliderData->increment != 0"},
                          Case{low, "sliderData->equilibrium >= entry->slider.minValue"},
                          Case{high, "sliderData->equilibrium <= entry->slider.maxValue"}}) {
        std::vector<MenuItem> table = {MenuStart(MenuCode("slid")), c.slider, MenuTableEnd()};
        MenuStyle style = InteractiveStyle();
        std::string message = FatalAlertMessageOf([&] { StartMenuNavigation(table.data(), &style); });
        EXPECT_NE(message.find(c.condition), std::string::npos) << message;
        DisposeMenuNavigation();
        DisposeAllObjects();
    }
}
