// Checks Data/System/strings.csv and twitch.csv with the game's own CSV reader: exactly the 183 string
// lines of seven languages, a visible text for every ID in every language, no text taller than a text
// mesh allows, timing lines in every story subtitle; every twitch preset the game can name defined.
// The characters of the strings are checked against the fonts with the sprites.
#include "DataForge/Check.h"

#include "Interface/CSVIterator.h"
#include "Interface/LocalizedStrings.h"
#include "Interface/StringIDs.h"
#include "Interface/Twitch.h"
#include "System/Alerts.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr int kMaxTextMeshLines = 16;

void SilentPresenter(const char*, bool) {}

struct ScopedThrowingAlerts
{
    ScopedThrowingAlerts() { SetAlertPresenter(SilentPresenter); }
    ~ScopedThrowingAlerts() { SetAlertPresenter(nullptr); }
};

std::vector<char> ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> text(std::istreambuf_iterator<char>(in), {});
    text.push_back('\0');
    return text;
}

// The lines of a CSV text as lists of fields.
std::vector<std::vector<std::string>> ReadCsvLines(std::vector<char>& text)
{
    std::vector<std::vector<std::string>> lines(1);
    for (char* cursor = text.data(); cursor;) {
        bool endOfLine = false;
        char* field = CSVIterator(&cursor, &endOfLine);
        if (!field)
            break;
        lines.back().push_back(field);
        if (endOfLine)
            lines.emplace_back();
    }
    if (lines.back().empty())
        lines.pop_back();
    return lines;
}

void CheckStringLine(const std::vector<std::string>& fields, int id, DataCheckReport* report)
{
    const std::string file = "System/strings.csv";
    const std::string where = "string " + std::to_string(id);
    if (fields.size() != NUM_LANGUAGES)
        report->Add(file, where + " has " + std::to_string(fields.size()) + " columns instead of 7");
    if (fields.empty() || fields[0].empty())
        report->Add(file, where + " has no English text, which the other languages fall back to");
    for (const std::string& text : fields) {
        if (std::count(text.begin(), text.end(), '\n') >= kMaxTextMeshLines)
            report->Add(file, where + " has more than 16 lines");
        bool isStory = id >= STR_STORY_1 && id <= STR_STORY_7;
        if (isStory && !text.empty() && text[0] != '#')
            report->Add(file, where + " is a subtitle and must start with a \"#<milliseconds>\" line");
    }
}

void CheckStrings(const std::filesystem::path& dataFolder, DataCheckReport* report)
{
    std::filesystem::path path = dataFolder / "System" / "strings.csv";
    if (!std::filesystem::is_regular_file(path)) {
        report->Add("System/strings.csv", "the string table must exist");
        return;
    }
    std::vector<char> text = ReadText(path);
    std::vector<std::vector<std::string>> lines = ReadCsvLines(text);
    int id = 0;
    for (const std::vector<std::string>& fields : lines) {
        bool anyText =
            std::any_of(fields.begin(), fields.end(), [](const std::string& f) { return !f.empty(); });
        if (!anyText)
            continue;
        id++;
        CheckStringLine(fields, id, report);
    }
    if (id != MAX_LOCALIZED_STRINGS - 1)
        report->Add("System/strings.csv", "holds " + std::to_string(id) +
                                              " strings; the game's IDs need exactly 183 lines of text");
}

void CheckTwitchPresets(const std::filesystem::path& dataFolder, DataCheckReport* report)
{
    std::filesystem::path path = dataFolder / "System" / "twitch.csv";
    if (!std::filesystem::is_regular_file(path)) {
        report->Add("System/twitch.csv", "the twitch presets must exist");
        return;
    }
    std::vector<char> text = ReadText(path);
    ParseTwitchPresets(text.data(), "twitch.csv");
    for (int preset = 1; preset < NUM_TWITCH_PRESETS; preset++) {
        if (GetTwitchPreset(preset)->effectClass == 0)
            report->Add("System/twitch.csv", "preset " + std::to_string(preset) + " is not defined");
    }
}

} // namespace

void CheckInterfaceTables(const std::filesystem::path& dataFolder, DataCheckReport* report)
{
    ScopedThrowingAlerts throwing;
    try {
        CheckStrings(dataFolder, report);
    } catch (const FatalAlertError& error) {
        report->Add("System/strings.csv", error.what());
    }
    try {
        CheckTwitchPresets(dataFolder, report);
    } catch (const FatalAlertError& error) {
        report->Add("System/twitch.csv", error.what());
    }
}
