#include "DataForge/Writers/FontMetricsWriter.h"
#include "Support/AlertCapture.h"
#include "TextTestFont.h"

#include <gtest/gtest.h>

#include <string>

// The fatal message parsing gives, or ""; the atlas is freed either way.
static std::string MetricsFault(const char* metrics)
{
    Atlas* atlas = Atlas_NewRecord(":sprites:fonts:test", ATLAS_FONT);
    atlas->textureWidth = atlas->textureHeight = 256;
    std::string message = FatalAlertMessageOf([&] { Atlas_ParseMetrics(atlas, metrics, "test.txt"); });
    Atlas_Free(atlas);
    return message;
}

static std::string KerningFault(const std::string& kerning)
{
    Atlas* atlas = MakeTestAtlas(ATLAS_FONT);
    std::string message =
        FatalAlertMessageOf([&] { Atlas_ParseKerning(atlas, kerning.c_str(), "test.kerning.txt"); });
    Atlas_Free(atlas);
    return message;
}

TEST(AtlasMetrics, GlyphRectangleBecomesTextureCoordinates)
{
    Atlas* atlas = MakeTestAtlas(ATLAS_FONT);
    const GlyphRecord* b = Atlas_GetGlyph(atlas, 'B');
    ASSERT_NE(b, nullptr);
    EXPECT_FLOAT_EQ(b->uLeft, 20 / 256.0f);
    EXPECT_FLOAT_EQ(b->uRight, 28 / 256.0f);
    EXPECT_FLOAT_EQ(b->vTop, 0);
    EXPECT_FLOAT_EQ(b->vBottom, 16 / 256.0f);
    EXPECT_FLOAT_EQ(atlas->lineHeight, 20);
    Atlas_Free(atlas);
}

TEST(AtlasMetrics, EveryLineEndingIsALineEnd)
{
    for (const char* metrics : {"2 10\n65 0 0 4 4 0 0 5 10\n66 4 0 4 4 0 0 6 10\n",
                                "2 10\r65 0 0 4 4 0 0 5 10\r66 4 0 4 4 0 0 6 10\r",
                                "2 10\r\n65 0 0 4 4 0 0 5 10\r\n66 4 0 4 4 0 0 6 10"}) {
        Atlas* atlas = MakeTestAtlas(0, metrics);
        ASSERT_NE(Atlas_GetGlyph(atlas, 'B'), nullptr) << metrics;
        EXPECT_FLOAT_EQ(Atlas_GetGlyph(atlas, 'B')->advance, 6) << metrics;
        Atlas_Free(atlas);
    }
}

TEST(AtlasMetrics, FontDigitsShareTheAdvanceOfFourAndCentreInItsWidth)
{
    Atlas* atlas = MakeTestAtlas(ATLAS_FONT);
    const GlyphRecord* one = Atlas_GetGlyph(atlas, '1');
    const GlyphRecord* four = Atlas_GetGlyph(atlas, '4');
    EXPECT_FLOAT_EQ(one->advance, four->advance);
    EXPECT_FLOAT_EQ(one->xOffset, (10 - 4) / 2.0f);
    EXPECT_FLOAT_EQ(four->xOffset, 0);
    Atlas_Free(atlas);

    Atlas* sheet = MakeTestAtlas(0); // a sprite sheet keeps its own digit metrics
    EXPECT_FLOAT_EQ(Atlas_GetGlyph(sheet, '1')->advance, 7);
    Atlas_Free(sheet);
}

TEST(AtlasMetrics, CodepointBeyondTheFontIsSkippedWithAWarning)
{
    testing::internal::CaptureStdout();
    Atlas* atlas = MakeTestAtlas(ATLAS_FONT); // its last line is code point 0x4000
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("WARNING: codepoint 0x4000 exceeds supported maximum (0x3fff)"), std::string::npos);
    EXPECT_EQ(Atlas_GetGlyph(atlas, 0x4000), nullptr);
    Atlas_Free(atlas);

    testing::internal::CaptureStdout();
    Atlas* sheet = MakeTestAtlas(0, "1 10\n256 0 0 4 4 0 0 5 10\n");
    output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("(0xff)"), std::string::npos) << "a sprite sheet holds one page";
    Atlas_Free(sheet);
}

TEST(AtlasMetrics, MalformedLinesAreFatalAndNameTheFile)
{
    struct Case
    {
        const char* metrics;
        const char* condition;
    };
    const Case cases[] = {
        {"", "nArgs == 2"},
        {"garbage\n", "nArgs == 2"},
        {"2 10\n65 0 0 4 4 0 0 5 10\n", "nArgs == 9"}, // fewer glyph lines than counted
        {"1 10\n65 0 0 4 4 0 0 5\n66 0 0 4 4 0 0 5 10\n",
         "nArgs == 9"}, // the number on the next line is not its
        {"1 10\n65 0 0 4 4 0 0 5 nan\n", "nArgs == 9"},
        {"1 10\n65 0 0 4 4 0 0 5 10", nullptr}, // the last line needs no line end
    };
    for (const Case& c : cases) {
        std::string message = MetricsFault(c.metrics);
        if (!c.condition) {
            EXPECT_EQ(message, "") << c.metrics;
            continue;
        }
        EXPECT_NE(message.find(c.condition), std::string::npos) << c.metrics << " -> " << message;
        EXPECT_NE(message.find("test.txt"), std::string::npos) << message;
    }
}

TEST(AtlasMetrics, GlyphOutsideItsSheetIsFatal)
{
    for (const char* metrics : {"1 10\n65 250 0 10 4 0 0 5 10\n", "1 10\n65 0 250 4 10 0 0 5 10\n",
                                "1 10\n65 -1 0 4 4 0 0 5 10\n", "1 10\n65 0 0 4 -4 0 0 5 10\n"}) {
        std::string message = MetricsFault(metrics);
        EXPECT_NE(message.find("outside the 256 x 256 sheet"), std::string::npos)
            << metrics << " -> " << message;
        EXPECT_NE(message.find("test.txt"), std::string::npos);
    }
    // A glyph that draws nothing has no rectangle to check.
    EXPECT_EQ(MetricsFault("1 10\n32 900 900 0 0 0 0 5 10\n"), "");
}

TEST(AtlasKerning, PairScalesTheAdvanceOfItsFirstGlyph)
{
    Atlas* atlas = MakeTestAtlas(ATLAS_FONT);
    Atlas_ParseKerning(atlas, "AV 90\tAB -5\r\nVA 80", "test.kerning.txt");
    const GlyphRecord* a = Atlas_GetGlyph(atlas, 'A');
    ASSERT_EQ(a->kernCount, 2);
    EXPECT_EQ(atlas->kernPartner[a->kernStart], 'V');
    EXPECT_EQ(atlas->kernPercent[a->kernStart], 90);
    EXPECT_EQ(atlas->kernPercent[a->kernStart + 1], -5);
    EXPECT_EQ(Atlas_GetGlyph(atlas, 'V')->kernStart, 2);
    Atlas_Free(atlas);
}

TEST(AtlasKerning, PairOfAMissingGlyphIsIgnored)
{
    Atlas* atlas = MakeTestAtlas(ATLAS_FONT);
    // Z is not in the font, and neither is the page of U+3000.
    Atlas_ParseKerning(atlas,
                       "ZA 50 \xE3\x80\x80"
                       "A 50 AV 90",
                       "test.kerning.txt");
    EXPECT_EQ(atlas->numKernPairs, 1);
    EXPECT_EQ(Atlas_GetGlyph(atlas, 'A')->kernStart, 0);
    Atlas_Free(atlas);
}

TEST(AtlasKerning, BadFilesGiveTheirMessages)
{
    struct Case
    {
        std::string kerning;
        const char* condition;
    };
    std::string tooMany;
    for (int i = 0; i < 257; i++)
        tooMany += i < 200 ? "AV 90\n" : "BV 90\n";
    const Case cases[] = {
        {"AV 90 BV 90 AB 90", "kern pair blocks aren't contiguous!"},
        {tooMany, "kernTableOffset <= MAX_KERNPAIRS"},
        {"AV", "*data"},
        {"AV   \n", "*data"},
        {"AV x", "scannedTokens == 1"},
        {"A\xC3", "codepoint2"},
        {"\xE2\x82", "codepoint1"},
    };
    for (const Case& c : cases) {
        std::string message = KerningFault(c.kerning);
        EXPECT_NE(message.find(c.condition), std::string::npos)
            << c.kerning.substr(0, 20) << " -> " << message;
        EXPECT_NE(message.find("test.kerning.txt"), std::string::npos) << message;
    }
}

TEST(AtlasKerning, AllTwoHundredFiftySixPairsFit)
{
    std::string full;
    for (int i = 0; i < 256; i++)
        full += "AV 90\n";
    EXPECT_EQ(KerningFault(full), "");
    Atlas* atlas = MakeTestAtlas(ATLAS_FONT);
    Atlas_ParseKerning(atlas, full.c_str(), "test.kerning.txt");
    EXPECT_EQ(Atlas_GetGlyph(atlas, 'A')->kernCount, 256)
        << "a count that wrapped at 256 would lose the block";
    Atlas_Free(atlas);
}

TEST(FontMetricsWriter, WrittenFilesReadBackThroughTheGameParser)
{
    std::vector<GlyphMetricsLine> glyphs = {{'A', 3, 5, 20, 30, -1.5f, 4.25f, 21.75f, 41},
                                            {' ', 0, 0, 0, 0, 0, 0, 9.5f, 41},
                                            {0x152, 100, 200, 33, 31, 1, 4, 34.0625f, 41}};
    std::string metrics = FormatFontMetrics(41, glyphs);
    std::string kerning = FormatFontKerning({{'A', 'V', 88}, {'A', 0x152, -7}, {0x152, 'A', 101}});

    Atlas* atlas = MakeTestAtlas(ATLAS_FONT, metrics.c_str());
    Atlas_ParseKerning(atlas, kerning.c_str(), "round.kerning.txt");
    EXPECT_FLOAT_EQ(atlas->lineHeight, 41);
    const GlyphRecord* oe = Atlas_GetGlyph(atlas, 0x152);
    ASSERT_NE(oe, nullptr);
    EXPECT_FLOAT_EQ(oe->advance, 34.0625f);
    EXPECT_FLOAT_EQ(oe->uLeft, 100 / 256.0f);
    EXPECT_FLOAT_EQ(oe->vBottom, 231 / 256.0f);
    EXPECT_FLOAT_EQ(Atlas_GetGlyph(atlas, 'A')->xOffset, -1.5f);
    EXPECT_FLOAT_EQ(Atlas_GetGlyph(atlas, ' ')->advance, 9.5f);
    const GlyphRecord* a = Atlas_GetGlyph(atlas, 'A');
    ASSERT_EQ(a->kernCount, 2);
    EXPECT_EQ(atlas->kernPartner[a->kernStart + 1], 0x152);
    EXPECT_EQ(atlas->kernPercent[a->kernStart + 1], -7);
    EXPECT_EQ(atlas->kernPercent[oe->kernStart], 101);
    Atlas_Free(atlas);
}

TEST(FontMetricsWriter, RefusesKerningTheGameWouldReject)
{
    EXPECT_THROW(FormatFontKerning({{'A', 'V', 90}, {'B', 'V', 90}, {'A', 'B', 90}}), std::invalid_argument);
    EXPECT_THROW(FormatFontKerning(std::vector<KerningPairLine>(257, {'A', 'V', 90})), std::invalid_argument);
    EXPECT_THROW(FormatFontKerning({{'A', ' ', 90}}), std::invalid_argument);
    EXPECT_THROW(FormatFontKerning({{'A', 'V', 200}}), std::invalid_argument);
}
