// Resource files: lookup along the chain, ResError, damaged forks, and the quorvel-data lister.

#include <cstdio>
#include <cstring>
#include <functional>

#include "Tarnet/Resources/ResourceForkWriter.h"
#include "TarnetTestSupport.h"

using namespace Tarnet;
namespace fs = std::filesystem;

namespace {

const ResType kHedr = OSTypeFrom("Hedr");
const ResType kAlis = OSTypeFrom("alis");
const ResType kSnd = OSTypeFrom("snd ");

std::vector<uint8_t> Pattern(size_t size, uint8_t seed)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; i++)
        bytes[i] = uint8_t(seed + i * 7);
    return bytes;
}

std::vector<uint8_t> HandleBytes(Handle h)
{
    return std::vector<uint8_t>(*h, *h + GetHandleSize(h));
}

class Resources : public TarnetTest
{
protected:
    // Writes `writer` as the resource fork of Root()/name and opens it.
    int16_t OpenWritten(const std::string& name, const ResourceForkWriter& writer)
    {
        writer.WriteAppleDouble(Root() / (name + ".rsrc"));
        FSSpec spec = Spec(Root() / name);
        return FSpOpenResFile(&spec, fsRdPerm);
    }

    // A resource that only one file of the chain holds.
    static ResourceForkWriter WriterWith(ResType type, int16_t id, std::vector<uint8_t> data)
    {
        ResourceForkWriter writer;
        writer.Add(type, id, std::move(data));
        return writer;
    }
};

TEST_F(Resources, EveryWrittenResourceReadsBackWithItsIDTypeAndName)
{
    ResourceForkWriter writer;
    writer.Add(kHedr, 1000, Pattern(48, 1), "header");
    writer.Add(kAlis, 1000, Pattern(114, 2));
    writer.Add(kHedr, -3, {}, "empty");
    writer.Add(kSnd, 32767, Pattern(70000, 3), std::string(255, 'n'));
    int16_t refNum = OpenWritten("file", writer);
    ASSERT_EQ(refNum, 1);
    EXPECT_EQ(ResError(), noErr);
    EXPECT_EQ(CurResFile(), refNum);

    struct Expect
    {
        ResType type;
        int16_t id;
        std::vector<uint8_t> data;
        std::string name;
    };
    Expect expected[] = {{kHedr, 1000, Pattern(48, 1), "header"},
                         {kAlis, 1000, Pattern(114, 2), ""},
                         {kHedr, -3, {}, "empty"},
                         {kSnd, 32767, Pattern(70000, 3), std::string(255, 'n')}};
    for (const Expect& e : expected) {
        Handle h = GetResource(e.type, e.id);
        ASSERT_NE(h, nullptr) << e.id;
        EXPECT_EQ(ResError(), noErr);
        EXPECT_EQ(HandleBytes(h), e.data);
        int16_t id = 0;
        ResType type = 0;
        char name[256];
        GetResInfo(h, &id, &type, name);
        EXPECT_EQ(ResError(), noErr);
        EXPECT_EQ(id, e.id);
        EXPECT_EQ(type, e.type);
        EXPECT_EQ(name, e.name);
        ReleaseResource(h);
    }
    EXPECT_EQ(GetResource(kHedr, 1001), nullptr);
    EXPECT_EQ(ResError(), resNotFound);
}

TEST_F(Resources, LaterReferenceWithTheSameTypeAndIDWins)
{
    ResourceForkWriter writer;
    writer.Add(kHedr, 1000, {1}, "first");
    writer.Add(kHedr, 1000, {2, 2}, "second");
    OpenWritten("file", writer);
    Handle h = GetResource(kHedr, 1000);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(HandleBytes(h), (std::vector<uint8_t>{2, 2}));
    EXPECT_EQ(Count1Resources(kHedr), 1);
    ReleaseResource(h);
}

TEST_F(Resources, ChainSearchesTheCurrentFileThenOlderOnes)
{
    int16_t a = OpenWritten("a", WriterWith(kHedr, 1, {0xA}));
    int16_t b = OpenWritten("b", WriterWith(kHedr, 2, {0xB}));
    ASSERT_EQ(CurResFile(), b);

    Handle fromA = GetResource(kHedr, 1);
    ASSERT_NE(fromA, nullptr);
    EXPECT_EQ((*fromA)[0], 0xA);
    ReleaseResource(fromA);

    UseResFile(a);
    EXPECT_EQ(ResError(), noErr);
    EXPECT_EQ(GetResource(kHedr, 2), nullptr); // files opened after the current one are not searched
    EXPECT_EQ(ResError(), resNotFound);
}

TEST_F(Resources, TwoGetsGiveIndependentCopies)
{
    OpenWritten("file", WriterWith(kHedr, 5, {1, 2, 3}));
    Handle first = GetResource(kHedr, 5);
    Handle second = GetResource(kHedr, 5);
    ASSERT_NE(first, second);
    (*first)[0] = 99;
    EXPECT_EQ((*second)[0], 1);
    ReleaseResource(first);
    ReleaseResource(second);
}

TEST_F(Resources, OpenFailuresGiveMinusOneAndTheirError)
{
    WriteFile(Root() / "noFork", "data only");
    FSSpec spec = Spec(Root() / "noFork");
    EXPECT_EQ(FSpOpenResFile(&spec, fsRdPerm), -1);
    EXPECT_EQ(ResError(), fnfErr);

    ResourceForkWriter().WriteAppleDouble(Root() / "withFork.rsrc");
    FSSpec withFork = Spec(Root() / "withFork");
    EXPECT_EQ(FSpOpenResFile(&withFork, fsRdWrPerm), -1);
    EXPECT_EQ(ResError(), unimpErr);
    EXPECT_EQ(CurResFile(), -1);
}

TEST_F(Resources, UseResFileOnADataForkKeepsTheCurrentFile)
{
    int16_t resources = OpenWritten("file", WriterWith(kHedr, 1, {1}));
    WriteFile(Root() / "plain", "x");
    FSSpec plain = Spec(Root() / "plain");
    int16_t dataFork;
    ASSERT_EQ(FSpOpenDF(&plain, fsRdPerm, &dataFork), noErr);

    testing::internal::CaptureStderr();
    UseResFile(dataFork);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "no RF open with refNum " + std::to_string(dataFork) + "\n");
    EXPECT_EQ(ResError(), rfNumErr);
    EXPECT_EQ(CurResFile(), resources);
}

TEST_F(Resources, MisusedRefNumsThrow)
{
    auto message = [](const std::function<void()>& call) {
        try {
            call();
        } catch (const std::exception& e) {
            return std::string(e.what());
        }
        return std::string("no exception");
    };
    EXPECT_EQ(message([] { UseResFile(0); }),
              "UseResFile: Using the System file's resource fork is not implemented.");
    EXPECT_EQ(ResError(), unimpErr);
    EXPECT_EQ(message([] { UseResFile(-2); }), "UseResFile: Illegal refNum");
    EXPECT_EQ(message([] { UseResFile(40); }), "illegal refNum");
    EXPECT_EQ(message([] { CloseResFile(0); }),
              "CloseResFile: Closing the System file's resource fork is not implemented.");
    EXPECT_EQ(message([] { CloseResFile(-2); }), "CloseResFile: Illegal refNum");
    EXPECT_EQ(message([] { CloseResFile(40); }), "illegal refNum");
}

TEST_F(Resources, ClosingTheLastFileLeavesNothingCurrent)
{
    int16_t refNum = OpenWritten("file", WriterWith(kHedr, 1, {1}));
    CloseResFile(refNum);
    EXPECT_EQ(CurResFile(), -1);
    EXPECT_EQ(GetResource(kHedr, 1), nullptr);
    EXPECT_EQ(ResError(), resNotFound);
    int32_t count = 1;
    char c;
    EXPECT_EQ(FSRead(refNum, &count, &c), rfNumErr); // the fork itself was closed
}

TEST_F(Resources, HandlesOutliveTheirFileButLoseTheirLink)
{
    int16_t refNum = OpenWritten("file", WriterWith(kHedr, 1, {7, 8}));
    Handle h = GetResource(kHedr, 1);
    CloseResFile(refNum);
    int16_t id = 0;
    GetResInfo(h, &id, nullptr, nullptr);
    EXPECT_EQ(ResError(), resNotFound);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(HandleBytes(h), (std::vector<uint8_t>{7, 8}));
    ReleaseResource(h);
}

TEST_F(Resources, DetachCutsTheLinkOnce)
{
    OpenWritten("file", WriterWith(kHedr, 1, {1}));
    Handle h = GetResource(kHedr, 1);
    DetachResource(h);
    EXPECT_EQ(ResError(), noErr);
    GetResInfo(h, nullptr, nullptr, nullptr);
    EXPECT_EQ(ResError(), resNotFound);
    DetachResource(h);
    EXPECT_EQ(ResError(), resNotFound);
    DisposeHandle(h);
}

TEST_F(Resources, IndexedCallsWalkTypesAndIDsInAscendingOrder)
{
    ResourceForkWriter writer;
    writer.Add(kSnd, 9, {9});
    writer.Add(kHedr, 30, {3});
    writer.Add(kHedr, -4, {4});
    writer.Add(kAlis, 1, {1});
    OpenWritten("file", writer);

    EXPECT_EQ(Count1Types(), 3);
    ResType types[4] = {};
    for (int i = 1; i <= 4; i++)
        Get1IndType(&types[i - 1], i);
    EXPECT_EQ(types[0], kHedr); // 'H' < 'a' < 's' as unsigned numbers
    EXPECT_EQ(types[1], kAlis);
    EXPECT_EQ(types[2], kSnd);
    EXPECT_EQ(types[3], 0u);

    EXPECT_EQ(Count1Resources(kHedr), 2);
    EXPECT_EQ(Count1Resources(OSTypeFrom("none")), 0);
    Handle h = Get1IndResource(kHedr, 1);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ((*h)[0], 4);
    ReleaseResource(h);
    EXPECT_EQ(Get1IndResource(kHedr, 3), nullptr);
    EXPECT_EQ(ResError(), resNotFound);
    EXPECT_THROW(Get1IndResource(OSTypeFrom("none"), 1), std::out_of_range);
}

TEST_F(Resources, EmptyForkOpensWithNoTypes)
{
    ASSERT_GT(OpenWritten("empty", ResourceForkWriter()), 0);
    EXPECT_EQ(Count1Types(), 0);
    EXPECT_EQ(GetResource(kHedr, 1), nullptr);
}

TEST_F(Resources, ForkAfterFinderInfoAndOpenedByColonPath)
{
    ResourceForkWriter writer;
    writer.SetFinderInfo(OSTypeFrom("Skel"), OSTypeFrom("Qrv2"));
    writer.Add(kHedr, 1, {5});
    fs::create_directories(Root() / "Skeletons");
    writer.WriteAppleDouble(Root() / "Skeletons/quor.skeleton.rsrc");
    FSSpec spec;
    ASSERT_EQ(FSMakeFSSpec(0, DirID(Root()), ":skeletons:Quor.skeleton", &spec), noErr);
    ASSERT_GT(FSpOpenResFile(&spec, fsRdPerm), 0);
    Handle h = GetResource(kHedr, 1);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ((*h)[0], 5);
    ReleaseResource(h);
}

// ---- damaged forks ----

// Byte positions inside the AppleDouble file the writer makes without Finder info.
constexpr size_t kFork = 38;

void Put32(std::vector<uint8_t>& file, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; i++)
        file[at + i] = uint8_t(value >> (24 - 8 * i));
}

void Put16(std::vector<uint8_t>& file, size_t at, uint16_t value)
{
    file[at] = uint8_t(value >> 8);
    file[at + 1] = uint8_t(value);
}

uint32_t Get32(const std::vector<uint8_t>& file, size_t at)
{
    return (uint32_t(file[at]) << 24) | (uint32_t(file[at + 1]) << 16) | (uint32_t(file[at + 2]) << 8) |
           file[at + 3];
}

// A sound fork to damage: 'Hedr' 1000 (named, first data) and 1001 to 1009, then 'alis' 1000.
std::vector<uint8_t> SoundFork()
{
    ResourceForkWriter writer;
    writer.Add(kHedr, 1000, Pattern(48, 1), "header");
    for (int16_t id = 1001; id <= 1009; id++)
        writer.Add(kHedr, id, Pattern(8, uint8_t(id)));
    writer.Add(kAlis, 1000, Pattern(114, 3));
    return writer.BuildAppleDouble();
}

size_t MapStart(const std::vector<uint8_t>& file)
{
    return kFork + Get32(file, kFork + 4);
}

struct Damage
{
    const char* fault;
    std::function<void(std::vector<uint8_t>&)> apply;
    const char* message;
};

class DamagedForks : public TarnetTest, public testing::WithParamInterface<Damage>
{
};

TEST_P(DamagedForks, FailWithAMessageAndLeaveNothingOpen)
{
    std::vector<uint8_t> file = SoundFork();
    GetParam().apply(file);
    WriteBytes(Root() / "bad.rsrc", file);
    FSSpec spec = Spec(Root() / "bad");

    testing::internal::CaptureStderr();
    std::string message = "no exception";
    try {
        FSpOpenResFile(&spec, fsRdPerm);
    } catch (const std::exception& e) {
        message = e.what();
    }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(message, GetParam().message);
    EXPECT_EQ(ResError(), mapReadErr);
    EXPECT_EQ(CurResFile(), -1);

    // The damaged fork's refNum was given back.
    WriteFile(Root() / "next", "");
    FSSpec next = Spec(Root() / "next");
    int16_t refNum;
    ASSERT_EQ(FSpOpenDF(&next, fsRdPerm, &refNum), noErr);
    EXPECT_EQ(refNum, 1);
}

const Damage kDamages[] = {
    {"DataOffsetNot256", [](auto& f) { Put32(f, kFork, 300); }, "FSpOpenResFile: Unexpected data offset"},
    {"CompressedAttribute", [](auto& f) { f[MapStart(f) + 28 + 2 + 16 + 4] |= 0x01; },
     "FSpOpenResFile: Compressed resources not supported yet"},
    {"FileCutShort", [](auto& f) { f.resize(f.size() - 20); },
     "ADF resource fork entry lies outside the file"},
    {"ForkShorterThanHeader", [](auto& f) { Put32(f, 34, 100); },
     "FSpOpenResFile: resource fork is shorter than its header"},
    {"MapOffsetBeyondTheEnd", [](auto& f) { Put32(f, kFork + 4, 0x00FFFFFF); },
     "FSpOpenResFile: resource map lies outside the fork"},
    {"MapLengthBeyondTheEnd", [](auto& f) { Put32(f, kFork + 12, Get32(f, kFork + 12) + 1); },
     "FSpOpenResFile: resource map lies outside the fork"},
    {"MapShorterThanItsHeader", [](auto& f) { Put32(f, kFork + 12, 20); },
     "FSpOpenResFile: resource map is shorter than its header"},
    {"TypeListOutsideTheMap", [](auto& f) { Put16(f, MapStart(f) + 24, 0xFFF0); },
     "FSpOpenResFile: type list lies outside the resource map"},
    {"TypeCountTooLargeForTheMap", [](auto& f) { Put16(f, MapStart(f) + 28, 0xFFFE); },
     "FSpOpenResFile: type list runs past the end of the resource map"},
    {"ReferenceListOutsideTheMap", [](auto& f) { Put16(f, MapStart(f) + 28 + 2 + 6, 0xFF00); },
     "FSpOpenResFile: reference list lies outside the resource map"},
    {"ResourceCountTooLargeForTheMap", [](auto& f) { Put16(f, MapStart(f) + 28 + 2 + 4, 0x0100); },
     "FSpOpenResFile: reference list lies outside the resource map"},
    {"ReferenceListsOverlapping",
     [](auto& f) {
         // 'alis' claims ten references starting at the 'Hedr' list: each list lies inside the
         // map, but together they hold more references than the map has room for.
         size_t map = MapStart(f);
         Put16(f, map + 28 + 2 + 8 + 4, 9);
         Put16(f, map + 28 + 2 + 8 + 6, 18);
     },
     "FSpOpenResFile: more references than the resource map can hold"},
    {"NameOffsetOutsideTheMap", [](auto& f) { Put16(f, MapStart(f) + 28 + 2 + 16 + 2, 0x4000); },
     "FSpOpenResFile: resource name lies outside the resource map"},
    {"NameLengthPastTheMap", [](auto& f) { f[MapStart(f) + Get32(f, kFork + 12) - 7] = 200; },
     "FSpOpenResFile: resource name lies outside the resource map"},
    {"DataOffsetOutsideTheFork", [](auto& f) { Put32(f, MapStart(f) + 28 + 2 + 16 + 4, 0x00FFFFF0); },
     "FSpOpenResFile: resource data lies outside the fork"},
    {"DataLengthPastTheEnd", [](auto& f) { Put32(f, kFork + 256, 0x7FFFFFFF); },
     "FSpOpenResFile: resource data runs past the end of the fork"},
    {"NegativeDataLength", [](auto& f) { Put32(f, kFork + 256, 0xFFFFFFF0); },
     "FSpOpenResFile: resource data runs past the end of the fork"},
};

INSTANTIATE_TEST_SUITE_P(Tarnet, DamagedForks, testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.fault); });

// Some writers place the type list elsewhere than right after the map header; its offset field
// says where, and the reference-list offsets count from it.
TEST_F(Resources, TypeListIsFoundThroughItsOffset)
{
    std::vector<uint8_t> file = ResourceForkWriter(WriterWith(kHedr, 7, {1, 2, 3})).BuildAppleDouble();
    size_t map = MapStart(file);
    file.insert(file.begin() + long(map + 28), {0, 0, 0, 0}); // four bytes of padding before the type list
    Put16(file, map + 24, 32);
    Put16(file, map + 26, uint16_t(((file[map + 26] << 8) | file[map + 27]) + 4));
    Put32(file, kFork + 12, Get32(file, kFork + 12) + 4); // map length
    Put32(file, 34, Get32(file, 34) + 4);                 // AppleDouble entry length
    WriteBytes(Root() / "moved.rsrc", file);
    FSSpec spec = Spec(Root() / "moved");
    ASSERT_GT(FSpOpenResFile(&spec, fsRdPerm), 0);
    Handle h = GetResource(kHedr, 7);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(HandleBytes(h), (std::vector<uint8_t>{1, 2, 3}));
    ReleaseResource(h);
}

// Data need not follow the order of the references: here the two references' data offsets are
// swapped, so each resource's length word lies where the other one's used to.
TEST_F(Resources, DataInAnotherOrderThanTheReferencesReadsBackRight)
{
    ResourceForkWriter writer;
    writer.Add(kHedr, 1, {1, 1, 1});
    writer.Add(kHedr, 2, {2});
    std::vector<uint8_t> file = writer.BuildAppleDouble();
    size_t first = MapStart(file) + 28 + 2 + 8 + 4;
    size_t second = first + 12;
    uint32_t a = Get32(file, first), b = Get32(file, second);
    Put32(file, first, b);
    Put32(file, second, a);
    WriteBytes(Root() / "swapped.rsrc", file);
    FSSpec spec = Spec(Root() / "swapped");
    ASSERT_GT(FSpOpenResFile(&spec, fsRdPerm), 0);
    Handle one = GetResource(kHedr, 1), two = GetResource(kHedr, 2);
    ASSERT_TRUE(one && two);
    EXPECT_EQ(HandleBytes(one), (std::vector<uint8_t>{2}));
    EXPECT_EQ(HandleBytes(two), (std::vector<uint8_t>{1, 1, 1}));
    ReleaseResource(one);
    ReleaseResource(two);
}

// The companion files other systems write put a large Finder-information entry (with extended
// attributes) first and the resource fork far behind it.
TEST_F(Resources, CompanionWithALargeFinderInfoEntryFirst)
{
    std::vector<uint8_t> fork = WriterWith(kHedr, 128, {4, 5, 6}).BuildFork();
    std::vector<uint8_t> file(3810, 0);
    Put32(file, 0, 0x00051607);
    Put32(file, 4, 0x00020000);
    std::memcpy(file.data() + 8, "another system  ", 16);
    Put16(file, 24, 2);
    Put32(file, 26, 9);
    Put32(file, 30, 50);
    Put32(file, 34, 3760);
    Put32(file, 38, 2);
    Put32(file, 42, 3810);
    Put32(file, 46, uint32_t(fork.size()));
    file.insert(file.end(), fork.begin(), fork.end());
    WriteBytes(Root() / "other.rsrc", file);
    FSSpec spec = Spec(Root() / "other");
    ASSERT_GT(FSpOpenResFile(&spec, fsRdPerm), 0);
    Handle h = GetResource(kHedr, 128);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(HandleBytes(h), (std::vector<uint8_t>{4, 5, 6}));
    ReleaseResource(h);
}

// ---- quorvel-data rsrc ----

struct ToolRun
{
    int exitCode;
    std::string output;
};

ToolRun RunTool(const std::string& arguments)
{
    std::string command = std::string("'" QUORVEL_BINARY_DIR "/Tools/quorvel-data' ") + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {-1, "popen failed"};
    std::string output;
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof(buffer), pipe))
        output.append(buffer, n);
    int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

class RsrcTool : public TarnetTest
{
protected:
    void SetUp() override
    {
        TarnetTest::SetUp();
        ASSERT_TRUE(fs::exists(QUORVEL_BINARY_DIR "/Tools/quorvel-data")) << "build the quorvel-data target";
    }
};

TEST_F(RsrcTool, ListsExactlyWhatWasWrittenInTypeThenIDOrder)
{
    ResourceForkWriter writer;
    writer.SetFinderInfo(OSTypeFrom("Ter "), OSTypeFrom("Qrv2"));
    writer.Add(OSTypeFrom("YCrd"), 1000, Pattern(4000, 1));
    writer.Add(kHedr, 1000, Pattern(48, 2), "Header");
    writer.Add(OSTypeFrom("Itms"), 1000, Pattern(120, 3), "items \"one\"");
    writer.Add(kHedr, 1001, {}, "");
    writer.Add(OSTypeFrom("SpPt"), -1, Pattern(3, 4), "back\\slash");
    writer.Add(OSTypeFrom("SpPt"), 1000, Pattern(16, 5));
    writer.WriteAppleDouble(Root() / "level1.ter.rsrc");
    WriteFile(Root() / "level1.ter", "data fork");

    ToolRun run = RunTool("rsrc '" + (Root() / "level1.ter").string() + "'");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "'Hedr' 1000 48 \"Header\"\n"
                          "'Hedr' 1001 0 \"\"\n"
                          "'Itms' 1000 120 \"items \\\"one\\\"\"\n"
                          "'SpPt' -1 3 \"back\\\\slash\"\n"
                          "'SpPt' 1000 16 \"\"\n"
                          "'YCrd' 1000 4000 \"\"\n");
}

TEST_F(RsrcTool, UnreadableForksFailWithTheLayersError)
{
    ToolRun missing = RunTool("rsrc '" + (Root() / "nothing").string() + "'");
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_NE(missing.output.find("-43"), std::string::npos) << missing.output;

    std::vector<uint8_t> file = SoundFork();
    Put32(file, kFork, 300);
    WriteBytes(Root() / "bad.rsrc", file);
    ToolRun damaged = RunTool("rsrc '" + (Root() / "bad").string() + "'");
    EXPECT_NE(damaged.exitCode, 0);
    EXPECT_NE(damaged.output.find("FSpOpenResFile: Unexpected data offset"), std::string::npos)
        << damaged.output;

    EXPECT_EQ(RunTool("rsrc").exitCode, 2);
    EXPECT_EQ(RunTool("nosuchcommand").exitCode, 2);
}

} // namespace
