// Play scripts as a test or a bug report writes them: what is accepted, and every refusal naming
// its line.

#include "System/Input.h"
#include "System/ScriptedPlay.h"

#include <gtest/gtest.h>

static std::string Refusal(const std::string& text)
{
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_FALSE(ParsePlayScript(text, &events, &error)) << text;
    return error;
}

TEST(PlayScript, NeedsByNameOrNumberForEitherPlayerHoldFromTheirFrame)
{
    std::vector<ScriptEvent> events;
    std::string error;
    ASSERT_TRUE(ParsePlayScript("# steer right, then climb\n\n0 right 1\n  30 1 Boost 1\n30 0 0.25\n",
                                &events, &error))
        << error;
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].frame, 0);
    EXPECT_EQ(events[0].player, 0);
    EXPECT_EQ(events[0].need, kNeedRight);
    EXPECT_FLOAT_EQ(events[0].value, 1.0f);
    EXPECT_EQ(events[1].player, 1);
    EXPECT_EQ(events[1].need, kNeedBoost);
    EXPECT_EQ(events[2].need, kNeedUp); // need 0 by number, same frame as the line before
    EXPECT_FLOAT_EQ(events[2].value, 0.25f);
}

TEST(PlayScript, EveryRefusalNamesTheLineAndWhatWasWrong)
{
    EXPECT_EQ(Refusal("0 left 1\n5 jump 1\n"), "line 2: unknown need 'jump'");
    EXPECT_EQ(Refusal("0 20 1\n"), "line 1: unknown need '20'");
    EXPECT_EQ(Refusal("10 left 1\n\n5 left 0\n"), "line 3: frame 5 comes after frame 10");
    EXPECT_EQ(Refusal("x left 1\n"), "line 1: bad frame number 'x'");
    EXPECT_EQ(Refusal("-1 left 1\n"), "line 1: bad frame number '-1'");
    EXPECT_EQ(Refusal("99999999999 left 1\n"), "line 1: bad frame number '99999999999'");
    EXPECT_EQ(Refusal("0 left 1.5\n"), "line 1: bad value '1.5' (0 to 1)");
    EXPECT_EQ(Refusal("0 left nan\n"), "line 1: bad value 'nan' (0 to 1)");
    EXPECT_EQ(Refusal("0 left 1x\n"), "line 1: bad value '1x' (0 to 1)");
    EXPECT_EQ(Refusal("0 2 left 1\n"), "line 1: bad player '2' (0 or 1)");
    EXPECT_EQ(Refusal("0 left\n"), "line 1: expected FRAME [PLAYER] NEED VALUE, found 2 fields");
    EXPECT_EQ(Refusal("0 0 left 1 extra\n"), "line 1: expected FRAME [PLAYER] NEED VALUE, found 5 fields");
}

TEST(PlayScript, NeedNamesReadBackAsTheSameNeed)
{
    for (int need = 0; need < NUM_CONTROL_NEEDS; need++)
        EXPECT_EQ(NeedFromName(NeedName(need)), need) << NeedName(need);
}

TEST(PlayScript, LevelsByNameAndTheListOfValidOnes)
{
    EXPECT_EQ(LevelFromName("level1"), 0);
    EXPECT_EQ(LevelFromName("RACE2"), 4);
    EXPECT_EQ(LevelFromName("level10"), -1);
    EXPECT_EQ(ValidLevelNames(), "level1, level2, level3, race1, race2, battle1, battle2, flag1, flag2");
}
