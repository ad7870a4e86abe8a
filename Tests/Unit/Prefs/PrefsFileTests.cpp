// The preferences file through real files in a temporary preferences folder.

#include "PrefsTestFixture.h"

#include "Support/AlertCapture.h"
#include "System/Prefs.h"

#include <csignal>
#include <cstring>
#include <sys/resource.h>

static const char* const kPrefsMagic = "Quorvel2 Prefs v0";

static bool SamePrefs(const PrefsType& a, const PrefsType& b)
{
    return std::memcmp(&a, &b, sizeof(PrefsType)) == 0;
}

// The default record, leaving gPrefs as it was.
static PrefsType Defaults()
{
    PrefsType live = gPrefs;
    ResetPrefsToDefaults();
    PrefsType defaults = gPrefs;
    gPrefs = live;
    return defaults;
}

TEST_F(UserFileTest, PrefsRoundTripThroughTheFile)
{
    ReadPrefsFile();
    gPrefs.hudScale = 150;
    gPrefs.bindings[kNeedFire].key[1] = SDL_SCANCODE_F;
    PrefsType written = gPrefs;

    testing::internal::CaptureStdout();
    WritePrefsFile();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Wrote Preferences\n");
    EXPECT_EQ(std::filesystem::file_size(GameFile("Preferences")), std::strlen(kPrefsMagic) + 1 + 382);
    EXPECT_FALSE(std::filesystem::exists(GameFile("Preferences.new")));

    ResetPrefsToDefaults();
    ReadPrefsFile();
    EXPECT_TRUE(SamePrefs(gPrefs, written));
    EXPECT_TRUE(SamePrefs(gPrefsAsSaved, written));
}

TEST_F(UserFileTest, ChangingNothingWritesNothing)
{
    ReadPrefsFile();
    testing::internal::CaptureStdout();
    WritePrefsFile();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(std::filesystem::exists(GameFile("Preferences")));
}

TEST_F(UserFileTest, FileOneByteTooLongIsCorruptAndGivesDefaults)
{
    PrefsType stored = Defaults();
    stored.musicVolume = 20;
    WriteWholeFile(GameFile("Preferences"), FileBytes(kPrefsMagic, stored) + "x");

    testing::internal::CaptureStdout();
    ReadPrefsFile();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "File 'Preferences' appears to be corrupt!\n");
    EXPECT_TRUE(SamePrefs(gPrefs, Defaults()));
}

TEST_F(UserFileTest, WrongMagicOrShortFileIsCorrupt)
{
    PrefsType stored = Defaults();
    std::string bytes = FileBytes(kPrefsMagic, stored);
    bytes[0] = 'X';
    WriteWholeFile(GameFile("Preferences"), bytes);
    testing::internal::CaptureStdout();
    ReadPrefsFile();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "File 'Preferences' appears to be corrupt!\n");

    WriteWholeFile(GameFile("Preferences"), FileBytes(kPrefsMagic, stored).substr(0, 100));
    testing::internal::CaptureStdout();
    ReadPrefsFile();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "File 'Preferences' appears to be corrupt!\n");
}

TEST_F(UserFileTest, OutOfRangeFieldsTakeTheirDefaultsAndTheRestIsKept)
{
    PrefsType defaults = Defaults();
    PrefsType stored = defaults;
    stored.language = 200;
    stored.splitScreenMode = 9;
    stored.msaaLevel = 7;
    stored.hudScale = 250;
    stored.rumbleIntensity = 101;
    stored.bindings[kNeedFire].key[0] = 9999;
    stored.bindings[kNeedFire].key[1] = -3;
    stored.bindings[kNeedBoost].pad[0] = {kPadBindingButton, 200};
    stored.bindings[kNeedUp].pad[1] = {7, 0};
    stored.bindings[kNeedPause].mouseButton = 31;
    stored.effectsVolume = 30; // valid, kept
    WriteWholeFile(GameFile("Preferences"), FileBytes(kPrefsMagic, stored));

    ReadPrefsFile();
    EXPECT_EQ(gPrefs.language, defaults.language);
    EXPECT_EQ(gPrefs.splitScreenMode, 2);
    EXPECT_EQ(gPrefs.msaaLevel, 0);
    EXPECT_EQ(gPrefs.hudScale, 100);
    EXPECT_EQ(gPrefs.rumbleIntensity, 100);
    EXPECT_EQ(gPrefs.bindings[kNeedFire].key[0], SDL_SCANCODE_SPACE);
    EXPECT_EQ(gPrefs.bindings[kNeedFire].key[1], 0);
    EXPECT_EQ(gPrefs.bindings[kNeedBoost].pad[0].id, SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(gPrefs.bindings[kNeedUp].pad[1].type, kPadBindingButton);
    EXPECT_EQ(gPrefs.bindings[kNeedPause].mouseButton, 0);
    EXPECT_EQ(gPrefs.effectsVolume, 30);
}

TEST_F(UserFileTest, WriteThatFailsHalfWayKeepsThePreviousFile)
{
    ReadPrefsFile();
    gPrefs.musicVolume = 10;
    testing::internal::CaptureStdout();
    WritePrefsFile();
    testing::internal::GetCapturedStdout();
    std::string previous = ReadWholeFile(GameFile("Preferences"));
    ASSERT_EQ(previous.size(), 400u);

    // A disk that fills up after 100 bytes: the host refuses the rest of the write.
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit tiny = saved;
    tiny.rlim_cur = 100;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &tiny);
    gPrefs.musicVolume = 90;
    WritePrefsFile();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(ReadWholeFile(GameFile("Preferences")), previous);
    EXPECT_FALSE(std::filesystem::exists(GameFile("Preferences.new")));
    ReadPrefsFile();
    EXPECT_EQ(gPrefs.musicVolume, 10);
}

TEST_F(UserFileTest, UnusablePrefsFolderWarnsAndTheGameGoesOn)
{
    // The preferences folder's path names a plain file.
    std::filesystem::path blocker = configHome.Path() / "not-a-folder";
    WriteWholeFile(blocker, "x");
    setenv("XDG_CONFIG_HOME", blocker.c_str(), 1);

    ScopedAlertCapture capture;
    ReadPrefsFile();
    EXPECT_EQ(capture.LastMessage(), "Warning: Cannot locate the Preferences folder.");
    EXPECT_TRUE(SamePrefs(gPrefs, Defaults()));

    ReadPrefsFile();
    gPrefs.musicVolume = 5;
    size_t alertsBefore = capture.Alerts().size();
    WritePrefsFile();
    EXPECT_GT(capture.Alerts().size(), alertsBefore);
    EXPECT_FALSE(LocatePrefsFolder(true));
}

// Sets the locale list SDL reads on this host for the lifetime of the object.
class ScopedLanguageList
{
public:
    explicit ScopedLanguageList(const char* languages)
    {
        if (const char* previous = std::getenv("LANGUAGE")) {
            saved = previous;
            hadValue = true;
        }
        setenv("LANGUAGE", languages, 1);
    }
    ~ScopedLanguageList()
    {
        if (hadValue)
            setenv("LANGUAGE", saved.c_str(), 1);
        else
            unsetenv("LANGUAGE");
    }

private:
    std::string saved;
    bool hadValue = false;
};

TEST_F(UserFileTest, DefaultLanguageAndSubtitlesFollowTheSystemLocales)
{
    {
        ScopedLanguageList languages("ja_JP:nl_NL:fr_FR");
        ResetPrefsToDefaults();
        EXPECT_EQ(gPrefs.language, kLanguageDutch); // the first the game speaks
        EXPECT_EQ(gPrefs.showSubtitles, 1);         // a Japanese player wants subtitles
    }
    {
        ScopedLanguageList languages("en_GB:de_DE");
        ResetPrefsToDefaults();
        EXPECT_EQ(gPrefs.language, kLanguageEnglish);
        EXPECT_EQ(gPrefs.showSubtitles, 0);
    }
    {
        ScopedLanguageList languages("sv_SE");
        ResetPrefsToDefaults();
        EXPECT_EQ(gPrefs.language, kLanguageSwedish);
        EXPECT_EQ(gPrefs.showSubtitles, 1);
    }
}
