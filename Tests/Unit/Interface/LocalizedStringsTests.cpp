#include "Interface/LocalizedStrings.h"
#include "Support/DataFolderFixture.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

class LocalizedStrings : public DataFolderTest
{
protected:
    void TearDown() override
    {
        DisposeLocalizedStrings();
        DataFolderTest::TearDown();
    }
};

TEST_F(LocalizedStrings, EmptyColumnFallsBackToFirstTextOfTheLine)
{
    WriteSystemFile("strings.csv", "Hello,Bonjour,,Hola\n,,,,,,Alleen\n");
    LoadLocalizedStrings(kLanguageGerman);
    EXPECT_STREQ(GetLocalizedString(1), "Hello");
    EXPECT_STREQ(GetLocalizedString(2), "Alleen");
    LoadLocalizedStrings(kLanguageFrench);
    EXPECT_STREQ(GetLocalizedString(1), "Bonjour");
    LoadLocalizedStrings(kLanguageDutch);
    EXPECT_STREQ(GetLocalizedString(2), "Alleen");
}

TEST_F(LocalizedStrings, LineOfEmptyFieldsTakesNoID)
{
    WriteSystemFile("strings.csv", "one\n,,,,,,\n\ntwo\n\"\",\"\"\nthree");
    LoadLocalizedStrings(kLanguageEnglish);
    EXPECT_STREQ(GetLocalizedString(1), "one");
    EXPECT_STREQ(GetLocalizedString(2), "two");
    EXPECT_STREQ(GetLocalizedString(3), "three");
    EXPECT_STREQ(GetLocalizedString(4), "") << "an ID the file does not reach is empty";
}

TEST_F(LocalizedStrings, IDZeroAndIDsOutsideTheTable)
{
    WriteSystemFile("strings.csv", "one\n");
    LoadLocalizedStrings(kLanguageEnglish);
    EXPECT_STREQ(GetLocalizedString(0), "???");
    EXPECT_STREQ(GetLocalizedString(183), "");
    EXPECT_STREQ(GetLocalizedString(184), "ILLEGAL STRING ID");
    EXPECT_STREQ(GetLocalizedString(-1), "ILLEGAL STRING ID");
}

TEST_F(LocalizedStrings, MissingFileLeavesEveryLookupNotLoaded)
{
    LoadLocalizedStrings(kLanguageEnglish);
    EXPECT_STREQ(GetLocalizedString(0), "STRINGS NOT LOADED");
    EXPECT_STREQ(GetLocalizedString(5), "STRINGS NOT LOADED");
    EXPECT_STREQ(GetLocalizedString(500), "STRINGS NOT LOADED");
}

TEST_F(LocalizedStrings, LinesBeyondTheLastIDAreNotStoredPastTheTable)
{
    std::string text;
    for (int line = 1; line <= 300; line++)
        text += "line " + std::to_string(line) + "\n";
    WriteSystemFile("strings.csv", text);
    LoadLocalizedStrings(kLanguageEnglish);
    EXPECT_STREQ(GetLocalizedString(183), "line 183");
    EXPECT_STREQ(GetLocalizedString(184), "ILLEGAL STRING ID");
}

TEST_F(LocalizedStrings, ColumnsBeyondTheLanguagesAreIgnored)
{
    WriteSystemFile("strings.csv", "en,fr,de,es,it,sv,nl,extra,more\nnext\n");
    LoadLocalizedStrings(kLanguageDutch);
    EXPECT_STREQ(GetLocalizedString(1), "nl");
    EXPECT_STREQ(GetLocalizedString(2), "next");
}

TEST_F(LocalizedStrings, BadLanguageOrMalformedFileIsFatal)
{
    WriteSystemFile("strings.csv", "one\n");
    EXPECT_NE(FatalAlertMessageOf([] { LoadLocalizedStrings(NUM_LANGUAGES); }).find("LoadLocalizedStrings:"),
              std::string::npos);
    EXPECT_NE(FatalAlertMessageOf([] { LoadLocalizedStrings(-1); }).find("languageID >= 0"),
              std::string::npos);
    WriteSystemFile("strings.csv", "fine\n\"quoted\"oops\n");
    EXPECT_EQ(FatalAlertMessageOf([] { LoadLocalizedStrings(kLanguageEnglish); }),
              "unexpected token in CSV file");
}

TEST_F(LocalizedStrings, FormatReplacesTheHashWhenThePrefixFits)
{
    WriteSystemFile("strings.csv", "Level # complete\nNo mark\nÄrger # wird\n");
    LoadLocalizedStrings(kLanguageEnglish);
    char out[64];
    EXPECT_EQ(FormatLocalizedString(1, out, sizeof(out), "%d of %d", 2, 3), 21);
    EXPECT_STREQ(out, "Level 2 of 3 complete");
    EXPECT_EQ(FormatLocalizedString(2, out, sizeof(out), "%d", 9), 7);
    EXPECT_STREQ(out, "No mark");

    // The prefix "Level " needs 7 bytes: with 7 there is no room, so the whole string is cut to fit.
    char small[7];
    EXPECT_EQ(FormatLocalizedString(1, small, sizeof(small), "%d", 1), 6);
    EXPECT_STREQ(small, "Level ");
    // The formatted part and the suffix are cut, never written past the capacity.
    char tight[10];
    std::memset(tight, 'Z', sizeof(tight));
    EXPECT_EQ(FormatLocalizedString(1, tight, sizeof(tight), "%s", "12345678"), 9);
    EXPECT_STREQ(tight, "Level 123");
    // A cut never leaves half a character.
    char twoByte[2];
    EXPECT_EQ(FormatLocalizedString(3, twoByte, sizeof(twoByte), "%d", 1), 0);
    EXPECT_STREQ(twoByte, "");
    EXPECT_EQ(FormatLocalizedString(3, out, 0, "%d", 1), 0);
}

TEST_F(LocalizedStrings, FormattingBeforeLoadingGivesTheNotLoadedText)
{
    char out[32];
    FormatLocalizedString(1, out, sizeof(out), "%d", 1);
    EXPECT_STREQ(out, "STRINGS NOT LOADED");
}

// The system's preferred locales come from SDL, which takes them from this hint when it is set.
class SystemLanguage : public ::testing::Test
{
protected:
    void TearDown() override { SDL_ResetHint(SDL_HINT_PREFERRED_LOCALES); }
    void Prefer(const char* locales) { SDL_SetHint(SDL_HINT_PREFERRED_LOCALES, locales); }
};

TEST_F(SystemLanguage, FirstLocaleOfAGameLanguageWins)
{
    Prefer("de_CH,fr_FR");
    EXPECT_EQ(DetectSystemLanguage(), kLanguageGerman);
    Prefer("pt_BR,ja,sv_SE,nl");
    EXPECT_EQ(DetectSystemLanguage(), kLanguageSwedish);
    Prefer("nl_BE");
    EXPECT_EQ(DetectSystemLanguage(), kLanguageDutch);
    Prefer("es_MX,en_US");
    EXPECT_EQ(DetectSystemLanguage(), kLanguageSpanish);
    Prefer("it");
    EXPECT_EQ(DetectSystemLanguage(), kLanguageItalian);
    Prefer("fr_CA");
    EXPECT_EQ(DetectSystemLanguage(), kLanguageFrench);
}

TEST_F(SystemLanguage, NoGameLanguageGivesEnglish)
{
    Prefer("ja_JP,zh_CN");
    EXPECT_EQ(DetectSystemLanguage(), kLanguageEnglish);
}

TEST_F(SystemLanguage, OnlyTheFirstLocaleDecidesWhetherTheSystemIsEnglish)
{
    Prefer("en_GB,fr_FR");
    EXPECT_TRUE(IsSystemLocaleEnglish());
    Prefer("fr_FR,en_US");
    EXPECT_FALSE(IsSystemLocaleEnglish());
    Prefer("ja_JP");
    EXPECT_FALSE(IsSystemLocaleEnglish()) << "a language the game does not speak still turns subtitles on";
}
