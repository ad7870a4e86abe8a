// The string table of the game, in every language, and the twitch presets: the sources of
// Data/System/strings.csv and Data/System/twitch.csv.
#pragma once

#include "Interface/LocalizedStrings.h"

#include <string>
#include <vector>

struct LocalizedTextRow
{
    int id;                          // StringID; rows are in ID order, one per ID from 1 to 183
    const char* text[NUM_LANGUAGES]; // "" falls back to the first non-empty text of the row
};

const std::vector<LocalizedTextRow>& StringTableRows();

// The text the game shows for an ID in a language (with the fallback); "" for an ID not in the table.
std::string LocalizedText(int id, int language);

// The English story of slide 1 .. 7 as one spoken text: the subtitle lines without their timing lines.
std::string StoryNarrationText(int slide);

// The contents of strings.csv and twitch.csv (ForgeInterfaceTables in Forge.h writes them).
std::string StringsCsvText();
std::string TwitchCsvText();
