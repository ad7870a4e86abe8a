// Sound Manager: channels and their list, every command's effect on the voice, status, file
// playback, and the 'snd ' header calls with standard, extended and compressed headers.

#include <functional>
#include <stdexcept>

#include "SoundTestSupport.h"
#include "Tarnet/Sound/Codecs.h"

using namespace Tarnet;
using namespace Tarnet::Sound;

namespace {

// A standard sound header (8-bit offset binary, mono) and its samples.
std::vector<uint8_t> StandardHeader(const std::vector<uint8_t>& samples, uint32_t rate = 44100u << 16,
                                    uint8_t baseNote = 60, uint32_t loopStart = 0, uint32_t loopEnd = 0)
{
    Bytes b;
    b.U32(0).U32(uint32_t(samples.size())).U32(rate).U32(loopStart).U32(loopEnd).U8(0).U8(baseNote);
    return b.Append(samples).data;
}

// An extended (0xFF) or compressed (0xFE) header: 64 bytes, then the data.
std::vector<uint8_t> LongHeader(uint8_t encoding, int channels, uint32_t frames, int bits, uint32_t format,
                                const std::vector<uint8_t>& data)
{
    Bytes b;
    b.U32(0).U32(uint32_t(channels)).U32(22050u << 16).U32(0).U32(0).U8(encoding).U8(60);
    b.U32(frames);
    if (encoding == 0xFF) {
        b.Append(std::vector<uint8_t>(22, 0)).U16(uint16_t(bits)).Append(std::vector<uint8_t>(14, 0));
    } else {
        b.Append(std::vector<uint8_t>(14, 0)).U32(format).Append(std::vector<uint8_t>(20, 0));
    }
    EXPECT_EQ(b.Size(), 64u);
    return b.Append(data).data;
}

// A format 2 'snd ' resource: reference count, one bufferCmd pointing at the header after it.
std::vector<uint8_t> Format2Resource(const std::vector<uint8_t>& header)
{
    Bytes b;
    b.U16(2).U16(0).U16(1).U16(0x8000 | bufferCmd).U16(0).U32(14);
    return b.Append(header).data;
}

Handle HandleWith(const std::vector<uint8_t>& bytes)
{
    Handle h = nullptr;
    EXPECT_EQ(PtrToHand(bytes.data(), &h, Size(bytes.size())), noErr);
    return h;
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

class SoundManagerTest : public SoundTest
{
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
        ASSERT_EQ(SndNewChannel(&channel, sampledSynth, initMono, nullptr), noErr);
    }

    void Send(uint16_t cmd, int16_t param1 = 0, intptr_t param2 = 0)
    {
        SndCommand command{cmd, param1, param2};
        EXPECT_EQ(SndDoImmediate(channel, &command), noErr);
    }
    cmixer::WavStream& Voice() { return *GetChannelVoice(channel); }
    ChannelParameters Parameters() { return GetChannelParameters(channel); }

    SndChannelPtr channel = nullptr;
};

TEST_F(SoundManagerTest, ChannelsAreListedNewestFirstAndFreedOnDisposal)
{
    SndChannel own{};
    SndChannelPtr mine = &own;
    EXPECT_EQ(SndNewChannel(&mine, 1, 0, nullptr), unimpErr);
    ASSERT_EQ(SndNewChannel(&mine, sampledSynth, initStereo, nullptr), noErr);
    EXPECT_EQ(mine, &own);
    EXPECT_EQ(own.nextChan, channel);
    EXPECT_TRUE(Parameters().interpolate);
    EXPECT_TRUE(GetChannelParameters(mine).interpolate);

    SndChannelPtr plain = nullptr;
    ASSERT_EQ(SndNewChannel(&plain, sampledSynth, initNoInterp, nullptr), noErr);
    EXPECT_FALSE(GetChannelParameters(plain).interpolate);
    EXPECT_EQ(plain->nextChan, &own);
    EXPECT_EQ(CountSoundChannels(), 3);

    EXPECT_EQ(SndDisposeChannel(mine, true), noErr);
    EXPECT_EQ(own.channelImpl, nullptr);
    EXPECT_EQ(plain->nextChan, channel);
    EXPECT_EQ(SndDisposeChannel(plain, true), noErr);
    EXPECT_EQ(CountSoundChannels(), 1);
}

TEST_F(SoundManagerTest, VolumeCommandSplitsIntoPanAndVolume)
{
    struct Case
    {
        intptr_t param2;
        double volume;
        double pan;
    };
    for (Case c : {Case{0x01000100, 1.0, 0.0}, Case{0x00000100, 1.0, -1.0}, Case{0x02000000, 2.0, 1.0},
                   Case{0, 0.0, 0.0}}) {
        Send(volumeCmd, 0, c.param2);
        EXPECT_DOUBLE_EQ(Parameters().volume, c.volume) << std::hex << c.param2;
        EXPECT_DOUBLE_EQ(Parameters().pan, c.pan) << std::hex << c.param2;
        EXPECT_DOUBLE_EQ(Voice().GetGain(), c.volume);
        EXPECT_DOUBLE_EQ(Voice().GetPan(), c.pan);
    }
    Send(ampCmd, 3 * 256);
    EXPECT_DOUBLE_EQ(Parameters().volume, 2.5);
    Send(ampCmd, 128);
    EXPECT_DOUBLE_EQ(Voice().GetGain(), 0.5);
}

TEST_F(SoundManagerTest, NoteAndRateCommandsSetThePitch)
{
    std::vector<uint8_t> header = StandardHeader(std::vector<uint8_t>(4000, 0x90));
    Send(bufferCmd, 0, intptr_t(header.data()));
    EXPECT_EQ(Voice().GetStep(), 4096);
    Send(freqCmd, 0, 72);
    EXPECT_EQ(Voice().GetStep(), 8192);
    Send(rateCmd, 0, 0x00020000);
    EXPECT_EQ(Voice().GetStep(), 16384);
    Send(rateMultiplierCmd, 0, 0x00008000);
    EXPECT_EQ(Voice().GetStep(), 4096);
    EXPECT_EQ(Parameters().playedNote, 72);
    Send(quietCmd);
}

TEST_F(SoundManagerTest, BufferCommandPlaysTheCallersSamplesWithTheChannelSettings)
{
    std::vector<uint8_t> header = StandardHeader({0x80, 0x90, 0xA0, 0xC0});
    Send(volumeCmd, 0, 0x00000100); // full left, silent right
    Send(bufferCmd, 0, intptr_t(header.data()));
    EXPECT_EQ(Voice().GetState(), cmixer::kPlaying);
    std::vector<int16_t> out = Mix(6);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[2], 0x1000);
    EXPECT_EQ(out[6], 0x4000);
    EXPECT_EQ(out[7], 0);
    EXPECT_EQ(out[8], 0); // ended
    EXPECT_EQ(Voice().GetState(), cmixer::kStopped);

    // The sound's own loop points make it loop; the channel's loop flag is not applied.
    std::vector<uint8_t> looped = StandardHeader({0x80, 0x90, 0xA0, 0xC0}, 44100u << 16, 60, 1, 4);
    Send(bufferCmd, 0, intptr_t(looped.data()));
    EXPECT_TRUE(Voice().IsLooping());
    EXPECT_EQ(Voice().GetLoopStart(), 1);
    out = Mix(6);
    EXPECT_EQ(out[8], 0x1000); // frame 4 wraps to frame 1
    Send(loopExtensionCmd, 0);
    EXPECT_FALSE(Voice().IsLooping());
    Send(quietCmd);
    EXPECT_EQ(Voice().GetState(), cmixer::kStopped);
}

TEST_F(SoundManagerTest, StatusPauseAndResumeFollowTheVoice)
{
    SCStatus status{};
    EXPECT_EQ(SndChannelStatus(channel, 23, &status), paramErr);

    Send(pauseExtensionCmd); // stopped: nothing happens
    EXPECT_EQ(Voice().GetState(), cmixer::kStopped);

    std::vector<uint8_t> header = StandardHeader(std::vector<uint8_t>(4000, 0x90));
    Send(bufferCmd, 0, intptr_t(header.data()));
    Send(resumeExtensionCmd); // playing: nothing happens
    EXPECT_EQ(Voice().GetState(), cmixer::kPlaying);
    Send(pauseExtensionCmd);
    ASSERT_EQ(SndChannelStatus(channel, sizeof(status), &status), noErr);
    EXPECT_EQ(status.scChannelBusy, 1);
    EXPECT_EQ(status.scChannelPaused, 1);
    Send(resumeExtensionCmd);
    EXPECT_EQ(Voice().GetState(), cmixer::kPlaying);
    EXPECT_EQ(SndPauseFilePlay(channel), noErr);
    EXPECT_EQ(Voice().GetState(), cmixer::kPaused);
    EXPECT_EQ(SndStopFilePlay(channel, true), noErr);
    ASSERT_EQ(SndChannelStatus(channel, sizeof(status), &status), noErr);
    EXPECT_EQ(status.scChannelBusy, 0);

    Send(reInitCmd, 0, initNoInterp);
    EXPECT_FALSE(Voice().IsInterpolating());
    Send(1234); // unknown commands are ignored
}

TEST_F(SoundManagerTest, FilePlayChecksItsArgumentsAndPlaysAIFF)
{
    std::vector<uint8_t> aiff =
        AIFFBuilder().Common(1, 4, 16, 44100).Sound(BigEndianSamples({1000, 2000, 3000, 4000})).Build();
    int16_t refNum = OpenSoundFile("blip.aiff", aiff);
    EXPECT_EQ(SndStartFilePlay(channel, refNum, 1, 0, nullptr, nullptr, nullptr, true), unimpErr);
    EXPECT_EQ(SndStartFilePlay(nullptr, refNum, 0, 0, nullptr, nullptr, nullptr, true), badChannel);
    EXPECT_EQ(SndStartFilePlay(nullptr, refNum, 0, 0, nullptr, nullptr, nullptr, false), unimpErr);
    int selection = 0;
    EXPECT_EQ(SndStartFilePlay(channel, refNum, 0, 0, nullptr, &selection, nullptr, true), unimpErr);

    static int completions;
    completions = 0;
    EXPECT_EQ(SndStartFilePlay(
                  channel, refNum, 0, 0, nullptr, nullptr, [](SndChannelPtr) { completions++; }, true),
              noErr);
    FSClose(refNum); // the channel has its own copy
    std::vector<int16_t> out = Mix(8);
    EXPECT_EQ(out[0], 1000);
    EXPECT_EQ(out[6], 4000);
    EXPECT_EQ(out[8], 0);
    EXPECT_EQ(completions, 1);

    int16_t wav = OpenSoundFile("blip.wav", aiff);
    EXPECT_EQ(SndStartFilePlay(channel, wav, 0, 0, nullptr, nullptr, nullptr, true), badFileFormat);
    FSClose(wav);

    // Synchronous play with no device to end it returns at once.
    refNum = OpenSoundFile("blip.aiff", aiff);
    EXPECT_EQ(SndStartFilePlay(channel, refNum, 0, 0, nullptr, nullptr, nullptr, false), noErr);
    EXPECT_EQ(Voice().GetState(), cmixer::kStopped);
    FSClose(refNum);
}

TEST_F(SoundManagerTest, HeaderOffsetComesFromTheFirstSoundCommand)
{
    long offset = 0;
    Handle format2 =
        HandleWith(Bytes().U16(2).U16(0).U16(2).U16(0).U16(0).U32(0).U16(bufferCmd).U16(0).U32(20).data);
    EXPECT_EQ(GetSoundHeaderOffset(format2, &offset), noErr);
    EXPECT_EQ(offset, 20);
    DisposeHandle(format2);

    Handle format1 =
        HandleWith(Bytes().U16(1).U16(1).U16(5).U32(0x80).U16(1).U16(soundCmd).U16(0).U32(42).data);
    EXPECT_EQ(GetSoundHeaderOffset(format1, &offset), noErr);
    EXPECT_EQ(offset, 42);
    DisposeHandle(format1);

    Handle format3 = HandleWith(Bytes().U16(3).U16(0).data);
    EXPECT_EQ(GetSoundHeaderOffset(format3, &offset), badFormat);
    DisposeHandle(format3);

    Handle noSound = HandleWith(Bytes().U16(2).U16(0).U16(1).U16(quietCmd).U16(0).U32(0).data);
    EXPECT_EQ(GetSoundHeaderOffset(noSound, &offset), badFormat);
    DisposeHandle(noSound);

    for (auto [modifiers, modifier, flags, detail] :
         {std::tuple{2, 5, 0, "only 1 modifier per 'snd ' is supported"},
          std::tuple{1, 3, 0, "only sampledSynth 'snd ' is supported"},
          std::tuple{1, 5, 0x0400, "MACE-6 not supported yet"}}) {
        Handle h = HandleWith(
            Bytes().U16(1).U16(uint16_t(modifiers)).U16(uint16_t(modifier)).U32(uint32_t(flags)).data);
        std::string message = MessageOf<std::runtime_error>([&] { GetSoundHeaderOffset(h, &offset); });
        EXPECT_NE(message.find(detail), std::string::npos) << message;
        DisposeHandle(h);
    }

    Handle truncated = HandleWith({0});
    EXPECT_THROW(GetSoundHeaderOffset(truncated, &offset), std::out_of_range);
    DisposeHandle(truncated);
}

TEST_F(SoundManagerTest, ExtendedHeaderDescribesBigEndianDataAndExpandsToHostOrder)
{
    std::vector<uint8_t> data(4000);
    for (size_t i = 0; i < data.size(); i++)
        data[i] = uint8_t(i);
    std::vector<uint8_t> header = LongHeader(0xFF, 2, 1000, 16, 0, data);
    SoundDescription description;
    DescribeSoundHeader(header.data(), header.size(), &description);
    EXPECT_EQ(description.numChannels, 2);
    EXPECT_EQ(description.numFrames, 1000);
    EXPECT_EQ(description.encodedLength, 4000);
    EXPECT_EQ(description.dataStart, header.data() + 64);
    EXPECT_TRUE(description.bigEndian);
    EXPECT_EQ(description.codec, OSTypeFrom("twos"));
    EXPECT_EQ(description.sampleRate, 22050.0);

    Handle sound = HandleWith(Format2Resource(header));
    long offset = 0;
    ASSERT_EQ(ExpandSoundHandle(&sound, &offset), noErr);
    EXPECT_EQ(offset, 2);
    SoundDescription expanded = BlockDescription(sound);
    EXPECT_FALSE(expanded.bigEndian);
    std::vector<uint8_t> swapped = BlockData(sound);
    ASSERT_EQ(swapped.size(), 4000u);
    int16_t first;
    std::memcpy(&first, swapped.data(), 2);
    EXPECT_EQ(first, 0x0001);

    // The block is itself a sound resource: offset 2, and it describes itself.
    EXPECT_EQ(GetSoundHeaderOffset(sound, &offset), noErr);
    DescribeSoundHeader(reinterpret_cast<uint8_t*>(*sound) + 2, size_t(GetHandleSize(sound)) - 2,
                        &description);
    EXPECT_EQ(description.numFrames, 1000);
    DisposeHandle(sound);
}

TEST_F(SoundManagerTest, CompressedHeaderExpandsThroughItsCodec)
{
    std::vector<uint8_t> packets(2 * 34, 0);
    packets[2] = 0x07;
    std::vector<uint8_t> header = LongHeader(0xFE, 1, 2, 0, OSTypeFrom("ima4"), packets);
    Handle sound = HandleWith(Format2Resource(header));
    long offset = 0;
    ASSERT_EQ(ExpandSoundHandle(&sound, &offset), noErr);
    SoundDescription expanded = BlockDescription(sound);
    EXPECT_EQ(expanded.codec, OSTypeFrom("twos"));
    EXPECT_EQ(expanded.bitsPerSample, 16);
    EXPECT_EQ(expanded.numFrames, 128);
    EXPECT_EQ(expanded.encodedLength, 256);
    EXPECT_FALSE(expanded.compressed);
    int16_t first;
    std::memcpy(&first, BlockData(sound).data(), 2);
    EXPECT_EQ(first, 11);
    DisposeHandle(sound);

    // Format 0 means MACE 3:1.
    SoundDescription mace;
    std::vector<uint8_t> maceHeader = LongHeader(0xFE, 1, 3, 0, 0, std::vector<uint8_t>(6, 0));
    DescribeSoundHeader(maceHeader.data(), maceHeader.size(), &mace);
    EXPECT_EQ(mace.codec, OSTypeFrom("MAC3"));
    EXPECT_EQ(mace.bitsPerSample, 8);
    EXPECT_EQ(mace.decodedLength, 36);
}

TEST_F(SoundManagerTest, DamagedHeadersAreRefused)
{
    SoundDescription description;
    std::vector<uint8_t> pointer = StandardHeader({1, 2});
    pointer[3] = 1;
    EXPECT_NE(MessageOf<std::runtime_error>([&] {
                  DescribeSoundHeader(pointer.data(), pointer.size(), &description);
              }).find("expected 0 at the beginning of an snd"),
              std::string::npos);

    std::vector<uint8_t> odd = StandardHeader({1, 2});
    odd[20] = 0x42;
    EXPECT_NE(MessageOf<std::runtime_error>([&] {
                  DescribeSoundHeader(odd.data(), odd.size(), &description);
              }).find("unsupported snd header encoding 66"),
              std::string::npos);

    // Lengths that claim more than the resource holds, in each kind of header.
    std::vector<uint8_t> standard = StandardHeader(std::vector<uint8_t>(10));
    EXPECT_THROW(DescribeSoundHeader(standard.data(), standard.size() - 1, &description), std::runtime_error);
    std::vector<uint8_t> extended = LongHeader(0xFF, 2, 0x40000000, 16, 0, {});
    EXPECT_THROW(DescribeSoundHeader(extended.data(), extended.size(), &description), std::runtime_error);
    std::vector<uint8_t> compressed =
        LongHeader(0xFE, 1, 100, 0, OSTypeFrom("ima4"), std::vector<uint8_t>(34));
    EXPECT_THROW(DescribeSoundHeader(compressed.data(), compressed.size(), &description), std::runtime_error);
    std::vector<uint8_t> unknown = LongHeader(0xFE, 1, 1, 0, OSTypeFrom("MAC6"), std::vector<uint8_t>(2));
    EXPECT_EQ(MessageOf<std::runtime_error>(
                  [&] { DescribeSoundHeader(unknown.data(), unknown.size(), &description); }),
              "Unknown audio codec: MAC6");
    std::vector<uint8_t> header = StandardHeader({1, 2});
    EXPECT_THROW(DescribeSoundHeader(header.data(), 10, &description), std::out_of_range);

    // A header offset outside the resource.
    Handle outside = HandleWith(Bytes().U16(2).U16(0).U16(1).U16(bufferCmd).U16(0).U32(5000).data);
    long offset = 0;
    EXPECT_THROW(ExpandSoundHandle(&outside, &offset), std::runtime_error);
    DisposeHandle(outside);
}

TEST_F(SoundManagerTest, DefaultOutputVolumeIsTheMasterGain)
{
    long level = 0;
    cmixer::SetMasterGain(0.5);
    EXPECT_EQ(GetDefaultOutputVolume(&level), noErr);
    EXPECT_EQ(level, 0x00800080);
    EXPECT_EQ(SetDefaultOutputVolume(0x01000100), noErr);
    EXPECT_EQ(cmixer::GetMasterGain(), 1.0);
    EXPECT_DOUBLE_EQ(NoteFrequency(69), 440.0);
    EXPECT_DOUBLE_EQ(NoteFrequency(200), 440.0);
    EXPECT_NEAR(NoteFrequency(60), 261.6256, 1e-4);
}

} // namespace
