#include "3D/Utf8.h"

#include <gtest/gtest.h>

#include <vector>

static std::vector<uint32_t> DecodeAll(const char* text)
{
    std::vector<uint32_t> out;
    for (uint32_t cp; (cp = DecodeUTF8(&text)) != 0;)
        out.push_back(cp);
    return out;
}

TEST(Utf8, DecodesEveryLengthOfSequence)
{
    EXPECT_EQ(DecodeAll("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
              (std::vector<uint32_t>{'A', 233, 0x20AC, 0x1F600}));
}

TEST(Utf8, SequenceCutShortEndsTheTextWithoutReadingPastIt)
{
    // Each buffer ends right after the cut sequence; a decoder that skipped the terminating byte would
    // go on to the guard byte behind it.
    const char twoByte[] = {'A', char(0xC3), 0, 'X'};
    const char threeByte[] = {char(0xE2), char(0x82), 0, 'X'};
    EXPECT_EQ(DecodeAll(twoByte), (std::vector<uint32_t>{'A'}));
    EXPECT_EQ(DecodeAll(threeByte), (std::vector<uint32_t>{}));

    const char* cursor = twoByte + 1;
    EXPECT_EQ(DecodeUTF8(&cursor), 0u);
    EXPECT_EQ(*cursor, 0) << "the cursor stays on the terminating byte";
    EXPECT_EQ(DecodeUTF8(&cursor), 0u);
}

TEST(Utf8, UpperCasesLatin1)
{
    EXPECT_EQ(ToUpperCodepoint('a'), uint32_t('A'));
    EXPECT_EQ(ToUpperCodepoint('z'), uint32_t('Z'));
    EXPECT_EQ(ToUpperCodepoint(233), 201u); // e acute
    EXPECT_EQ(ToUpperCodepoint(254), 222u); // thorn
    EXPECT_EQ(ToUpperCodepoint(255), 376u); // y diaeresis: its capital is outside Latin-1
    EXPECT_EQ(ToUpperCodepoint(247), 247u) << "the division sign has no case";
    EXPECT_EQ(ToUpperCodepoint(223), 223u) << "sharp s has no single capital";
    EXPECT_EQ(ToUpperCodepoint('A'), uint32_t('A'));
    EXPECT_EQ(ToUpperCodepoint('{'), uint32_t('{'));
}

TEST(Utf8, UpperCasesBothParitiesOfLatinExtendedA)
{
    EXPECT_EQ(ToUpperCodepoint(0x101), 0x100u); // a macron
    EXPECT_EQ(ToUpperCodepoint(0x153), 0x152u); // oe ligature
    EXPECT_EQ(ToUpperCodepoint(0x152), 0x152u);
    // Pairs starting on an odd code point: small letters must not become the next pair's capital.
    EXPECT_EQ(ToUpperCodepoint(0x142), 0x141u); // l stroke -> L stroke, not N acute
    EXPECT_EQ(ToUpperCodepoint(0x141), 0x141u);
    EXPECT_EQ(ToUpperCodepoint(0x17E), 0x17Du); // z caron -> Z caron, not long s
    EXPECT_EQ(ToUpperCodepoint(0x17A), 0x179u); // z acute
    EXPECT_EQ(ToUpperCodepoint(0x179), 0x179u);
    EXPECT_EQ(ToUpperCodepoint(0x138), 0x138u) << "kra has no capital";
}
