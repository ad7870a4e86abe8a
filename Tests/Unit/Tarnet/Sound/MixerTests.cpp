// The mixer: sums, master gain and clipping, the pan law, pitch steps with and without
// interpolation, pass ends and loops, 8-bit conversion, and destruction while mixing.

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <stdexcept>
#include <thread>

#include "SoundTestSupport.h"

namespace {

// A source over host-order 16-bit mono samples.
struct MonoSource
{
    explicit MonoSource(std::vector<int16_t> values, int rate = 44100) : samples(std::move(values))
    {
        stream.Init(rate, 16, 1, false,
                    {reinterpret_cast<const uint8_t*>(samples.data()), samples.size() * sizeof(int16_t)});
    }
    std::vector<int16_t> samples;
    cmixer::WavStream stream;
};

std::vector<int16_t> Ramp(int count, int step)
{
    std::vector<int16_t> values(static_cast<size_t>(count));
    for (int i = 0; i < count; i++)
        values[size_t(i)] = int16_t(i * step);
    return values;
}

class MixerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        cmixer::OpenWithoutDevice(44100, true);
        cmixer::SetMasterGain(1.0);
    }
    void TearDown() override { cmixer::CloseDevice(); }

    static std::vector<int16_t> Mix(int frames)
    {
        std::vector<int16_t> out(size_t(frames) * 2);
        cmixer::MixOutput(out.data(), int(out.size()));
        return out;
    }
};

TEST_F(MixerTest, MasterGainHalvesAFullScaleVoiceAndSumsClampToSixteenBits)
{
    cmixer::SetMasterGain(0.5);
    MonoSource loud(std::vector<int16_t>(64, 32767));
    loud.stream.Play();
    std::vector<int16_t> out = Mix(8);
    EXPECT_EQ(out[0], 16383);
    EXPECT_EQ(out[1], 16383);

    // Three full-scale voices at master gain 1.0 overflow 16 bits in both directions.
    cmixer::SetMasterGain(1.0);
    MonoSource high(std::vector<int16_t>(64, 32767));
    MonoSource low(std::vector<int16_t>(64, -32768));
    MonoSource lower(std::vector<int16_t>(64, -32768));
    loud.stream.Stop();
    Mix(1);
    loud.stream.Play();
    high.stream.Play();
    out = Mix(4);
    EXPECT_EQ(out[0], 32767);
    low.stream.Play();
    lower.stream.Play();
    loud.stream.Stop();
    high.stream.Stop();
    out = Mix(4);
    EXPECT_EQ(out[0], -32768);
    EXPECT_EQ(cmixer::GetMasterGain(), 1.0);
}

TEST_F(MixerTest, PanLawKeepsTheNearSideAndScalesTheFarSide)
{
    MonoSource voice(std::vector<int16_t>(64, 10000));
    voice.stream.SetPan(-1.0);
    voice.stream.Play();
    std::vector<int16_t> out = Mix(4);
    EXPECT_EQ(out[0], 10000);
    EXPECT_EQ(out[1], 0);

    voice.stream.SetPan(0.5);
    EXPECT_EQ(voice.stream.GetLeftGain(), 2048);
    EXPECT_EQ(voice.stream.GetRightGain(), 4096);
    out = Mix(4);
    EXPECT_EQ(out[0], 5000);
    EXPECT_EQ(out[1], 10000);

    voice.stream.SetPan(7.0); // clamped
    EXPECT_EQ(voice.stream.GetPan(), 1.0);
}

TEST_F(MixerTest, HalfSpeedInterpolatesBetweenFramesOrRepeatsThemWithout)
{
    // 22050 Hz data at 44100 Hz output: half a frame per output frame.
    MonoSource smooth(Ramp(200, 100), 22050);
    EXPECT_EQ(smooth.stream.GetStep(), 2048);
    smooth.stream.SetInterpolation(true);
    smooth.stream.Play();
    std::vector<int16_t> out = Mix(16);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(out[size_t(2 * i)], 50 * i) << "frame " << i;
    smooth.stream.Stop();
    Mix(1);

    MonoSource stepped(Ramp(200, 100), 22050);
    stepped.stream.Play();
    out = Mix(16);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(out[size_t(2 * i)], 100 * (i / 2)) << "frame " << i;
}

TEST_F(MixerTest, PitchDoublesTheStepAndZeroPitchNearlyFreezesTheVoice)
{
    MonoSource voice(Ramp(600, 10));
    voice.stream.SetPitch(2.0);
    EXPECT_EQ(voice.stream.GetStep(), 8192);
    voice.stream.Play();
    std::vector<int16_t> out = Mix(8);
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(out[size_t(2 * i)], 20 * i);

    voice.stream.SetPitch(0.0);
    EXPECT_EQ(voice.stream.GetStep(), 4);
    voice.stream.SetPitch(-3.0);
    EXPECT_EQ(voice.stream.GetStep(), 4);
    out = Mix(8);
    EXPECT_EQ(voice.stream.GetState(), cmixer::kPlaying);
    EXPECT_EQ(out[0], out[14]); // frozen, not silent
    EXPECT_NE(out[0], 0);
}

TEST_F(MixerTest, VoiceStopsExactlyAtTheEndOfItsDataAndRunsItsCompletionOnce)
{
    MonoSource voice(Ramp(300, 3));
    int completions = 0;
    voice.stream.SetCompletion([&] { completions++; });
    voice.stream.Play();
    // 2048 samples: four slices, the end falling inside the second.
    std::vector<int16_t> out = Mix(1024);
    EXPECT_EQ(out[2 * 299], 3 * 299);
    for (int i = 300; i < 1024; i++)
        ASSERT_EQ(out[size_t(2 * i)], 0) << "frame " << i;
    EXPECT_EQ(voice.stream.GetState(), cmixer::kStopped);
    Mix(512);
    EXPECT_EQ(completions, 1);
}

TEST_F(MixerTest, LoopingVoiceResumesAtItsLoopStart)
{
    MonoSource voice(Ramp(300, 3));
    voice.stream.SetLoop(true);
    voice.stream.SetLoopStart(100);
    voice.stream.Play();
    std::vector<int16_t> out = Mix(700);
    EXPECT_EQ(out[2 * 299], 3 * 299);
    EXPECT_EQ(out[2 * 300], 3 * 100);
    EXPECT_EQ(out[2 * 499], 3 * 299);
    EXPECT_EQ(out[2 * 500], 3 * 100);
    EXPECT_EQ(voice.stream.GetState(), cmixer::kPlaying);
}

TEST_F(MixerTest, PauseKeepsThePlaceAndStopRewinds)
{
    MonoSource voice(Ramp(600, 1));
    voice.stream.Play();
    Mix(10);
    voice.stream.TogglePause();
    EXPECT_EQ(voice.stream.GetState(), cmixer::kPaused);
    EXPECT_EQ(Mix(4)[0], 0);
    voice.stream.TogglePause();
    EXPECT_EQ(Mix(4)[0], 10);
    voice.stream.Stop();
    Mix(1);
    voice.stream.Play();
    EXPECT_EQ(Mix(4)[2], 1);
}

TEST_F(MixerTest, EightBitSamplesAreOffsetBinaryUnlessSigned)
{
    std::vector<uint8_t> bytes = {0x80, 0x00, 0xFF, 0x80};
    cmixer::WavStream stream;
    stream.Init(44100, 8, 1, false, bytes);
    stream.Play();
    std::vector<int16_t> out = Mix(3);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[2], -32768);
    EXPECT_EQ(out[4], 32512);

    stream.Init(44100, 8, 1, false, bytes, true);
    stream.Play();
    out = Mix(3);
    EXPECT_EQ(out[0], -32768);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[4], -256);
}

TEST_F(MixerTest, BigEndianStereoKeepsItsChannels)
{
    std::vector<uint8_t> bytes = {0x12, 0x34, 0xFF, 0xFE, 0x00, 0x01, 0x80, 0x00};
    cmixer::WavStream stream;
    stream.Init(44100, 16, 2, true, bytes);
    EXPECT_EQ(stream.GetLengthFrames(), 2);
    stream.Play();
    std::vector<int16_t> out = Mix(2);
    EXPECT_EQ(out[0], 0x1234);
    EXPECT_EQ(out[1], -2);
    EXPECT_EQ(out[2], 1);
    EXPECT_EQ(out[3], -32768);
}

TEST_F(MixerTest, EmptyOrUnplayableStreamsNeverStart)
{
    cmixer::WavStream empty;
    empty.Init(44100, 16, 1, false, {});
    empty.Play();
    EXPECT_EQ(empty.GetState(), cmixer::kStopped);

    cmixer::WavStream odd;
    std::vector<uint8_t> bytes(16);
    EXPECT_THROW(odd.Init(44100, 24, 1, false, bytes), std::invalid_argument);
    EXPECT_THROW(odd.Init(44100, 16, 3, false, bytes), std::invalid_argument);
    EXPECT_THROW(odd.Init(0, 16, 1, false, bytes), std::invalid_argument);
}

TEST_F(MixerTest, SilentMixerNeverStartsAVoice)
{
    cmixer::OpenWithoutDevice(44100, false);
    MonoSource voice(Ramp(100, 1));
    voice.stream.Play();
    EXPECT_EQ(voice.stream.GetState(), cmixer::kStopped);
}

TEST(MixerDevice, OpeningTheDeviceTwiceIsRefused)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    cmixer::OpenDevice();
    EXPECT_TRUE(cmixer::HasDevice());
    EXPECT_GT(cmixer::OutputSampleRate(), 0);
    try {
        cmixer::OpenDevice();
        ADD_FAILURE() << "second open accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "SDL audio subsystem already inited");
    }
    cmixer::CloseDevice();
    EXPECT_FALSE(cmixer::IsOpen());
}

// Voices started, stopped, paused and destroyed from this thread while another thread mixes
// without pause: under the address sanitizer any use of a destroyed voice fails the test.
TEST(MixerStress, FortyVoicesComeAndGoWhileTheMixerRuns)
{
    cmixer::OpenWithoutDevice(44100, true);
    std::atomic<bool> running{true};
    std::thread audio([&] {
        std::vector<int16_t> out(2048);
        while (running.load())
            cmixer::MixOutput(out.data(), int(out.size()));
    });

    std::vector<uint8_t> data(4000);
    for (size_t i = 0; i < data.size(); i++)
        data[i] = uint8_t(i * 13);
    std::vector<std::unique_ptr<cmixer::WavStream>> voices(40);
    std::mt19937 random(22);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    int operations = 0;
    while (std::chrono::steady_clock::now() < end) {
        auto& voice = voices[random() % voices.size()];
        switch (random() % 6) {
        case 0:
            voice.reset(); // destroyed while the mixer may be reading it
            break;
        case 1: {
            if (!voice)
                voice = std::make_unique<cmixer::WavStream>();
            std::span<uint8_t> buffer = voice->GetBuffer(data.size());
            std::memcpy(buffer.data(), data.data(), data.size());
            voice->Init(int(8000 + random() % 40000), 16, 1 + int(random() % 2), random() % 2, buffer);
            voice->SetLoop(random() % 2);
            voice->Play();
            break;
        }
        case 2:
            if (voice)
                voice->Stop();
            break;
        case 3:
            if (voice)
                voice->SetPitch(0.25 + (random() % 100) / 25.0);
            break;
        case 4:
            if (voice)
                voice->TogglePause();
            break;
        default:
            if (voice) {
                voice->SetPan((int(random() % 200) - 100) / 100.0);
                voice->ResetAndClear();
            }
            break;
        }
        operations++;
    }
    voices.clear();
    running = false;
    audio.join();
    cmixer::CloseDevice();
    EXPECT_GT(operations, 1000);
}

} // namespace
