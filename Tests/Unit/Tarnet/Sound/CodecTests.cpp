// The decoders: G.711 against an independent encoder's decode, IMA4 and MACE 3:1 against values
// worked out by hand from their tables, and the size checks that guard every decode.

#include <functional>
#include <stdexcept>

#include "SoundTestSupport.h"
#include "Tarnet/Sound/Codecs.h"

using namespace Tarnet;
using namespace Tarnet::Sound;

namespace {

std::vector<int16_t> Decode(Codec& codec, int channels, const std::vector<uint8_t>& input,
                            size_t outputSamples)
{
    std::vector<int16_t> output(outputSamples);
    codec.Decode(channels, input, output);
    return output;
}

template <typename Exception> std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Exception& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

TEST(Codecs, UnknownCodesAreRefusedWithPrintableNames)
{
    EXPECT_EQ(MessageOf<std::runtime_error>([] { MakeCodec(OSTypeFrom("MAC6")); }),
              "Unknown audio codec: MAC6");
    EXPECT_EQ(MessageOf<std::runtime_error>([] { MakeCodec(0x41014243); }), "Unknown audio codec: A?BC");
    EXPECT_EQ(FourCCText(OSTypeFrom("a-{`")), "a-{`");
    EXPECT_EQ(MakeCodec(0)->SamplesPerPacket(), 6);
    EXPECT_EQ(MakeCodec(OSTypeFrom("ima4"))->BytesPerPacket(), 34);
    EXPECT_EQ(MakeCodec(OSTypeFrom("alaw"))->NominalBitsPerSample(), 8);
}

TEST(Codecs, G711EndpointsMatchTheStandard)
{
    EXPECT_EQ(DecodeXlawByte(false, 0x00), -32124);
    EXPECT_EQ(DecodeXlawByte(false, 0x80), 32124);
    EXPECT_EQ(DecodeXlawByte(false, 0xFF), 0);
    EXPECT_EQ(DecodeXlawByte(false, 0x7F), 0);
    EXPECT_EQ(DecodeXlawByte(true, 0x55), -8);
    EXPECT_EQ(DecodeXlawByte(true, 0xD5), 8);
}

// The reference files are a sweep encoded and decoded again by an independent tool
// (8 kHz mono, 800 samples; the .pcm16be files hold its decode).
TEST(Codecs, G711DecodesLikeAnIndependentDecoder)
{
    for (bool aLaw : {false, true}) {
        std::string name = aLaw ? "sweep-8000.alaw" : "sweep-8000.ulaw";
        std::vector<uint8_t> encoded = ReferenceFile(name);
        std::vector<int16_t> expected = BigEndianPCM(ReferenceFile(name + ".pcm16be"));
        ASSERT_EQ(encoded.size(), 800u);
        xlaw codec(aLaw);
        EXPECT_EQ(Decode(codec, 1, encoded, encoded.size()), expected) << name;
    }
    xlaw codec(false);
    EXPECT_EQ(MessageOf<std::runtime_error>([&] {
                  Decode(codec, 1, {1, 2, 3}, 2);
              }),
              "ulaw: incorrect input/output buffer sizes");
}

TEST(Codecs, IMA4ExpandsCodesWithTheStepTable)
{
    std::vector<uint8_t> packet(34, 0);
    packet[2] = 0x07; // codes 7 then 0, low nibble first
    IMA4 codec;
    std::vector<int16_t> out = Decode(codec, 1, packet, 64);
    // 7: step 7 gives 0 + 7 + 3 + 1 = 11, index 8; 0: step 16 gives 2, index 7; then steps 14, 13.
    EXPECT_EQ(out[0], 11);
    EXPECT_EQ(out[1], 13);
    EXPECT_EQ(out[2], 14);
    EXPECT_EQ(out[3], 15);
}

TEST(Codecs, IMA4KeepsTheChannelPredictorWhenTheHeaderOnlyRoundsIt)
{
    std::vector<uint8_t> first(34, 0);
    first[2] = 0x77;
    first[3] = 0x77;
    IMA4 codec;
    std::vector<int16_t> alone = Decode(codec, 1, first, 64);
    const int16_t predictor = alone[63]; // the index has decayed to 0 by the end of the packet
    ASSERT_NE(predictor & 0x7F, 0);

    // A second packet whose header rounds the predictor and repeats index 0: codes of 0 at index 0
    // change nothing, so its first sample shows which predictor was used.
    std::vector<uint8_t> second(34, 0);
    second[0] = uint8_t((predictor & 0xFF80) >> 8);
    second[1] = uint8_t(predictor & 0x80);
    std::vector<uint8_t> both = first;
    both.insert(both.end(), second.begin(), second.end());
    EXPECT_EQ(Decode(codec, 1, both, 128)[64], predictor);

    // A header 128 or more away replaces it.
    int16_t far = int16_t((predictor & 0xFF80) + 0x100);
    both[34] = uint8_t(far >> 8);
    both[35] = uint8_t(far & 0x80);
    EXPECT_EQ(Decode(codec, 1, both, 128)[64], far);
}

TEST(Codecs, IMA4RefusesBadStepIndicesAndSizes)
{
    IMA4 codec;
    std::vector<uint8_t> packet(34, 0);
    packet[1] = 89;
    EXPECT_EQ(MessageOf<std::invalid_argument>([&] { Decode(codec, 1, packet, 64); }),
              "step_index[chan]>88!");
    EXPECT_EQ(MessageOf<std::invalid_argument>([&] { Decode(codec, 1, std::vector<uint8_t>(35), 64); }),
              "odd input buffer size");
    EXPECT_EQ(MessageOf<std::invalid_argument>([&] { Decode(codec, 1, std::vector<uint8_t>(34), 63); }),
              "incorrect output size");
    // One packet cannot feed two channels.
    EXPECT_EQ(MessageOf<std::invalid_argument>([&] { Decode(codec, 2, std::vector<uint8_t>(34), 64); }),
              "incorrect output size");
}

TEST(Codecs, MACEDecodesByHandWorkedSamplesAndInterleavesChannels)
{
    // 0x21: codes 1 (set A), 0 (set B), 1 (set A). Worked by hand from the tables' first rows:
    // samples 116, 166, 262, 346, 370, 440 (level decaying by an eighth), of which the output
    // keeps the high byte in both bytes: 0, 0, 257, 257, 257, 257. The 0x00 channel stays below 256.
    MACE codec;
    EXPECT_EQ(Decode(codec, 1, {0x21, 0x21}, 6), (std::vector<int16_t>{0, 0, 257, 257, 257, 257}));
    EXPECT_EQ(Decode(codec, 2, {0x21, 0x21, 0x00, 0x00}, 12),
              (std::vector<int16_t>{0, 0, 0, 0, 257, 0, 257, 0, 257, 0, 257, 0}));
    EXPECT_EQ(MACEAmplitude(true, 127, 0), 9639);
    EXPECT_EQ(MACEAmplitude(false, 2, 1), 236);
    for (int row = 1; row < 128; row++)
        ASSERT_GE(MACEAmplitude(true, row, 1), MACEAmplitude(true, row - 1, 1)) << "row " << row;
}

TEST(Codecs, MACEKeepsEightBitsOfEverySampleAndChecksSizes)
{
    MACE codec;
    std::vector<uint8_t> noise(600);
    for (size_t i = 0; i < noise.size(); i++)
        noise[i] = uint8_t(i * 97 + (i >> 3));
    for (int16_t sample : Decode(codec, 2, noise, noise.size() * 3))
        ASSERT_EQ(sample & 0xFF, (sample >> 8) & 0xFF);

    EXPECT_EQ(MessageOf<std::invalid_argument>([&] { Decode(codec, 1, std::vector<uint8_t>(5), 15); }),
              "odd input buffer size");
    EXPECT_EQ(MessageOf<std::invalid_argument>([&] { Decode(codec, 2, std::vector<uint8_t>(6), 18); }),
              "odd input buffer size");
    EXPECT_EQ(MessageOf<std::invalid_argument>([&] { Decode(codec, 1, std::vector<uint8_t>(4), 13); }),
              "incorrect output size");
}

} // namespace
