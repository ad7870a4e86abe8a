// Localized strings: every text the player reads is looked up by a numeric string ID in the column of
// the chosen language of ":system:strings.csv". Line n of the file that holds any text is string ID n;
// ID 0 is always "???". Interface/StringIDs.h names the IDs the game uses.
#pragma once

#include <cstddef>
#include <cstdint>

// Languages by index (the preferences store the index); their codes are matched against the
// system's preferred locales.
enum
{
    kLanguageEnglish,
    kLanguageFrench,
    kLanguageGerman,
    kLanguageSpanish,
    kLanguageItalian,
    kLanguageSwedish,
    kLanguageDutch,
    NUM_LANGUAGES
};

constexpr int MAX_LOCALIZED_STRINGS = 184; // IDs 0 .. 183

// The two-letter code of a language index ("en", "fr", ...); null outside 0 .. NUM_LANGUAGES - 1.
const char* GetLanguageCode(int language);

// The first of the system's preferred locales whose language is one of the game's; English when
// none is, or when the system reports no locales.
int DetectSystemLanguage();

// True when the first preferred locale's language is English, or when the system reports no locale
// or no language (the preferences turn subtitles on for everyone else).
bool IsSystemLocaleEnglish();

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
