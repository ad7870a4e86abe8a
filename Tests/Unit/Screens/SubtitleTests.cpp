// How a subtitle string becomes timed lines: each "#<milliseconds>" line starts a group that follows
// the previous one, the lines of a group stack from the top, and text without timing vanishes.

#include "Screens/ScreensLocal.h"

#include <gtest/gtest.h>

#include <string>

TEST(SubtitleTiming, EachGroupStartsWhenThePreviousOneEndsAndRestacksFromTheTop)
{
    SubtitleLine lines[MAX_SUBTITLE_LINES];
    int count = ParseSubtitle("#4000\nFirst\nSecond\n#3500\nThird\n#250\nFourth", lines, MAX_SUBTITLE_LINES);
    ASSERT_EQ(count, 4);
    EXPECT_STREQ(lines[0].text, "First");
    EXPECT_EQ(lines[0].linePosition, 0);
    EXPECT_EQ(lines[1].linePosition, 1);
    EXPECT_FLOAT_EQ(lines[1].startDelay, 0);
    EXPECT_FLOAT_EQ(lines[1].displayTime, 4);
    EXPECT_EQ(lines[2].linePosition, 0) << "a new group starts at the top again";
    EXPECT_FLOAT_EQ(lines[2].startDelay, 4);
    EXPECT_FLOAT_EQ(lines[2].displayTime, 3.5f);
    EXPECT_FLOAT_EQ(lines[3].startDelay, 7.5f) << "delays add up over every earlier group";
    EXPECT_FLOAT_EQ(lines[3].displayTime, 0.25f);
}

TEST(SubtitleTiming, TextWithoutATimingLineHasNoTimeToShow)
{
    SubtitleLine lines[MAX_SUBTITLE_LINES];
    ASSERT_EQ(ParseSubtitle("Nobody told me how long", lines, MAX_SUBTITLE_LINES), 1);
    EXPECT_FLOAT_EQ(lines[0].startDelay, 0);
    EXPECT_FLOAT_EQ(lines[0].displayTime, 0);
}

TEST(SubtitleTiming, EmptyLinesLeaveGapsAndWindowsLineEndsAreNotText)
{
    SubtitleLine lines[MAX_SUBTITLE_LINES];
    ASSERT_EQ(ParseSubtitle("#1000\r\nTop\r\n\r\nBelow a gap\r\n", lines, MAX_SUBTITLE_LINES), 2);
    EXPECT_STREQ(lines[0].text, "Top");
    EXPECT_FLOAT_EQ(lines[0].displayTime, 1) << "the timing line is read despite its carriage return";
    EXPECT_EQ(lines[1].linePosition, 2);
    EXPECT_STREQ(lines[1].text, "Below a gap");
}

TEST(SubtitleTiming, HashLinesThatAreNotTimingStayTextAndLimitsHold)
{
    SubtitleLine lines[2];
    std::string longLine(400, 'x');
    int count = ParseSubtitle(("#12a\n#\n" + longLine + "\nfourth").c_str(), lines, 2);
    ASSERT_EQ(count, 2) << "never more lines than there is room for";
    EXPECT_STREQ(lines[0].text, "#12a");
    EXPECT_STREQ(lines[1].text, "#");
    SubtitleLine one;
    ASSERT_EQ(ParseSubtitle(longLine.c_str(), &one, 1), 1);
    EXPECT_EQ(std::string(one.text).size(), size_t(MAX_SUBTITLE_LINE_LENGTH - 1))
        << "a long line is cut, not overrun";
    EXPECT_EQ(ParseSubtitle("", lines, 2), 0);
}
