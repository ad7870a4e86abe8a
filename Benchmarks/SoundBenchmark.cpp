// The sound layer's costs: the mixer's share of one core for 40 looping stereo voices at 44.1 kHz
// whose pitch and pan change every callback (goal: under 2 %), and each decoder's speed in MB of
// input per second.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <vector>

#include "Tarnet/Sound/Codecs.h"
#include "Tarnet/Sound/SoundFiles.h"
#include "Tarnet/Streams/MemStream.h"
#include "Tarnet/cmixer/cmixer.h"

namespace {

constexpr int kOutputRate = 44100;
constexpr int kCallbackFrames = 1024; // what the device asks for at a time

std::vector<uint8_t> NoiseBytes(size_t count, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& byte : bytes)
        byte = uint8_t(random());
    return bytes;
}

void MixFortyLoopingStereoVoices(benchmark::State& state)
{
    cmixer::OpenWithoutDevice(kOutputRate, true);
    cmixer::SetMasterGain(0.5);
    const bool interpolate = state.range(0) != 0;
    std::vector<uint8_t> pcm = NoiseBytes(2 * 2 * 22050, 40); // half a second of 16-bit stereo
    std::vector<std::unique_ptr<cmixer::WavStream>> voices;
    for (int i = 0; i < 40; i++) {
        auto voice = std::make_unique<cmixer::WavStream>();
        voice->Init(22050 + i * 500, 16, 2, i % 2, pcm);
        voice->SetLoop(true);
        voice->SetInterpolation(interpolate);
        voice->SetGain(0.3);
        voice->Play();
        voices.push_back(std::move(voice));
    }

    std::vector<int16_t> out(kCallbackFrames * 2);
    int tick = 0;
    for (auto _ : state) {
        // What the game thread does between callbacks: move every voice in pitch and pan.
        for (size_t i = 0; i < voices.size(); i++) {
            voices[i]->SetPitch(0.75 + 0.01 * double((tick + int(i) * 7) % 50));
            voices[i]->SetPan(-1.0 + 0.04 * double((tick + int(i) * 3) % 50));
        }
        cmixer::MixOutput(out.data(), int(out.size()));
        benchmark::DoNotOptimize(out.data());
        tick++;
    }
    // Seconds of CPU per second of audio, in percent.
    const double callbackSeconds = double(kCallbackFrames) / kOutputRate;
    state.counters["cpu_share_percent"] = benchmark::Counter(
        callbackSeconds / 100.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    voices.clear();
    cmixer::CloseDevice();
}
BENCHMARK(MixFortyLoopingStereoVoices)->Arg(1)->Arg(0)->ArgName("interpolate")->Unit(benchmark::kMicrosecond);

void DecodeCodec(benchmark::State& state, Tarnet::OSType code, int channels)
{
    std::unique_ptr<Tarnet::Sound::Codec> codec = Tarnet::Sound::MakeCodec(code);
    const size_t packets = (1 << 20) / size_t(codec->BytesPerPacket() * channels);
    std::vector<uint8_t> input = NoiseBytes(packets * size_t(codec->BytesPerPacket() * channels), 7);
    if (code == Tarnet::OSTypeFrom("ima4")) {
        for (size_t i = 0; i < input.size(); i += 34)
            input[i + 1] &= 0x3F; // step indices within the table
    }
    std::vector<int16_t> output(packets * size_t(codec->SamplesPerPacket() * channels));
    for (auto _ : state) {
        codec->Decode(channels, input, output);
        benchmark::DoNotOptimize(output.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(input.size()));
}
BENCHMARK_CAPTURE(DecodeCodec, MACE3_stereo, Tarnet::OSTypeFrom("MAC3"), 2);
BENCHMARK_CAPTURE(DecodeCodec, IMA4_stereo, Tarnet::OSTypeFrom("ima4"), 2);
BENCHMARK_CAPTURE(DecodeCodec, ulaw, Tarnet::OSTypeFrom("ulaw"), 1);
BENCHMARK_CAPTURE(DecodeCodec, alaw, Tarnet::OSTypeFrom("alaw"), 1);

std::vector<uint8_t> ReferenceFile(const char* name)
{
    std::filesystem::path path =
        std::filesystem::path(__FILE__).parent_path() / "../Tests/Unit/Tarnet/Sound/Reference" / name;
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void DecodeMP3(benchmark::State& state)
{
    std::vector<uint8_t> file = ReferenceFile("tone-32000.mp3");
    if (file.empty()) {
        state.SkipWithError("reference MP3 missing");
        return;
    }
    for (auto _ : state) {
        Tarnet::Sound::DecodedMP3 decoded = Tarnet::Sound::DecodeMP3(file);
        benchmark::DoNotOptimize(decoded.samples.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(DecodeMP3);

void ReadAIFF(benchmark::State& state)
{
    std::vector<uint8_t> file = ReferenceFile("sweep-mono-22050.aiff");
    for (auto _ : state) {
        Tarnet::memstream stream(file.data(), file.size());
        Tarnet::Sound::SoundDescription description = Tarnet::Sound::ReadAIFF(stream);
        std::streamoff position = stream.tellg();
        std::vector<int16_t> samples = Tarnet::Sound::DecodeToPCM16(
            description, {file.data() + position, size_t(description.encodedLength)});
        benchmark::DoNotOptimize(samples.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(ReadAIFF);

} // namespace

BENCHMARK_MAIN();
