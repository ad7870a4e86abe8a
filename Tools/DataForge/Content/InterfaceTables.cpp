// InterfaceTables.cpp: writes Data/System/strings.csv from the string table and Data/System/twitch.csv
// from the presets below. Fields holding a comma or a line feed are quoted; no text may hold a '"',
// which the game's CSV reader cannot escape.
#include "DataForge/Content/StringTable.h"
#include "DataForge/Forge.h"

#include "Interface/StringIDs.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

// One preset: class, axes, easing, duration (s), amplitude, frequency and phase (half turns), delay (s).
struct TwitchPresetRow
{
    const char* name;
    const char* effectClass;
    const char* axes;
    const char* easing;
    float duration, amplitude, frequency, phase, delay;
};

// The menus set a selected row to 1.1 times its size and grow it from its old size (0.9 of the new);
// positions are in the 640 x 480 overlay and scaled by the node's own scale (about 0.45 for menu text).
const TwitchPresetRow kTwitchPresets[] = {
    {"MenuSelect", "Heartbeat", "XY", "OutBack", 0.22f, 0.9f, 0, 0, 0},
    {"MenuDeselect", "Heartbeat", "XY", "OutQuad", 0.18f, 1.1f, 0, 0, 0},
    {"MenuWiggle", "Wiggle", "X", "OutQuad", 0.4f, 14, 6, 0, 0},
    {"MenuFadeIn", "AlphaFadeIn", "XY", "OutQuad", 0.3f, 1, 0, 0, 0},
    {"MenuFadeOut", "AlphaFadeOut", "XY", "InQuad", 0.2f, 1, 0, 0, 0},
    {"MenuSweep", "Displace", "X", "OutCubic", 0.35f, -90, 0, 0, 0},
    {"MenuDarkenPaneResize", "Heartbeat", "Y", "OutQuad", 0.25f, 0.9f, 0, 0, 0},
    {"MenuDarkenPaneVanish", "Shrink", "Y", "InQuad", 0.2f, 1, 0, 0, 0},
    {"PadlockWiggle", "Wiggle", "X", "Linear", 0.45f, 28, 8, 0, 0},
    {"DisplaceLTR", "Displace", "X", "OutCubic", 0.4f, -150, 0, 0, 0},
    {"DisplaceRTL", "Displace", "X", "OutCubic", 0.4f, 150, 0, 0, 0},
    {"SlideshowLTR", "Displace", "X", "OutExpo", 0.6f, -600, 0, 0, 0},
    {"SlideshowRTL", "Displace", "X", "OutExpo", 0.6f, 600, 0, 0, 0},
    {"ItemGain", "Heartbeat", "XY", "OutBack", 0.35f, 1.6f, 0, 0, 0},
    {"ItemLoss", "Wiggle", "Y", "OutQuad", 0.4f, 10, 5, 0, 0},
    {"RankGain", "Heartbeat", "XY", "OutBack", 0.4f, 1.8f, 0, 0, 0},
    {"RankLoss", "Heartbeat", "XY", "OutQuad", 0.3f, 0.6f, 0, 0, 0},
    {"ArrowheadSpin", "Spin", "X", "Linear", 1, 1, 2, 0, 0},
    {"GiantArrowheadSpin", "Spin", "X", "OutQuad", 1.5f, 1, 4, 0, 0},
    {"WeaponFlip", "Spin", "X", "OutCubic", 0.4f, 1, 2, 0, 0},
    {"NewBuff", "Heartbeat", "XY", "OutBack", 0.5f, 2, 0, 0, 0},
    {"NewWeapon", "Heartbeat", "XY", "OutBack", 0.5f, 2.2f, 0, 0, 0},
    {"POWExpired", "MultAlphaFadeOut", "XY", "InQuad", 0.6f, 1, 0, 0, 0},
    {"LapMessageAppear", "Heartbeat", "XY", "OutBack", 0.4f, 3, 0, 0, 0},
    {"LapMessageFadeOut", "AlphaFadeOut", "XY", "InQuad", 0.5f, 1, 0, 0, 1.5f},
    {"LapDiffFadeOut", "AlphaFadeOut", "XY", "InQuad", 0.5f, 1, 0, 0, 2.5f},
    {"TrackNameFadeOut", "AlphaFadeOut", "XY", "InQuad", 0.8f, 1, 0, 0, 2},
    {"FinalPlaceReveal", "Heartbeat", "XY", "OutBack", 0.6f, 4, 0, 0, 0},
    {"YourTimeReveal", "Displace", "X", "OutExpo", 0.6f, 400, 0, 0, 0.5f},
    {"NewRecordReveal", "Heartbeat", "XY", "Bounce0To0", 0.6f, 1.4f, 0, 0, 1},
    {"ScoreboardFadeIn", "AlphaFadeIn", "XY", "OutQuad", 0.5f, 1, 0, 0, 0},
    {"PressKeyPrompt", "Heartbeat", "XY", "OutBack", 0.5f, 0.6f, 0, 0, 0.3f},
};

std::string CsvField(const char* text)
{
    std::string field = text;
    if (field.find('"') != std::string::npos)
        throw std::runtime_error("a CSV text cannot hold '\"': " + field);
    if (field.find_first_of(",\n") != std::string::npos)
        return "\"" + field + "\"";
    return field;
}

void WriteFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace

std::string LocalizedText(int id, int language)
{
    for (const LocalizedTextRow& row : StringTableRows()) {
        if (row.id != id)
            continue;
        if (*row.text[language])
            return row.text[language];
        for (const char* text : row.text) {
            if (*text)
                return text;
        }
    }
    return "";
}

std::string StoryNarrationText(int slide)
{
    std::istringstream lines(LocalizedText(STR_STORY_1 + slide - 1, kLanguageEnglish));
    std::string spoken;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        spoken += (spoken.empty() ? "" : " ") + line;
    }
    return spoken;
}

std::string StringsCsvText()
{
    std::string csv;
    int expectedID = 1;
    for (const LocalizedTextRow& row : StringTableRows()) {
        // The line number is the ID: a row out of order would shift every text after it.
        if (row.id != expectedID++)
            throw std::runtime_error("string table row " + std::to_string(row.id) + " is out of order");
        for (int language = 0; language < NUM_LANGUAGES; language++)
            csv += (language ? "," : "") + CsvField(row.text[language]);
        csv += "\n";
    }
    if (expectedID != MAX_LOCALIZED_STRINGS)
        throw std::runtime_error("the string table must hold IDs 1 to 183");
    return csv;
}

std::string TwitchCsvText()
{
    std::ostringstream csv;
    csv << "PRESET,CLASS,AXES,EASING,DURATION,AMPLITUDE,FREQUENCY,PHASE,DELAY\n";
    for (const TwitchPresetRow& p : kTwitchPresets) {
        csv << p.name << ',' << p.effectClass << ',' << p.axes << ',' << p.easing << ',' << p.duration << ','
            << p.amplitude << ',' << p.frequency << ',' << p.phase << ',' << p.delay << '\n';
    }
    return csv.str();
}

void ForgeInterfaceTables(const std::filesystem::path& dataFolder)
{
    std::filesystem::path systemFolder = dataFolder / "System";
    std::filesystem::create_directories(systemFolder);
    WriteFile(systemFolder / "strings.csv", StringsCsvText());
    WriteFile(systemFolder / "twitch.csv", TwitchCsvText());
}
