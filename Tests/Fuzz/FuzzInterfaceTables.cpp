// Feeds arbitrary bytes to the CSV reader and the two loaders built on it: the text (up to its first
// NUL, as the game reads its files) is walked field by field, loaded as a string table in the language
// the first byte picks, and read as twitch presets. Whatever is accepted must leave every string ID
// pointing into the loaded text or at a constant, and every preset's class and easing in their lists;
// anything else must end in a fatal alert, never a crash, an overrun or a leak.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Interface/CSVIterator.h"
#include "Interface/LocalizedStrings.h"
#include "Interface/Twitch.h"
#include "System/Alerts.h"
#include "System/Memory.h"

static void IgnoreAlert(const char*, bool) {}

// A copy of the text in a game memory block, NUL-terminated.
static char* CopyText(const std::string& text)
{
    char* block = (char*)AllocPtrClear(int32_t(text.size() + 1));
    std::memcpy(block, text.data(), text.size());
    return block;
}

static void WalkFields(const std::string& text)
{
    char* block = CopyText(text);
    try {
        char* cursor = block;
        while (cursor) {
            bool endOfLine = false;
            char* field = CSVIterator(&cursor, &endOfLine);
            if (field && (field < block || field + std::strlen(field) > block + text.size()))
                std::abort();
        }
    } catch (const FatalAlertError&) {
    }
    SafeDisposePtr(block);
}

static void LoadStrings(const std::string& text, int language)
{
    try {
        FillStringTableFromText(CopyText(text), language);
        for (int id = -2; id <= MAX_LOCALIZED_STRINGS + 1; id++) {
            if (!GetLocalizedString(id))
                std::abort();
            (void)std::strlen(GetLocalizedString(id)); // every entry must be a readable string
        }
    } catch (const FatalAlertError&) {
    }
    DisposeLocalizedStrings();
}

static void LoadTwitchPresets(const std::string& text)
{
    char* block = CopyText(text);
    try {
        ParseTwitchPresets(block, "fuzz.csv");
        for (int preset = 0; preset < NUM_TWITCH_PRESETS; preset++) {
            const Twitch* row = GetTwitchPreset(preset);
            bool classKnown = row->effectClass == 0 || (row->effectClass >= kTwitchClass_Heartbeat &&
                                                        row->effectClass <= kTwitchClass_MultAlphaFadeOut);
            bool easingKnown =
                row->effectClass == 0 ||
                (row->easing == 0 || (row->easing >= kEaseLinear && row->easing <= kEaseBounce0To0));
            if (!classKnown || !easingKnown || row->duration < 0)
                std::abort();
        }
    } catch (const FatalAlertError&) {
    }
    SafeDisposePtr(block);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    SetAlertPresenter(IgnoreAlert);
    const int language = data[0] % NUM_LANGUAGES;
    std::string text((const char*)data + 1, size - 1);
    text = text.c_str(); // the game's texts end at their first NUL

    WalkFields(text);
    LoadStrings(text, language);
    LoadTwitchPresets(text);
    SetAlertPresenter(nullptr);
    return 0;
}
