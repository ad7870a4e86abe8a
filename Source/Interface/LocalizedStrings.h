// Localized strings: every text the player reads is looked up by a numeric string ID in the column of
// the chosen language of ":system:strings.csv". Line n of the file that holds any text is string ID n;
// ID 0 is always "???". Interface/StringIDs.h names the IDs the game uses.
#pragma once

#include <cstddef>
#include <cstdint>

#include "System/Languages.h" // the language indices

constexpr int MAX_LOCALIZED_STRINGS = 184; // IDs 0 .. 183

// Loads the language's column of strings.csv into the table, replacing whatever was loaded (also
// when it is the same language). A line's text is its field in that column, or its first non-empty
// field when that one is empty. A missing file leaves the strings not loaded. A language outside
// 0 .. NUM_LANGUAGES - 1 and malformed CSV are fatal.
void LoadLocalizedStrings(int languageID);

// The part of LoadLocalizedStrings after the file is read: takes over `text` (a NUL-terminated block
// from AllocPtr, written over in place) and fills the table from it for languageID (0 .. 6).
void FillStringTableFromText(char* text, int languageID);

// Frees the loaded text; every lookup then gives "STRINGS NOT LOADED".
void DisposeLocalizedStrings();

// The text of a string ID: "STRINGS NOT LOADED" before a successful load, "ILLEGAL STRING ID" for an
// ID outside 0 .. 183 (negative IDs included), "" for an ID the file does not reach.
const char* GetLocalizedString(int stringID);

// Writes the string of stringID into destination (at most capacity bytes, NUL included). When the
// string holds a '#' and the text before it fits, the '#' is replaced by `format` applied to the
// arguments; otherwise the whole string is written. Returns the number of bytes written before the NUL.
int FormatLocalizedString(int stringID, char* destination, size_t capacity, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
