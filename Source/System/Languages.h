// The game's languages: their indices (what the preferences store), their codes, and which of them the
// system prefers.
#pragma once

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

// The two-letter code of a language index ("en", "fr", ...); null outside 0 .. NUM_LANGUAGES - 1.
const char* GetLanguageCode(int language);

// The first of the system's preferred locales whose language is one of the game's; English when
// none is, or when the system reports no locales.
int DetectSystemLanguage();

// True when the first preferred locale's language is English, or when the system reports no locale
// or no language (the preferences turn subtitles on for everyone else).
bool IsSystemLocaleEnglish();
