// Colon paths, refNums, fork I/O, folders and aliases of the host layer.

#include <cstdlib>
#include <cstring>
#include <optional>

#include "Tarnet/Files/RefNumTable.h"
#include "Tarnet/Resources/ResourceForkWriter.h"
#include "TarnetTestSupport.h"

using namespace Tarnet;
namespace fs = std::filesystem;

namespace {

class ColonPaths : public TarnetTest
{
protected:
    void SetUp() override
    {
        TarnetTest::SetUp();
        WriteFile(Root() / "Data/models/Global.tq3d", "model");
        WriteFile(Root() / "Data/terrain/level1.ter", "terrain");
        fs::create_directories(Root() / "Data/Skeletons");
        data = DirID(Root() / "Data");
    }

    int32_t data = 0;
};

TEST_F(ColonPaths, NestedPathGivesTheFileAndItsOwnFolderID)
{
    FSSpec spec;
    ASSERT_EQ(FSMakeFSSpec(0, data, ":models:Global.tq3d", &spec), noErr);
    EXPECT_EQ(spec.vRefNum, 0);
    EXPECT_EQ(spec.parID, DirID(Root() / "Data/models"));
    EXPECT_STREQ(spec.name, "Global.tq3d");
    EXPECT_EQ(FSSpecToHostPath(spec), Root() / "Data/models/Global.tq3d");
}

TEST_F(ColonPaths, DoubleColonStepsUpAndTrailingColonNamesTheFolder)
{
    FSSpec spec;
    ASSERT_EQ(FSMakeFSSpec(0, data, ":models::terrain:level1.ter", &spec), noErr);
    EXPECT_EQ(FSSpecToHostPath(spec), Root() / "Data/terrain/level1.ter");

    ASSERT_EQ(FSMakeFSSpec(0, DirID(Root() / "Data/models"), "::", &spec), noErr);
    EXPECT_EQ(FSSpecToHostPath(spec), Root() / "Data");

    ASSERT_EQ(FSMakeFSSpec(0, data, ":models:", &spec), noErr);
    EXPECT_EQ(spec.parID, data);
    EXPECT_STREQ(spec.name, "models");

    // A name without a leading colon is relative too.
    ASSERT_EQ(FSMakeFSSpec(0, data, "models", &spec), noErr);
    EXPECT_STREQ(spec.name, "models");
}

TEST_F(ColonPaths, NamesDifferingInCaseReachTheHostSpelling)
{
    FSSpec upper, lower;
    ASSERT_EQ(FSMakeFSSpec(0, data, ":MODELS:global.TQ3D", &upper), noErr);
    ASSERT_EQ(FSMakeFSSpec(0, data, ":Models:Global.tq3d", &lower), noErr);
    EXPECT_EQ(upper.parID, DirID(Root() / "Data/models"));
    EXPECT_EQ(lower.parID, upper.parID);
    EXPECT_STREQ(upper.name, "Global.tq3d");
}

TEST_F(ColonPaths, ComponentBeforeAColonOnlyMatchesFolders)
{
    if (!CaseSensitiveHost())
        GTEST_SKIP() << "needs a case-sensitive folder to hold THEME and Theme";
    WriteFile(Root() / "Data/THEME", "a file, not the folder");
    WriteFile(Root() / "Data/Theme/song.mp3", "song");
    FSSpec spec;
    ASSERT_EQ(FSMakeFSSpec(0, data, ":theme:song.mp3", &spec), noErr);
    EXPECT_EQ(FSSpecToHostPath(spec), Root() / "Data/Theme/song.mp3");
}

TEST_F(ColonPaths, FileWithOnlyAResourceForkIsFoundUnderItsName)
{
    ResourceForkWriter writer;
    writer.Add(OSTypeFrom("Hedr"), 1000, {1, 2, 3});
    writer.WriteAppleDouble(Root() / "Data/Skeletons/quor.skeleton.rsrc");

    FSSpec spec;
    ASSERT_EQ(FSMakeFSSpec(0, data, ":Skeletons:Quor.Skeleton", &spec), noErr);
    EXPECT_STREQ(spec.name, "quor.skeleton");

    int16_t refNum = 99;
    EXPECT_EQ(FSpOpenDF(&spec, fsRdPerm, &refNum), fnfErr);
    EXPECT_EQ(refNum, -1);
    ASSERT_EQ(FSpOpenRF(&spec, fsRdPerm, &refNum), noErr);
    EXPECT_EQ(FSClose(refNum), noErr);
}

TEST_F(ColonPaths, MissingFileGivesFnfErrAndASpecThatCreatesIt)
{
    FSSpec spec;
    ASSERT_EQ(FSMakeFSSpec(0, data, ":models:New.tq3d", &spec), fnfErr);
    EXPECT_STREQ(spec.name, "New.tq3d");
    EXPECT_EQ(spec.parID, DirID(Root() / "Data/models"));
    ASSERT_EQ(FSpCreate(&spec, OSTypeFrom("Qrv2"), OSTypeFrom("TQ3D"), 0), noErr);
    EXPECT_TRUE(fs::exists(Root() / "Data/models/New.tq3d"));
    EXPECT_EQ(FSMakeFSSpec(0, data, ":models:New.tq3d", &spec), noErr);

    EXPECT_EQ(FSMakeFSSpec(0, data, ":nofolder:x", &spec), fnfErr);
}

TEST_F(ColonPaths, BadVolumeDirectoryOrNameIsRejected)
{
    FSSpec spec;
    EXPECT_EQ(FSMakeFSSpec(1, data, ":models", &spec), nsvErr);
    EXPECT_EQ(FSMakeFSSpec(-1, data, ":models", &spec), nsvErr);
    try {
        FSMakeFSSpec(0, 9999, ":models", &spec);
        FAIL() << "an unregistered directory ID must throw";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "HostVolume::FSMakeFSSpec: directory ID not registered.");
    }
    EXPECT_THROW(FSMakeFSSpec(0, data, "", &spec), std::out_of_range);
}

TEST_F(ColonPaths, CallsBeforeStartupFindNoVolume)
{
    Shutdown();
    FSSpec spec{};
    int16_t refNum;
    EXPECT_EQ(FSMakeFSSpec(0, 0, ":x", &spec), nsvErr);
    EXPECT_EQ(FSpOpenDF(&spec, fsRdPerm, &refNum), nsvErr);
    EXPECT_EQ(FSpCreate(&spec, 0, 0, 0), nsvErr);
    Startup();
}

// ---- refNums and fork I/O ----

class Forks : public TarnetTest
{
protected:
    int16_t Open(const std::string& name, SInt8 permission = fsRdPerm)
    {
        if (!fs::exists(Root() / name))
            WriteFile(Root() / name, "0123456789");
        FSSpec spec = Spec(Root() / name);
        int16_t refNum = -99;
        EXPECT_EQ(FSpOpenDF(&spec, permission, &refNum), noErr) << name;
        return refNum;
    }
};

TEST_F(Forks, FreedRefNumsAreReusedMostRecentlyFreedFirst)
{
    EXPECT_EQ(Open("a"), 1);
    EXPECT_EQ(Open("b"), 2);
    EXPECT_EQ(Open("c"), 3);
    EXPECT_EQ(FSClose(2), noErr);
    EXPECT_EQ(Open("d"), 2);
}

TEST_F(Forks, OnlyTrailingFreeRefNumsAreGivenBack)
{
    // Named by appending the digit: GCC 12 at -O3 takes "f" + std::to_string(i) for an
    // overlapping copy.
    for (int i = 1; i <= 4; i++) {
        std::string name = "f";
        name += char('0' + i);
        EXPECT_EQ(Open(name), i);
    }
    for (int16_t refNum : {3, 1, 2, 4})
        EXPECT_EQ(FSClose(refNum), noErr);
    EXPECT_EQ(Open("g"), 2);
    EXPECT_EQ(Open("h"), 1);
    EXPECT_EQ(Open("i"), 3);
    EXPECT_EQ(Open("j"), 4);
}

TEST_F(Forks, FailedOpenReportsMinusOneAndKeepsNoRefNum)
{
    FSSpec missing = Spec(Root() / "missing");
    int16_t refNum = 0;
    EXPECT_EQ(FSpOpenDF(&missing, fsRdPerm, &refNum), fnfErr);
    EXPECT_EQ(refNum, -1);
    EXPECT_EQ(Open("present"), 1);
}

TEST_F(Forks, EveryCallRejectsABadRefNum)
{
    int16_t closed = Open("a");
    ASSERT_EQ(FSClose(closed), noErr);
    char buffer[4];
    for (int16_t refNum : {int16_t(-1), int16_t(1), int16_t(7), int16_t(32767)}) {
        int32_t count = 4, value = 0;
        EXPECT_EQ(FSClose(refNum), rfNumErr) << refNum;
        EXPECT_EQ(FSRead(refNum, &count, buffer), rfNumErr) << refNum;
        EXPECT_EQ(FSWrite(refNum, &count, buffer), rfNumErr) << refNum;
        EXPECT_EQ(GetEOF(refNum, &value), rfNumErr) << refNum;
        EXPECT_EQ(GetFPos(refNum, &value), rfNumErr) << refNum;
        EXPECT_EQ(SetFPos(refNum, fsFromStart, 0), rfNumErr) << refNum;
    }
    // refNum 0 is the System file: allocated, but no fork is open on it.
    int32_t count = 4, value = 0;
    EXPECT_EQ(FSClose(0), fnOpnErr);
    EXPECT_EQ(FSRead(0, &count, buffer), fnOpnErr);
    EXPECT_EQ(FSWrite(0, &count, buffer), fnOpnErr);
    EXPECT_EQ(GetEOF(0, &value), fnOpnErr);
    EXPECT_EQ(GetFPos(0, &value), fnOpnErr);
    EXPECT_EQ(SetFPos(0, fsFromStart, 0), fnOpnErr);
}

TEST_F(Forks, PermissionsDecideWhatAForkAllows)
{
    WriteFile(Root() / "file", "0123456789");
    FSSpec spec = Spec(Root() / "file");
    int16_t refNum;
    EXPECT_EQ(FSpOpenDF(&spec, fsCurPerm, &refNum), unimpErr);
    EXPECT_EQ(FSpOpenRF(&spec, fsWrPerm, &refNum), unimpErr);
    EXPECT_EQ(FSpOpenRF(&spec, fsRdWrPerm, &refNum), unimpErr);

    char buffer[4] = {};
    int16_t readOnly = Open("file", fsRdPerm);
    int32_t count = 2;
    EXPECT_EQ(FSWrite(readOnly, &count, "xy"), wrPermErr);
    count = -1;
    EXPECT_EQ(FSRead(readOnly, &count, buffer), paramErr);
    EXPECT_EQ(FSWrite(readOnly, &count, buffer), paramErr);
    FSClose(readOnly);

    int16_t writeOnly = Open("file", fsWrPerm);
    count = 2;
    EXPECT_EQ(FSRead(writeOnly, &count, buffer), ioErr);
    FSClose(writeOnly);
}

TEST_F(Forks, WriteOnlyTruncatesAndReadWriteKeepsTheContents)
{
    WriteFile(Root() / "rw", "0123456789");
    int16_t readWrite = Open("rw", fsRdWrPerm);
    int32_t count = 2;
    EXPECT_EQ(FSWrite(readWrite, &count, "AB"), noErr);
    FSClose(readWrite);
    EXPECT_EQ(ReadFile(Root() / "rw"), "AB23456789");

    int16_t writeOnly = Open("rw", fsWrPerm);
    count = 3;
    EXPECT_EQ(FSWrite(writeOnly, &count, "xyz"), noErr);
    FSClose(writeOnly);
    EXPECT_EQ(ReadFile(Root() / "rw"), "xyz");
}

TEST_F(Forks, ReadAtTheEndGivesEofErrWithTheBytesRead)
{
    int16_t refNum = Open("ten");
    char buffer[16] = {};
    int32_t count = 16;
    EXPECT_EQ(FSRead(refNum, &count, buffer), eofErr);
    EXPECT_EQ(count, 10);
    EXPECT_EQ(std::string(buffer, 10), "0123456789");

    // The fork stays usable after reaching the end.
    long longCount = 3;
    EXPECT_EQ(SetFPos(refNum, fsFromStart, 4), noErr);
    EXPECT_EQ(FSRead(refNum, &longCount, buffer), noErr);
    EXPECT_EQ(longCount, 3);
    EXPECT_EQ(std::string(buffer, 3), "456");
}

TEST_F(Forks, GetEofKeepsTheMark)
{
    int16_t refNum = Open("ten");
    char buffer[3];
    int32_t count = 3, length = 0, mark = 0;
    FSRead(refNum, &count, buffer);
    EXPECT_EQ(GetEOF(refNum, &length), noErr);
    EXPECT_EQ(length, 10);
    EXPECT_EQ(GetFPos(refNum, &mark), noErr);
    EXPECT_EQ(mark, 3);
}

TEST_F(Forks, SetFPosMovesFromEachOriginAndRefusesBeforeTheStart)
{
    int16_t refNum = Open("ten");
    int32_t mark = 0;
    EXPECT_EQ(SetFPos(refNum, fsFromStart, 6), noErr);
    EXPECT_EQ(SetFPos(refNum, fsFromMark, -2), noErr);
    GetFPos(refNum, &mark);
    EXPECT_EQ(mark, 4);
    EXPECT_EQ(SetFPos(refNum, fsFromLEOF, -1), noErr);
    GetFPos(refNum, &mark);
    EXPECT_EQ(mark, 9);

    EXPECT_EQ(SetFPos(refNum, fsFromStart, -5), posErr);
    GetFPos(refNum, &mark);
    EXPECT_EQ(mark, 9);
    EXPECT_THROW(SetFPos(refNum, 4, 0), std::invalid_argument);
}

TEST_F(Forks, ReadsAndWritesShareOneMark)
{
    WriteFile(Root() / "shared", "abcdef");
    int16_t refNum = Open("shared", fsRdWrPerm);
    char c = 0;
    int32_t one = 1;
    FSRead(refNum, &one, &c);
    EXPECT_EQ(c, 'a');
    one = 1;
    EXPECT_EQ(FSWrite(refNum, &one, "X"), noErr); // lands at 1, right after the byte read
    one = 1;
    FSRead(refNum, &one, &c);
    EXPECT_EQ(c, 'c');
    FSClose(refNum);
    EXPECT_EQ(ReadFile(Root() / "shared"), "aXcdef");
}

TEST_F(Forks, DeleteRemovesOnceThenReportsMissing)
{
    WriteFile(Root() / "gone", "x");
    FSSpec spec = Spec(Root() / "gone");
    EXPECT_EQ(FSpDelete(&spec), noErr);
    EXPECT_FALSE(fs::exists(Root() / "gone"));
    EXPECT_EQ(FSpDelete(&spec), fnfErr);
}

TEST_F(Forks, CreateIntoAMissingFolderIsReported)
{
    FSSpec spec = Spec(Root() / "no/such/folder/file");
    EXPECT_EQ(FSpCreate(&spec, 0, 0, 0), ioErr);
}

TEST(RefNumTable, MisuseThrowsAndAFullTableRefuses)
{
    Files::RefNumTable table;
    EXPECT_EQ(table.Allocate(), 0);
    EXPECT_THROW(table.Free(1), std::invalid_argument);
    EXPECT_THROW(table.Slot(-1), std::runtime_error);
    EXPECT_THROW(table.Slot(5), std::runtime_error);
    table.Free(0);
    EXPECT_EQ(table.SlotCount(), 0u);
    for (int i = 0; i < Files::RefNumTable::kMaxAllocated; i++)
        table.Allocate();
    try {
        table.Allocate();
        FAIL() << "the 32768th refNum must be refused";
    } catch (const std::length_error& e) {
        EXPECT_STREQ(e.what(), "too many items allocated");
    }
}

// ---- resource-fork companions ----

TEST_F(Forks, DamagedAppleDoubleHeaderThrowsAndFreesTheRefNum)
{
    FSSpec spec = Spec(Root() / "bad");
    int16_t refNum;
    WriteBytes(Root() / "bad.rsrc", {0x00, 0x05, 0x16, 0x07, 0x00, 0x01, 0x00, 0x00});
    try {
        FSpOpenRF(&spec, fsRdPerm, &refNum);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "No ADF magic");
    }

    std::vector<uint8_t> noFork = {0x00, 0x05, 0x16, 0x07, 0x00, 0x02, 0x00, 0x00};
    noFork.resize(24, 0);
    noFork.insert(noFork.end(), {0, 1, 0, 0, 0, 9, 0, 0, 0, 38, 0, 0, 0, 0});
    WriteBytes(Root() / "bad.rsrc", noFork);
    try {
        FSpOpenRF(&spec, fsRdPerm, &refNum);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Didn't find entry ID=2 in ADF");
    }

    // An entry claiming more bytes than the file holds.
    noFork[29] = 2;
    noFork[37] = 200;
    WriteBytes(Root() / "bad.rsrc", noFork);
    EXPECT_THROW(FSpOpenRF(&spec, fsRdPerm, &refNum), std::runtime_error);

    // Cut inside the entry table.
    noFork.resize(30);
    WriteBytes(Root() / "bad.rsrc", noFork);
    EXPECT_THROW(FSpOpenRF(&spec, fsRdPerm, &refNum), std::out_of_range);

    WriteFile(Root() / "good", "");
    FSSpec good = Spec(Root() / "good");
    ASSERT_EQ(FSpOpenDF(&good, fsRdPerm, &refNum), noErr);
    EXPECT_EQ(refNum, 1);
}

// ---- folders ----

TEST_F(TarnetTest, DirCreateMakesOnceAndRefusesAFileInTheWay)
{
    int32_t root = DirID(Root());
    int32_t created = -7;
    ASSERT_EQ(DirCreate(0, root, "Quorvel2", &created), noErr);
    EXPECT_TRUE(fs::is_directory(Root() / "Quorvel2"));
    EXPECT_EQ(created, DirID(Root() / "Quorvel2"));

    int32_t untouched = -7;
    EXPECT_EQ(DirCreate(0, root, "Quorvel2", &untouched), noErr);
    EXPECT_EQ(untouched, -7);
    EXPECT_EQ(DirCreate(0, root, "Quorvel2", nullptr), noErr);

    WriteFile(Root() / "blocker", "x");
    testing::internal::CaptureStderr();
    EXPECT_EQ(DirCreate(0, root, "blocker", &untouched), bdNamErr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("a file with the same name already exists"),
              std::string::npos);
    EXPECT_EQ(DirCreate(3, root, "x", &untouched), nsvErr);
}

class PreferencesFolder : public TarnetTest
{
protected:
    void SetUp() override
    {
        TarnetTest::SetUp();
        if (const char* old = std::getenv("XDG_CONFIG_HOME"))
            saved = old;
        setenv("XDG_CONFIG_HOME", (Root() / "config").c_str(), 1);
    }
    void TearDown() override
    {
        if (saved)
            setenv("XDG_CONFIG_HOME", saved->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        TarnetTest::TearDown();
    }

    std::optional<std::string> saved;
};

TEST_F(PreferencesFolder, FollowsXdgConfigHomeAndGivesOneIDEveryTime)
{
    int16_t vRefNum = -1;
    int32_t dirID = -1, again = -1;
    ASSERT_EQ(FindFolder(kOnSystemDisk, kPreferencesFolderType, kCreateFolder, &vRefNum, &dirID), noErr);
    EXPECT_TRUE(fs::is_directory(Root() / "config"));
    EXPECT_EQ(vRefNum, 0);
    EXPECT_EQ(dirID, DirID(Root() / "config"));
    ASSERT_EQ(FindFolder(kOnSystemDisk, kPreferencesFolderType, kDontCreateFolder, &vRefNum, &again), noErr);
    EXPECT_EQ(again, dirID);

    // The game's own folder and files go inside it through the ordinary calls.
    int32_t gameFolder = 0;
    ASSERT_EQ(DirCreate(vRefNum, dirID, "Quorvel2", &gameFolder), noErr);
    FSSpec prefs;
    EXPECT_EQ(FSMakeFSSpec(vRefNum, gameFolder, ":Preferences", &prefs), fnfErr);
    EXPECT_EQ(FSpCreate(&prefs, 0, 0, 0), noErr);
    EXPECT_TRUE(fs::exists(Root() / "config/Quorvel2/Preferences"));
}

TEST_F(PreferencesFolder, OtherKindsVolumesAndAFileInTheWayAreRefused)
{
    int16_t vRefNum = 5;
    int32_t dirID = 5;
    EXPECT_EQ(FindFolder(kOnSystemDisk, OSTypeFrom("temp"), kCreateFolder, &vRefNum, &dirID), fnfErr);
    EXPECT_EQ(vRefNum, 5);
    EXPECT_EQ(dirID, 5);
    EXPECT_THROW(FindFolder(0, kPreferencesFolderType, kCreateFolder, &vRefNum, &dirID), std::runtime_error);
    WriteFile(Root() / "config", "not a folder");
    EXPECT_EQ(FindFolder(kOnSystemDisk, kPreferencesFolderType, kCreateFolder, &vRefNum, &dirID), dupFNErr);
}

// ---- aliases ----

class Aliases : public TarnetTest
{
protected:
    // A version-2 alias record naming `target`, `size` bytes long.
    Handle MakeAlias(const std::string& target, Size size = 114, uint16_t version = 2, uint16_t kind = 0)
    {
        Handle alias = NewHandleClear(size);
        auto* bytes = reinterpret_cast<uint8_t*>(*alias);
        if (size >= 10) {
            bytes[4] = uint8_t(size >> 8);
            bytes[5] = uint8_t(size);
            bytes[7] = uint8_t(version);
            bytes[9] = uint8_t(kind);
        }
        if (size >= 114) {
            bytes[50] = uint8_t(target.size());
            std::memcpy(bytes + 51, target.data(), std::min<size_t>(target.size(), 63));
        }
        return alias;
    }

    OSErr Resolve(Handle alias, FSSpec* target)
    {
        Boolean changed = true;
        OSErr result = ResolveAlias(&holder, alias, target, &changed);
        EXPECT_FALSE(changed);
        DisposeHandle(alias);
        return result;
    }

    void SetUp() override
    {
        TarnetTest::SetUp();
        WriteFile(Root() / "Skeletons/quor.skeleton", "");
        WriteFile(Root() / "Skeletons/quor.tq3d", "model");
        holder = Spec(Root() / "Skeletons/quor.skeleton");
    }

    FSSpec holder{};
};

TEST_F(Aliases, ResolveToTheNamedFileBesideTheHolder)
{
    FSSpec target;
    ASSERT_EQ(Resolve(MakeAlias("quor.tq3d"), &target), noErr);
    EXPECT_EQ(FSSpecToHostPath(target), Root() / "Skeletons/quor.tq3d");
}

TEST_F(Aliases, UnsupportedRecordsGiveUnimpErrWithTheirMessage)
{
    FSSpec target;
    struct Case
    {
        Handle alias;
        const char* message;
    };
    Handle wrongSizeField = MakeAlias("quor.tq3d");
    (*wrongSizeField)[5] = 120;
    Case cases[] = {
        {MakeAlias("quor.tq3d", 113), "unexpected size of alias: 113"},
        {wrongSizeField, "unexpected size field in alias"},
        {MakeAlias("quor.tq3d", 114, 1), "unexpected alias version number"},
        {MakeAlias("quor.tq3d", 114, 2, 3), "unsupported alias kind 3"},
        {MakeAlias(std::string(64, 'q')), "unexpected alias target name length"},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(Resolve(c.alias, &target), unimpErr) << c.message;
        EXPECT_NE(testing::internal::GetCapturedStderr().find(c.message), std::string::npos) << c.message;
    }
}

TEST_F(Aliases, TargetNameThatLeavesTheHoldersFolderIsRefused)
{
    // Each of these names a real file outside the holder's folder (or the folder itself).
    WriteFile(Root() / "secret.tq3d", "outside");
    FSSpec target;
    for (const char* name : {"../secret.tq3d", "..:secret.tq3d", ":secret.tq3d", "..\\secret.tq3d",
                             "Skeletons/quor.tq3d", "..", ".", "..."}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(Resolve(MakeAlias(name), &target), bdNamErr) << name;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("not a plain file name"), std::string::npos)
            << name;
    }
    // Dots inside a plain name are only part of the name.
    WriteFile(Root() / "Skeletons/quor..v2.tq3d", "model");
    EXPECT_EQ(Resolve(MakeAlias("quor..v2.tq3d"), &target), noErr);
}

// ---- clocks and quitting ----

TEST(Clocks, TestClockDrivesMicrosecondsAndTicks)
{
    uint64_t now = (uint64_t(1) << 32) + 2;
    SetMicrosecondClockForTesting([&] { return now; });
    UnsignedWide wide{};
    EXPECT_EQ(Microseconds(&wide), now);
    EXPECT_EQ(wide.lo, 2u);
    EXPECT_EQ(wide.hi, 1u);
    now = 1'000'000;
    EXPECT_EQ(TickCount(), 60u);
    EXPECT_EQ(MicrosecondsNow(), 1'000'000u);
    SetMicrosecondClockForTesting(nullptr);
    EXPECT_LT(MicrosecondsNow(), uint64_t(1) << 40); // back on the real clock, counted from start
}

TEST(Quitting, ExitToShellThrowsTheQuitRequest)
{
    try {
        ExitToShell();
    } catch (const QuitRequest& e) {
        EXPECT_STREQ(e.what(), "the user has requested to quit the application");
        return;
    }
    FAIL();
}

} // namespace
