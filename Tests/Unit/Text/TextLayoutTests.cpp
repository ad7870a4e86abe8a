#include "Support/AlertCapture.h"
#include "TextTestFont.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A laid-out text: its metrics and quads.
struct Layout
{
    TextMetrics metrics;
    std::vector<Point3D> points;
    std::vector<float> uvs;
    int quads = 0;

    float Left(int q) const { return points[q * 4].x; }
    float Right(int q) const { return points[q * 4 + 1].x; }
    float Top(int q) const { return points[q * 4 + 2].y; }
    float Bottom(int q) const { return points[q * 4].y; }
};

static Layout LayOut(const Atlas* atlas, const char* text, int flags)
{
    Layout layout;
    Atlas_ComputeMetrics(atlas, text, flags, &layout.metrics);
    layout.points.resize(size_t(layout.metrics.numQuads) * 4);
    layout.uvs.resize(size_t(layout.metrics.numQuads) * 8);
    layout.quads = Atlas_LayoutQuads(atlas, text, flags, &layout.metrics, layout.points.data(),
                                     layout.uvs.data(), layout.metrics.numQuads);
    return layout;
}

constexpr int kTopLeft = TEXT_ALIGN_LEFT | TEXT_ALIGN_TOP;

class TextLayout : public ::testing::Test
{
protected:
    void TearDown() override { Atlas_Free(font); }
    Atlas* font = MakeTestAtlas(ATLAS_FONT);
};

TEST_F(TextLayout, CentredLinesStartHalfTheirWidthLeftAndTheBlockHalfItsHeightUp)
{
    Layout l = LayOut(font, "AB\nC", 0);
    ASSERT_EQ(l.metrics.numLines, 2);
    EXPECT_FLOAT_EQ(l.metrics.lineX[0], -(12 + 10) / 2.0f);
    EXPECT_FLOAT_EQ(l.metrics.lineX[1], -11 / 2.0f);
    EXPECT_FLOAT_EQ(l.metrics.totalHeight, 40);
    EXPECT_FLOAT_EQ(l.metrics.maxWidth, 22);
    EXPECT_FLOAT_EQ(l.metrics.lineY[0], -20);
    EXPECT_FLOAT_EQ(l.metrics.lineY[1], 0);
    ASSERT_EQ(l.quads, 3);
    EXPECT_FLOAT_EQ(l.Left(2), -5.5f) << "C starts line 1";
    EXPECT_FLOAT_EQ(l.Top(2), 0 + 2);
}

TEST_F(TextLayout, AlignmentFlagsPickTheCornerOfTheBlock)
{
    Layout topLeft = LayOut(font, "AB", kTopLeft);
    EXPECT_FLOAT_EQ(topLeft.metrics.lineX[0], 0);
    EXPECT_FLOAT_EQ(topLeft.metrics.lineY[0], 0);
    EXPECT_FLOAT_EQ(topLeft.Left(0), 1) << "A's x offset from the pen";

    Layout bottomRight = LayOut(font, "AB", TEXT_ALIGN_RIGHT | TEXT_ALIGN_BOTTOM);
    EXPECT_FLOAT_EQ(bottomRight.metrics.lineX[0], -22);
    EXPECT_FLOAT_EQ(bottomRight.metrics.lineY[0], -20);
    EXPECT_FLOAT_EQ(bottomRight.Right(1), -22 + 12 + 8) << "B ends its width after A's advance";

    Layout rightLines = LayOut(font, "AB\nC", TEXT_ALIGN_RIGHT | TEXT_ALIGN_TOP);
    EXPECT_FLOAT_EQ(rightLines.metrics.lineX[1], -11) << "each line is aligned on its own width";
}

TEST_F(TextLayout, QuadCornersRunLeftBottomRightBottomRightTopLeftTopWithTheirTexels)
{
    Layout l = LayOut(font, "B", kTopLeft);
    ASSERT_EQ(l.quads, 1);
    const float expectedXY[4][2] = {{0, 18}, {8, 18}, {8, 2}, {0, 2}};
    const float expectedUV[8] = {20 / 256.0f, 16 / 256.0f, 28 / 256.0f, 16 / 256.0f,
                                 28 / 256.0f, 0,           20 / 256.0f, 0};
    for (int i = 0; i < 4; i++) {
        EXPECT_FLOAT_EQ(l.points[i].x, expectedXY[i][0]) << i;
        EXPECT_FLOAT_EQ(l.points[i].y, expectedXY[i][1]) << i;
        EXPECT_FLOAT_EQ(l.points[i].z, 0);
    }
    for (int i = 0; i < 8; i++)
        EXPECT_FLOAT_EQ(l.uvs[i], expectedUV[i]) << i;
}

TEST_F(TextLayout, SixteenLinesFitAndASeventeenthIsFatal)
{
    std::string sixteen = "A";
    for (int i = 1; i < 16; i++)
        sixteen += "\nA";
    EXPECT_EQ(LayOut(font, sixteen.c_str(), 0).metrics.numLines, 16);
    std::string seventeen = sixteen + "\nA";
    std::string message = FatalAlertMessageOf([&] { LayOut(font, seventeen.c_str(), 0); });
    EXPECT_NE(message.find("currentLine < MAX_LINEBREAKS_PER_OBJNODE"), std::string::npos) << message;
}

TEST_F(TextLayout, KerningPairShortensTheAdvanceOnlyBeforeItsPartner)
{
    Atlas_ParseKerning(font, "AV 90", "test.kerning.txt");
    Layout kerned = LayOut(font, "AV", kTopLeft);
    EXPECT_FLOAT_EQ(kerned.Left(1), 12 * 0.9f);
    EXPECT_FLOAT_EQ(kerned.metrics.lineWidth[0], 12 * 0.9f + 12);

    Layout plain = LayOut(font, "AB", kTopLeft);
    EXPECT_FLOAT_EQ(plain.Left(1), 12);
    Layout reversed = LayOut(font, "VA", kTopLeft);
    EXPECT_FLOAT_EQ(reversed.Left(1), 12 + 1);
}

TEST_F(TextLayout, KerningLooksAtTheUpperCasedPartnerWhenTheTextIsUpperCased)
{
    Atlas_ParseKerning(font, "AV 90", "test.kerning.txt");
    EXPECT_FLOAT_EQ(LayOut(font, "Av", kTopLeft | TEXT_UPPERCASE).metrics.lineWidth[0], 12 * 0.9f + 12);
    EXPECT_FLOAT_EQ(LayOut(font, "A\xC3\xA9", kTopLeft).metrics.lineWidth[0], 12) << "no glyph, no partner";
}

TEST_F(TextLayout, DigitsLineUpInColumns)
{
    Layout ones = LayOut(font, "11", kTopLeft);
    Layout fours = LayOut(font, "44", kTopLeft);
    EXPECT_FLOAT_EQ(ones.metrics.lineWidth[0], fours.metrics.lineWidth[0]);
    // Each one sits in the middle of the cell a four fills.
    EXPECT_FLOAT_EQ((ones.Left(1) + ones.Right(1)) / 2, (fours.Left(1) + fours.Right(1)) / 2);
}

TEST_F(TextLayout, SmallCapsDrawSmallLettersAsShrunkenCapitalsOnTheBaseline)
{
    Layout l = LayOut(font, "Ab", kTopLeft | TEXT_SMALLCAPS);
    ASSERT_EQ(l.quads, 2);
    EXPECT_FLOAT_EQ(l.Right(0) - l.Left(0), 10) << "A full size";
    EXPECT_FLOAT_EQ(l.Right(1) - l.Left(1), 8 * 0.8f) << "b drawn as a B at 0.8";
    EXPECT_FLOAT_EQ(l.uvs[8], 20 / 256.0f) << "the B's texels, not the b's";
    EXPECT_FLOAT_EQ(l.Top(1), 20 * 0.16000003f + 2 * 0.8f);
    EXPECT_FLOAT_EQ(l.Top(0), 2);
    EXPECT_FLOAT_EQ(l.metrics.lineWidth[0], 12 + 10 * 0.8f);
}

TEST_F(TextLayout, ShrinkAndFullSizeControlsScaleTheGlyphsBetweenThem)
{
    Layout l = LayOut(font, "A\vA\rA", kTopLeft);
    ASSERT_EQ(l.quads, 3);
    EXPECT_FLOAT_EQ(l.Right(1) - l.Left(1), 8.0f);
    EXPECT_FLOAT_EQ(l.Right(2) - l.Left(2), 10.0f);
    EXPECT_FLOAT_EQ(l.Top(2), 2) << "back on the line after CR";
    EXPECT_FLOAT_EQ(l.metrics.lineWidth[0], 12 + 12 * 0.8f + 12);
}

TEST_F(TextLayout, TabMovesThePenToTheNextMultipleOf128)
{
    EXPECT_FLOAT_EQ(LayOut(font, "\tA", kTopLeft).Left(0), 128 + 1);
    EXPECT_FLOAT_EQ(LayOut(font, "\t\tA", kTopLeft).Left(0), 256 + 1) << "from 128 to 256, not staying";
    EXPECT_FLOAT_EQ(LayOut(font, "A\tB", kTopLeft).Left(1), 128);
    EXPECT_FLOAT_EQ(LayOut(font, "\t\tA", kTopLeft).metrics.lineWidth[0], 256 + 12);
    // The stops are on the pen's position, not the line's start: a centred line starting at -69 puts
    // its tabbed B at 0, the first stop right of its A.
    Layout centred = LayOut(font, "A\tB", 0);
    ASSERT_FLOAT_EQ(centred.metrics.lineX[0], -(128 + 10) / 2.0f);
    EXPECT_FLOAT_EQ(centred.Left(1), 0);
}

TEST_F(TextLayout, CodepointOutsideTheFontIsSkipped)
{
    Layout l = LayOut(font,
                      "A\xE2\x82\xAC\xE4\x80\x80\xF0\x9F\x98\x80"
                      "B",
                      kTopLeft); // euro, U+4000, emoji
    EXPECT_EQ(l.quads, 2);
    EXPECT_FLOAT_EQ(l.metrics.lineWidth[0], 22);
    EXPECT_FLOAT_EQ(l.Left(1), 12);
}

TEST_F(TextLayout, SpaceAdvancesWithoutAQuad)
{
    Layout l = LayOut(font, "A B", kTopLeft);
    EXPECT_EQ(l.quads, 2);
    EXPECT_FLOAT_EQ(l.Left(1), 12 + 5);
}

TEST(TextLayoutCase, UpperCaseAtlasAndFlagFindTheCapitalsOfLatin1AndLatinExtendedA)
{
    Atlas* upper = MakeTestAtlas(ATLAS_FONT | ATLAS_UPPERCASE);
    Layout forced = LayOut(upper, "b\xC3\xA9\xC5\x82", kTopLeft); // b, e acute, l stroke
    ASSERT_EQ(forced.quads, 3);
    EXPECT_FLOAT_EQ(forced.uvs[0], 20 / 256.0f) << "b looked up as B";
    EXPECT_FLOAT_EQ(forced.uvs[8], 140 / 256.0f) << "e acute as E acute";
    EXPECT_FLOAT_EQ(forced.uvs[16], 160 / 256.0f) << "l stroke as L stroke";
    Atlas_Free(upper);

    Atlas* mixed = MakeTestAtlas(ATLAS_FONT);
    EXPECT_FLOAT_EQ(LayOut(mixed, "b", kTopLeft).uvs[0], 80 / 256.0f) << "without forcing, b is b";
    EXPECT_FLOAT_EQ(LayOut(mixed, "b", kTopLeft | TEXT_UPPERCASE).uvs[0], 20 / 256.0f);
    Atlas_Free(mixed);
}

TEST(TextLayoutSheet, SpriteSheetHasNoControlCharactersAndUsesCellHeights)
{
    Atlas* sheet = MakeTestAtlas(0, "2 99\n65 0 0 10 16 0 0 12 30\n10 16 0 4 4 0 0 3 8\n");
    Layout l = LayOut(sheet, "A\nA", kTopLeft);
    EXPECT_EQ(l.metrics.numLines, 1) << "LF is an ordinary glyph";
    EXPECT_EQ(l.quads, 3);
    EXPECT_FLOAT_EQ(l.metrics.totalHeight, 30) << "the tallest cell, not the line height";
    EXPECT_FLOAT_EQ(l.metrics.lineWidth[0], 12 + 3 + 12);
    Atlas_Free(sheet);
}

TEST(TextImmediate, AThousandTwentyFourQuadsAreTooManyForOneDraw)
{
    ScopedTestAtlas font(ATLAS_SLOT_FONT, ATLAS_FONT);
    std::string text(1024, 'A');
    std::string message = FatalAlertMessageOf([&] { Atlas_ImmediateDraw(ATLAS_SLOT_FONT, text.c_str(), 0); });
    EXPECT_NE(message.find("Can't draw this many quads in immediate mode!"), std::string::npos) << message;
    EXPECT_NE(FatalAlertMessageOf([] { Atlas_ImmediateDraw(0, "A", 0); }).find("font"), std::string::npos)
        << "an empty slot";
    EXPECT_NE(FatalAlertMessageOf([] { Atlas_ImmediateDraw(MAX_ATLASES, "A", 0); }).find("MAX_ATLASES"),
              std::string::npos);
}
