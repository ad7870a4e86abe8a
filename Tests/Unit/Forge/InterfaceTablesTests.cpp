#include "DataForge/Content/StringTable.h"
#include "Interface/LocalizedStrings.h"
#include "Interface/StringIDs.h"
#include "Interface/Twitch.h"
#include "Support/AlertCapture.h"
#include "System/Memory.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

char* GameBlock(const std::string& text)
{
    char* block = (char*)AllocPtrClear(int32_t(text.size() + 1));
    std::memcpy(block, text.data(), text.size());
    return block;
}

} // namespace

// Every ID the game can ask for shows a text in every language, and it is the text of the table: a
// line dropped, doubled or split by a stray quote would shift every ID after it.
TEST(GeneratedStrings, EveryIDResolvesToItsOwnTextInEveryLanguage)
{
    ScopedAlertCapture capture;
    const std::string csv = StringsCsvText();
    for (int language = 0; language < NUM_LANGUAGES; language++) {
        FillStringTableFromText(GameBlock(csv), language);
        for (int id = 1; id < NUM_STRING_IDS; id++) {
            SCOPED_TRACE("string " + std::to_string(id) + " in " + GetLanguageCode(language));
            EXPECT_STRNE(GetLocalizedString(id), "");
            EXPECT_EQ(GetLocalizedString(id), LocalizedText(id, language));
        }
        EXPECT_STREQ(GetLocalizedString(STR_BACK), StringTableRows()[STR_BACK - 1].text[language]);
    }
    DisposeLocalizedStrings();
}

TEST(GeneratedStrings, LanguagesAreNamedInTheirOwnLanguageInTheMenuOrder)
{
    const char* const expected[NUM_LANGUAGES] = {"English",  "Français", "Deutsch",   "Español",
                                                 "Italiano", "Svenska",  "Nederlands"};
    for (int language = 0; language < NUM_LANGUAGES; language++)
        EXPECT_EQ(LocalizedText(STR_LANGUAGE_ENGLISH + language, kLanguageFrench), expected[language]);
}

TEST(GeneratedStrings, TranslationsAreTranslatedNotCopied)
{
    // Interface words a player reads on every screen must not stay English.
    for (int id :
         {STR_BACK, STR_PLAY, STR_SETTINGS, STR_QUIT, STR_PRESS_ANY_KEY, STR_REALLY_QUIT, STR_STORY_1}) {
        for (int language = 1; language < NUM_LANGUAGES; language++)
            EXPECT_NE(LocalizedText(id, language), LocalizedText(id, kLanguageEnglish))
                << "string " << id << " in " << GetLanguageCode(language);
    }
}

TEST(GeneratedStrings, StorySubtitlesAreTimedAndNarrationHasNoTimingLines)
{
    for (int slide = 1; slide <= 7; slide++) {
        for (int language = 0; language < NUM_LANGUAGES; language++) {
            std::string text = LocalizedText(STR_STORY_1 + slide - 1, language);
            ASSERT_FALSE(text.empty());
            EXPECT_EQ(text[0], '#') << "slide " << slide << " would vanish at once without a time";
            EXPECT_EQ(text.find("\n\n"), std::string::npos);
        }
        std::string spoken = StoryNarrationText(slide);
        EXPECT_FALSE(spoken.empty());
        EXPECT_EQ(spoken.find('#'), std::string::npos);
        EXPECT_EQ(spoken.find('\n'), std::string::npos);
    }
    EXPECT_EQ(StoryNarrationText(7), "The future of the pterosaurs is in your claws. Fly, Quorvel!");
}

TEST(GeneratedTwitches, EveryPresetIsDefinedAndEnds)
{
    ScopedAlertCapture capture;
    std::string csv = TwitchCsvText();
    ParseTwitchPresets(csv.data(), "twitch.csv");
    for (int preset = 1; preset < NUM_TWITCH_PRESETS; preset++) {
        const Twitch* row = GetTwitchPreset(preset);
        SCOPED_TRACE("preset " + std::to_string(preset));
        EXPECT_GE(row->effectClass, kTwitchClass_Heartbeat);
        EXPECT_GE(row->easing, kEaseLinear);
        EXPECT_GT(row->duration, 0);
        EXPECT_LT(row->duration + row->delay, 5) << "an interface twitch should be over in seconds";
    }
}
