// The preferences file: read at start-up, written back only when something changed.

#include "System/Prefs.h"

#include "System/UserDataFiles.h"

#include <cstring>

static constexpr const char* kPrefsFileName = "Preferences";
static constexpr const char* kPrefsMagic = "Quorvel2 Prefs v0";

void ReadPrefsFile()
{
    PrefsType loaded;
    if (LoadUserDataFile(kPrefsFileName, kPrefsMagic, sizeof(PrefsType), &loaded) == Tarnet::noErr) {
        // A file of the right size can still hold values no table of the game can take.
        SanitizePrefs(&loaded);
        gPrefs = loaded;
    } else {
        ResetPrefsToDefaults();
    }
    gPrefsAsSaved = gPrefs;
}

void WritePrefsFile()
{
    if (std::memcmp(&gPrefs, &gPrefsAsSaved, sizeof(PrefsType)) == 0)
        return;
    gPrefsAsSaved = gPrefs;
    SaveUserDataFile(kPrefsFileName, kPrefsMagic, sizeof(PrefsType), &gPrefs);
}
