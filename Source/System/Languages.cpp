// Languages.cpp: the language list and the system's preferred locales.
#include "System/Languages.h"

#include <SDL.h>
#include <cstring>

// The codes in the order of the language indices.
static const char* const kLanguageCodes[NUM_LANGUAGES] = {"en", "fr", "de", "es", "it", "sv", "nl"};

const char* GetLanguageCode(int language)
{
    return (unsigned)language < (unsigned)NUM_LANGUAGES ? kLanguageCodes[language] : nullptr;
}

static int LanguageOfLocale(const char* localeLanguage)
{
    for (int i = 0; i < NUM_LANGUAGES; i++) {
        if (std::strncmp(localeLanguage, kLanguageCodes[i], 2) == 0)
            return i;
    }
    return -1;
}

int DetectSystemLanguage()
{
    SDL_Locale* locales = SDL_GetPreferredLocales();
    int language = -1;
    // The list ends with an entry whose language is null.
    for (const SDL_Locale* locale = locales; locale && locale->language && language < 0; locale++)
        language = LanguageOfLocale(locale->language);
    SDL_free(locales);
    return language < 0 ? kLanguageEnglish : language;
}

bool IsSystemLocaleEnglish()
{
    SDL_Locale* locales = SDL_GetPreferredLocales();
    bool english = !locales || !locales[0].language || std::strncmp(locales[0].language, "en", 2) == 0;
    SDL_free(locales);
    return english;
}
