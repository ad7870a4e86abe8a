// Sound files: AIFF and AIFF-C from an independent encoder and built chunk by chunk, MP3 against
// an independent decoder, the choice by extension, and damaged files.

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <stdexcept>

#include "SoundTestSupport.h"
#include "Tarnet/Streams/MemStream.h"

using namespace Tarnet;
using namespace Tarnet::Sound;

namespace {

SoundDescription ParseAIFF(const std::vector<uint8_t>& file)
{
    memstream stream(file.data(), file.size());
    return ReadAIFF(stream);
}

template <typename Exception> std::string ParseError(const std::vector<uint8_t>& file)
{
    try {
        ParseAIFF(file);
    } catch (const Exception& e) {
        return e.what();
    }
    return "(accepted)";
}

const std::vector<uint8_t> kFourSamples = BigEndianSamples({100, -100, 200, -200});

class SoundFileTest : public SoundTest
{
protected:
    Handle Load(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        int16_t refNum = OpenSoundFile(name, bytes);
        Handle block = nullptr;
        try {
            block = LoadSoundFile(refNum);
        } catch (...) {
            FSClose(refNum);
            throw;
        }
        FSClose(refNum);
        return block;
    }
};

TEST_F(SoundFileTest, IndependentlyEncodedAIFFLoadsWithItsSamplesUnchanged)
{
    // 22050 Hz mono sweep; a comment chunk comes before COMM.
    std::vector<uint8_t> file = ReferenceFile("sweep-mono-22050.aiff");
    Handle block = Load("sweep.aiff", file);
    ASSERT_NE(block, nullptr);
    SoundDescription description = BlockDescription(block);
    EXPECT_EQ(description.numChannels, 1);
    EXPECT_EQ(description.numFrames, 1984);
    EXPECT_EQ(description.bitsPerSample, 16);
    EXPECT_EQ(description.sampleRate, 22050.0);
    EXPECT_TRUE(description.bigEndian);
    EXPECT_FALSE(description.compressed);
    EXPECT_EQ(description.encodedLength, 1984 * 2);
    EXPECT_EQ(description.baseNote, 60);
    std::vector<uint8_t> data = BlockData(block);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), file.end() - long(data.size())));
    DisposeHandle(block);

    // AIFF-C stereo, 11025 Hz, with FVER and an odd-length compression name.
    SoundDescription stereo = ParseAIFF(ReferenceFile("stereo-11025.aifc"));
    EXPECT_EQ(stereo.numChannels, 2);
    EXPECT_EQ(stereo.numFrames, 551);
    EXPECT_EQ(stereo.sampleRate, 11025.0);
    EXPECT_EQ(stereo.codec, OSTypeFrom("NONE"));
    EXPECT_EQ(stereo.encodedLength, 551 * 4);
}

TEST_F(SoundFileTest, ChunkOrderPaddingMarkersAndUnusualRates)
{
    // Chunks after SSND, an odd-sized chunk with its pad byte, a repeated marker ID (the later
    // wins) and a fractional rate.
    std::vector<uint8_t> file = AIFFBuilder()
                                    .Common(1, 4, 16, 22254.545454)
                                    .Chunk("ANNO", {'o', 'd', 'd'})
                                    .Markers({{1, 0}, {2, 1}, {2, 4}})
                                    .Instrument(72, 1, 1, 2)
                                    .Sound(kFourSamples)
                                    .Chunk("APPL", {1, 2, 3, 4, 5})
                                    .Build();
    SoundDescription description = ParseAIFF(file);
    EXPECT_NEAR(description.sampleRate, 22254.545454, 1e-6);
    EXPECT_EQ(description.baseNote, 72);
    EXPECT_EQ(description.loopStart, 0);
    EXPECT_EQ(description.loopEnd, 4);
    EXPECT_EQ(description.encodedLength, 8);
}

TEST_F(SoundFileTest, LittleEndianAIFCIsReadWithoutSwapping)
{
    std::vector<uint8_t> file =
        AIFFBuilder(true).Version().Common(1, 2, 16, 8000, "sowt").Sound({1, 2, 3, 4}).Build();
    SoundDescription description = ParseAIFF(file);
    EXPECT_FALSE(description.bigEndian);
    EXPECT_FALSE(description.compressed);
    EXPECT_EQ(description.codec, OSTypeFrom("sowt"));
}

TEST_F(SoundFileTest, CompressedAIFCDecodesThroughItsCodec)
{
    // The mu-law reference bytes in an AIFF-C container play as the reference decode.
    std::vector<uint8_t> encoded = ReferenceFile("sweep-8000.ulaw");
    std::vector<uint8_t> file = AIFFBuilder(true)
                                    .Version()
                                    .Common(1, uint32_t(encoded.size()), 8, 8000, "ulaw")
                                    .Sound(encoded)
                                    .Build();
    Handle block = Load("sweep.aifc", file);
    SoundDescription description = BlockDescription(block);
    EXPECT_TRUE(description.compressed);
    EXPECT_EQ(description.decodedLength, int32_t(encoded.size() * 2));
    std::vector<uint8_t> decoded(size_t(CheckedDecodedLength(description)));
    DecodeSoundData(description, BlockData(block), decoded);
    std::vector<int16_t> samples(decoded.size() / 2);
    std::memcpy(samples.data(), decoded.data(), decoded.size());
    EXPECT_EQ(samples, BigEndianPCM(ReferenceFile("sweep-8000.ulaw.pcm16be")));
    DisposeHandle(block);

    // IMA4 whose frame count claims more packets than the data holds is refused before decoding.
    std::vector<uint8_t> ima =
        AIFFBuilder(true).Version().Common(1, 3, 16, 8000, "ima4").Sound(std::vector<uint8_t>(34, 0)).Build();
    description = ParseAIFF(ima);
    EXPECT_THROW(CheckedDecodedLength(description), std::invalid_argument);
}

TEST_F(SoundFileTest, StructuralFaultsEndInTheirOwnMessages)
{
    auto common = [] { return AIFFBuilder().Common(1, 4, 16, 8000); };
    EXPECT_EQ(ParseError<std::runtime_error>(Bytes().Tag("RIFF").U32(4).Tag("WAVE").data),
              "AIFF: invalid FORM");
    EXPECT_EQ(ParseError<std::runtime_error>(Bytes().Tag("FORM").U32(4).Tag("WAVE").data),
              "AIFF: not an AIFF or AIFC file");
    EXPECT_EQ(
        ParseError<std::runtime_error>(AIFFBuilder().Sound(kFourSamples).Common(1, 4, 16, 8000).Build()),
        "AIFF: reached SSND before COMM");
    EXPECT_EQ(ParseError<std::runtime_error>(
                  common().Chunk("SSND", Bytes().U32(4).U32(0).Append(kFourSamples).data).Build()),
              "AIFF: unexpected offset/blockSize in SSND");
    EXPECT_EQ(ParseError<std::runtime_error>(AIFFBuilder(true).Version(1).Build()),
              "AIFF: unrecognized FVER");
    EXPECT_EQ(ParseError<std::runtime_error>(common().Instrument(60, 2, 1, 2).Sound(kFourSamples).Build()),
              "unsupported AIFF INST playMode");
    EXPECT_EQ(ParseError<std::runtime_error>(AIFFBuilder(true).Common(1, 4, 16, 8000, "GSM ").Build()),
              "unknown AIFF-C compression type");
    EXPECT_EQ(
        ParseError<std::runtime_error>(
            AIFFBuilder().Chunk("COMM", Bytes().U16(1).U32(4).U16(16).Extended(8000).U16(0).data).Build()),
        "AIFF: incorrect end-of-chunk position");
    EXPECT_EQ(ParseError<std::runtime_error>(common().Build()), "AIFF: no SSND chunk");
    EXPECT_EQ(ParseError<std::out_of_range>({}), "Read past end of stream!");

    // Loop markers defined only after the INST that uses them.
    std::string late = ParseError<std::out_of_range>(
        common().Instrument(60, 1, 1, 2).Markers({{1, 0}, {2, 4}}).Sound(kFourSamples).Build());
    EXPECT_NE(late.find("marker 1"), std::string::npos) << late;
}

TEST_F(SoundFileTest, ClaimedSizesBeyondTheDataAreRefusedBeforeAllocating)
{
    // A SSND chunk claiming 2 GB in a file of a few bytes.
    std::vector<uint8_t> file = AIFFBuilder().Common(1, 4, 16, 8000).Build();
    Bytes tail;
    tail.Tag("SSND").U32(0x7FFFFFF0).U32(0).U32(0).Append(kFourSamples);
    file.insert(file.end(), tail.data.begin(), tail.data.end());
    const uint32_t formSize = uint32_t(file.size() - 8);
    for (int i = 0; i < 4; i++)
        file[size_t(4 + i)] = uint8_t(formSize >> (24 - 8 * i));
    std::string message = ParseError<std::runtime_error>(file);
    EXPECT_NE(message.find("runs past the end of the file"), std::string::npos) << message;

    // Sample rates, channel counts and sample sizes the mixer cannot play.
    EXPECT_NE(ParseError<std::runtime_error>(AIFFBuilder().Common(1, 4, 16, 0).Sound(kFourSamples).Build())
                  .find("sample rate"),
              std::string::npos);
    EXPECT_NE(ParseError<std::runtime_error>(AIFFBuilder().Common(6, 4, 16, 8000).Sound(kFourSamples).Build())
                  .find("channel count"),
              std::string::npos);
    EXPECT_NE(ParseError<std::runtime_error>(AIFFBuilder().Common(1, 4, 24, 8000).Sound(kFourSamples).Build())
                  .find("sample size"),
              std::string::npos);
    // A compressed frame count whose decode would be enormous.
    EXPECT_NE(ParseError<std::runtime_error>(
                  AIFFBuilder(true).Common(2, 0x7FFFFFFF, 16, 8000, "ima4").Sound(kFourSamples).Build())
                  .find("decoded size"),
              std::string::npos);
}

TEST_F(SoundFileTest, ExtensionChoosesTheReaderWhateverItsCase)
{
    std::vector<uint8_t> aiff = AIFFBuilder().Common(1, 4, 16, 8000).Sound(kFourSamples).Build();
    for (const char* name : {"X.aif", "Y.AIFF", "Z.AiFc"}) {
        Handle block = Load(name, aiff);
        EXPECT_NE(block, nullptr) << name;
        DisposeHandle(block);
    }
    EXPECT_EQ(Load("X.wav", aiff), nullptr);
    EXPECT_EQ(Load("noextension", aiff), nullptr);
    EXPECT_THROW(Load("wrong.mp3", aiff), std::runtime_error);
    EXPECT_THROW(Load("wrong.aiff", ReferenceFile("tone-32000.mp3")), std::runtime_error);
    EXPECT_THROW(Load("empty.aiff", {}), std::out_of_range);
    EXPECT_THROW(Load("empty.mp3", {}), std::runtime_error);
}

// tone-32000.mp3: a 1 kHz tone encoded by an independent encoder; the .pcm16be file holds the
// first 1000 samples of its own decoder's output, which drops the codec delay (1105 samples).
TEST_F(SoundFileTest, MP3DecodesEveryFrameLikeAnIndependentDecoder)
{
    Handle block = Load("tone.mp3", ReferenceFile("tone-32000.mp3"));
    ASSERT_NE(block, nullptr);
    SoundDescription description = BlockDescription(block);
    EXPECT_EQ(description.sampleRate, 32000.0);
    EXPECT_EQ(description.numChannels, 1);
    EXPECT_EQ(description.numFrames, 8 * 1152); // every audio frame, nothing trimmed
    EXPECT_EQ(description.codec, OSTypeFrom("twos"));
    EXPECT_FALSE(description.bigEndian);
    EXPECT_EQ(description.encodedLength, description.numFrames * 2);

    std::vector<uint8_t> data = BlockData(block);
    std::vector<int16_t> samples(data.size() / 2);
    std::memcpy(samples.data(), data.data(), data.size());
    std::vector<int16_t> expected = BigEndianPCM(ReferenceFile("tone-32000.mp3.pcm16be"));
    const size_t delay = 1105;
    int worst = 0;
    for (size_t i = 0; i < expected.size(); i++)
        worst = std::max(worst, std::abs(samples[delay + i] - expected[i]));
    EXPECT_LE(worst, 2);
    DisposeHandle(block);
}

TEST_F(SoundFileTest, MP3WithoutFramesIsRefused)
{
    std::vector<uint8_t> junk(5000);
    for (size_t i = 0; i < junk.size(); i++)
        junk[i] = uint8_t(i * 31 + 7);
    EXPECT_THROW(DecodeMP3(junk), std::runtime_error);
    EXPECT_THROW(DecodeMP3({}), std::runtime_error);
    // A truncated file keeps the frames that are whole.
    std::vector<uint8_t> mp3 = ReferenceFile("tone-32000.mp3");
    mp3.resize(mp3.size() / 2);
    DecodedMP3 half = DecodeMP3(mp3);
    EXPECT_GT(half.description.numFrames, 0);
    EXPECT_LT(half.description.numFrames, 8 * 1152);
}

} // namespace
