// The big-endian reader, memory streams, Pascal strings, extended floats, structpack and the
// not-implemented report.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>

#include "Tarnet/Streams/BigEndianReader.h"
#include "Tarnet/Streams/MemStream.h"
#include "Tarnet/Streams/StructPack.h"
#include "Tarnet/Todo.h"

using namespace Tarnet;

namespace {

struct Bytes
{
    explicit Bytes(std::vector<uint8_t> data)
        : data(std::move(data)), stream(this->data.data(), this->data.size()), in(stream)
    {}
    std::vector<uint8_t> data;
    memstream stream;
    BigEndianReader in;
};

TEST(BigEndianReader, ShortReadThrowsAndLeavesTheStreamUsable)
{
    Bytes b({1, 2, 3});
    uint8_t four[4];
    try {
        b.in.ReadBytes(four, 4);
        FAIL();
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "Read past end of stream!");
    }
    b.in.Seek(0);
    b.in.ReadBytes(four, 3);
    EXPECT_EQ(four[2], 3);
    EXPECT_EQ(b.in.Tell(), 3u);
}

TEST(BigEndianReader, IntegersAreMostSignificantByteFirstInEachSignedness)
{
    Bytes b({0xFF, 0xFE, 0xFF, 0xFE, 0x01, 0x02, 0x03, 0x04, 0x80, 0, 0, 0, 0, 0, 0, 1});
    EXPECT_EQ(b.in.ReadBigEndian<int16_t>(), -2);
    EXPECT_EQ(b.in.ReadBigEndian<uint16_t>(), 0xFFFE);
    EXPECT_EQ(b.in.ReadBigEndian<uint32_t>(), 0x01020304u);
    EXPECT_EQ(b.in.ReadBigEndian<uint64_t>(), 0x8000000000000001ull);
}

TEST(BigEndianReader, SeeksOutsideAMemoryRangeFail)
{
    Bytes b({1, 2, 3});
    EXPECT_THROW(b.in.Seek(4), std::out_of_range);
    b.in.Seek(3); // the end itself is a valid position
    EXPECT_THROW(b.in.Skip(-4), std::out_of_range);
    b.in.Skip(-1);
    EXPECT_EQ(b.in.ReadBigEndian<uint8_t>(), 3);
    b.stream.seekg(-2, std::ios_base::end);
    EXPECT_EQ(b.in.ReadBigEndian<uint8_t>(), 2);
}

TEST(BigEndianReader, ByteVectorLongerThanTheStreamIsRefusedBeforeAllocating)
{
    Bytes b({1, 2, 3, 4});
    EXPECT_THROW(b.in.ReadByteVector(size_t(1) << 60), std::out_of_range);
    EXPECT_EQ(b.in.ReadByteVector(4), (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(BigEndianReader, PositionGuardRestoresEvenWhenTheLookAheadThrows)
{
    Bytes b({1, 2, 3});
    b.in.Skip(1);
    try {
        StreamPosGuard guard(b.stream);
        b.in.ReadByteVector(2);
        b.in.ReadBigEndian<uint8_t>();
    } catch (const std::out_of_range&) {
    }
    EXPECT_EQ(b.in.Tell(), 1u);
}

TEST(PascalStrings, AlignmentTwoPadsOddTotals)
{
    Bytes odd({3, 'a', 'b', 'c', 9});
    EXPECT_EQ(odd.in.ReadPascalString(2), "abc");
    EXPECT_EQ(odd.in.Tell(), 4u);

    Bytes even({2, 'a', 'b', 0, 9});
    EXPECT_EQ(even.in.ReadPascalString(2), "ab");
    EXPECT_EQ(even.in.Tell(), 4u);

    Bytes plain({2, 'a', 'b', 0});
    EXPECT_EQ(plain.in.ReadPascalString(1), "ab");
    EXPECT_EQ(plain.in.Tell(), 3u);

    Bytes empty({0, 0});
    EXPECT_EQ(empty.in.ReadPascalString(2), "");
    EXPECT_EQ(empty.in.Tell(), 2u);
}

TEST(PascalStrings, FixedFieldIsSkippedWholeAndMayNotOverflow)
{
    Bytes b({2, 'h', 'i', 'x', 'x', 7});
    EXPECT_EQ(b.in.ReadPascalStringFixed(4), "hi");
    EXPECT_EQ(b.in.ReadBigEndian<uint8_t>(), 7);
    Bytes bad({5, 'a', 'b', 'c'});
    EXPECT_THROW(bad.in.ReadPascalStringFixed(3), std::out_of_range);
}

TEST(PascalStrings, WritingPadsLikeReadingAndRefusesLongStrings)
{
    std::ostringstream out;
    WritePascalString(out, "ab", 2);
    WritePascalString(out, "abc", 2);
    WritePascalString(out, std::string(255, 'z'));
    std::string bytes = out.str();
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x02"
                                              "ab\0\x03"
                                              "abc",
                                              8));
    EXPECT_EQ(bytes.size(), 8u + 256u);

    Bytes back(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    EXPECT_EQ(back.in.ReadPascalString(2), "ab");
    EXPECT_EQ(back.in.ReadPascalString(2), "abc");
    EXPECT_EQ(back.in.ReadPascalString(1).size(), 255u);

    try {
        WritePascalString(out, std::string(256, 'z'));
        FAIL();
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "WritePascalString: must be <255 characters!");
    }
}

double Extended(std::vector<uint8_t> bytes)
{
    Bytes b(std::move(bytes));
    return b.in.ReadExtendedFloat();
}

TEST(ExtendedFloat, ConvertsSampleRatesZerosAndInfinities)
{
    EXPECT_EQ(Extended({0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}), 44100.0);
    EXPECT_EQ(Extended({0x40, 0x0D, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}), 22050.0);
    EXPECT_EQ(Extended({0x3F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0}), 1.0);
    EXPECT_EQ(Extended({0xBF, 0xFF, 0xC0, 0, 0, 0, 0, 0, 0, 0}), -1.5);
    // Bits only in the low mantissa word still count.
    EXPECT_EQ(Extended({0x3F, 0xFF, 0x80, 0, 0, 0, 0x80, 0, 0, 0}), 1.0 + std::ldexp(1.0, -32));

    double zero = Extended({0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(zero, 0.0);
    EXPECT_FALSE(std::signbit(zero));
    EXPECT_TRUE(std::signbit(Extended({0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0})));

    EXPECT_EQ(Extended({0x7F, 0xFF, 0x12, 0x34, 0, 0, 0, 0, 0, 1}), HUGE_VAL);
    EXPECT_EQ(Extended({0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}), -HUGE_VAL);
    EXPECT_THROW(Extended({0x40, 0x0E, 0xAC}), std::out_of_range);
}

TEST(StructPack, BigEndianFieldsAreSwappedInPlace)
{
    uint8_t record[8] = {0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03};
    EXPECT_EQ(StructUnpack(">2h i", record), 8u);
    int16_t a, b;
    int32_t c;
    std::memcpy(&a, record, 2);
    std::memcpy(&b, record + 2, 2);
    std::memcpy(&c, record + 4, 4);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(c, 3);

    uint8_t wide[16] = {0, 0, 0, 0, 0, 0, 0, 5, 1, 2, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(StructUnpack(">q\n\tBBxx\r 4x", wide), 16u);
    int64_t q;
    std::memcpy(&q, wide, 8);
    EXPECT_EQ(q, 5);
    EXPECT_EQ(wide[8], 1); // single bytes are never swapped
}

TEST(StructPack, LittleEndianDataIsLeftAlone)
{
    uint8_t data[16] = {1, 2, 3, 4};
    EXPECT_EQ(StructUnpack("<4i", data), 16u);
    EXPECT_EQ(data[0], 1);
    EXPECT_EQ(data[3], 4);
    EXPECT_EQ(StructUnpack(">IiIIIbb", nullptr), 22u);
}

TEST(StructPack, MalformedFormatsThrowTheirMessages)
{
    struct Case
    {
        const char* format;
        const char* message;
    };
    Case cases[] = {
        {">h i", "illegal word alignment in structpack format"},
        {"hi", "first format char must be endianness indicator"},
        {">hz", "unknown format char in structpack format"},
        {">99999999999h", "repeat count too large in structpack format"},
        {nullptr, "can't unpack without a format"},
    };
    for (const Case& c : cases) {
        try {
            StructUnpack(c.format, nullptr);
            ADD_FAILURE() << (c.format ? c.format : "null");
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(StructPack, ArraysMustMatchTheirRecordSizeAndAreCheckedBeforeConverting)
{
    uint8_t records[44] = {0, 0, 0, 1};
    EXPECT_EQ(StructUnpackArray(">IiIIIbb", 22, 1, records), 22u);
    uint32_t first;
    std::memcpy(&first, records, 4);
    EXPECT_EQ(first, 1u);

    uint8_t untouched[48] = {0, 0, 0, 1};
    EXPECT_THROW(StructUnpackArray(">IiIIIbb", 24, 2, untouched), std::invalid_argument);
    EXPECT_EQ(untouched[3], 1);
    EXPECT_EQ(SwapIntegers(2, 2, untouched), 4u);
    EXPECT_EQ(untouched[0], 0);
    EXPECT_EQ(untouched[1], 0);
    EXPECT_EQ(untouched[2], 1);
}

TEST(ReportTodo, ColoursByLevelAndThrowsOnlyAtLevelTwo)
{
    testing::internal::CaptureStderr();
    ReportTodo("SndPlayDoubleBuffer", "", 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "\x1b[33m[TODO] \x1b[1mSndPlayDoubleBuffer\x1b[22m\x1b[0m\n");

    testing::internal::CaptureStderr();
    try {
        ReportTodo("SndDoCommand", "command 42", 2);
        ADD_FAILURE();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "[TODO] \x1b[1mSndDoCommand\x1b[22m: command 42");
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "\x1b[31m[TODO] \x1b[1mSndDoCommand\x1b[22m: command 42\x1b[0m\n");
}

} // namespace
