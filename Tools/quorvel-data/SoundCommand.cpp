// quorvel-data sound FILE OUT.wav            decode a sound file as the game loads it
// quorvel-data sound FILE --snd ID OUT.wav   decode the 'snd ' resource ID of FILE.rsrc
// Either may end with --spectrogram OUT.png: time left to right, 0 Hz at the bottom to half the
// rate at the top (linear), level from black through red and yellow to white over 90 dB.
// Writes the decoded 16-bit PCM as a WAV file with the decoded rate and channel count, and prints
//   rate <Hz>
//   channels <1 or 2>
//   frames <count>
//   sustain loop <start frame> <end frame>      (only for a sound that loops)
//   peak <dBFS> rms <dBFS> clipped <samples at full scale>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>

#include "Commands.h"
#include "DataForge/Writers/ImageWriter.h"
#include "Tarnet/Tarnet.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace {

using Tarnet::Handle;
using Tarnet::SoundDescription;

void PutLittleEndian(std::ofstream& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; i++)
        out.put(char((value >> (8 * i)) & 0xFF));
}

void WriteWav(const std::string& path, const SoundDescription& description,
              const std::vector<int16_t>& samples)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot write " + path);
    const uint32_t rate = uint32_t(description.sampleRate);
    const uint32_t channels = uint32_t(description.numChannels);
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    out.write("RIFF", 4);
    PutLittleEndian(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    PutLittleEndian(out, 16, 4);
    PutLittleEndian(out, 1, 2); // PCM
    PutLittleEndian(out, channels, 2);
    PutLittleEndian(out, rate, 4);
    PutLittleEndian(out, rate * channels * 2, 4);
    PutLittleEndian(out, channels * 2, 2);
    PutLittleEndian(out, 16, 2);
    out.write("data", 4);
    PutLittleEndian(out, dataBytes, 4);
    for (int16_t sample : samples)
        PutLittleEndian(out, uint16_t(sample), 2);
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

// In-place radix-2 FFT of a power-of-two length.
void FFT(std::vector<std::complex<float>>* data)
{
    std::vector<std::complex<float>>& a = *data;
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; i++) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const std::complex<float> step = std::polar(1.0f, -6.2831853f / float(length));
        for (size_t i = 0; i < n; i += length) {
            std::complex<float> w = 1;
            for (size_t k = 0; k < length / 2; k++, w *= step) {
                std::complex<float> even = a[i + k], odd = a[i + k + length / 2] * w;
                a[i + k] = even + odd;
                a[i + k + length / 2] = even - odd;
            }
        }
    }
}

// The spectrogram of the first channel: 512-sample Hann windows, at most 1000 columns.
void WriteSpectrogram(const std::string& path, int channels, const std::vector<int16_t>& samples)
{
    constexpr int kWindow = 512, kRows = kWindow / 2;
    const size_t frames = samples.size() / size_t(channels);
    const int columns = int(std::clamp<size_t>(frames / 128, 1, 1000));
    const double hop = frames > kWindow ? double(frames - kWindow) / columns : 0;
    Image image;
    image.width = columns;
    image.height = kRows;
    image.channels = 3;
    image.pixels.assign(size_t(columns) * kRows * 3, 0);
    std::vector<std::complex<float>> bins(kWindow);
    for (int x = 0; x < columns; x++) {
        const size_t start = size_t(hop * x);
        for (int i = 0; i < kWindow; i++) {
            size_t frame = start + size_t(i);
            float value = frame < frames ? float(samples[frame * size_t(channels)]) / 32768.0f : 0;
            bins[size_t(i)] = value * (0.5f - 0.5f * std::cos(6.2831853f * float(i) / kWindow));
        }
        FFT(&bins);
        for (int row = 0; row < kRows; row++) {
            float level = 20 * std::log10(std::abs(bins[size_t(row)]) / (kWindow / 4) + 1e-9f); // dBFS
            float t = std::clamp((level + 90) / 90, 0.0f, 1.0f);
            uint8_t* pixel = &image.pixels[(size_t(kRows - 1 - row) * columns + x) * 3];
            pixel[0] = uint8_t(255 * std::clamp(t * 3, 0.0f, 1.0f));
            pixel[1] = uint8_t(255 * std::clamp(t * 3 - 1, 0.0f, 1.0f));
            pixel[2] = uint8_t(255 * std::clamp(t * 3 - 2, 0.0f, 1.0f));
        }
    }
    WritePngFile(path, image);
}

void PrintLevels(const std::vector<int16_t>& samples)
{
    double sumSquares = 0;
    int peak = 0, clipped = 0;
    for (int16_t sample : samples) {
        peak = std::max(peak, std::abs(int(sample)));
        sumSquares += double(sample) * double(sample);
        clipped += sample >= 32767 || sample <= -32767;
    }
    const double rms = samples.empty() ? 0 : std::sqrt(sumSquares / double(samples.size()));
    std::printf("peak %.1f rms %.1f clipped %d\n", 20 * std::log10(std::max(1, peak) / 32768.0),
                20 * std::log10(std::max(1.0, rms) / 32768.0), clipped);
}

// The sound block the game makes from a sound file.
Handle LoadFileBlock(const std::string& file)
{
    Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(file);
    int16_t refNum = -1;
    if (Tarnet::FSpOpenDF(&spec, Tarnet::fsRdPerm, &refNum) != Tarnet::noErr)
        throw std::runtime_error("cannot open " + file);
    Handle block = nullptr;
    try {
        block = Tarnet::Sound::LoadSoundFile(refNum);
    } catch (...) {
        Tarnet::FSClose(refNum);
        throw;
    }
    Tarnet::FSClose(refNum);
    if (!block)
        throw std::runtime_error(file + " is not named as a sound file (.aiff, .aifc, .aif or .mp3)");
    return block;
}

// The 'snd ' resource, expanded to a sound block as the Sound Manager does.
Handle LoadResourceBlock(const std::string& file, int16_t id)
{
    Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(file);
    int16_t refNum = Tarnet::FSpOpenResFile(&spec, Tarnet::fsRdPerm);
    if (refNum < 0)
        throw std::runtime_error("cannot open the resource fork " + file + ".rsrc (error " +
                                 std::to_string(Tarnet::ResError()) + ")");
    Handle sound = Tarnet::GetResource(Tarnet::OSTypeFrom("snd "), id);
    Tarnet::CloseResFile(refNum);
    if (!sound)
        throw std::runtime_error("no 'snd ' resource " + std::to_string(id) + " in " + file + ".rsrc");
    long offset = 0;
    Tarnet::OSErr error = Tarnet::ExpandSoundHandle(&sound, &offset);
    if (error != Tarnet::noErr) {
        Tarnet::DisposeHandle(sound);
        throw std::runtime_error("'snd ' resource " + std::to_string(id) + " has no sound header (error " +
                                 std::to_string(error) + ")");
    }
    return sound;
}

int Decode(CommandArgs args)
{
    std::string spectrogram;
    if (args.size() >= 4 && args[args.size() - 2] == "--spectrogram") {
        spectrogram = args.back();
        args.resize(args.size() - 2);
    }
    const bool resource = args.size() == 4 && args[1] == "--snd";
    const std::string& file = args[0];
    const std::string& output = args.back();
    Handle block = nullptr;
    if (resource) {
        char* end = nullptr;
        long id = std::strtol(args[2].c_str(), &end, 10);
        if (*end || id < -32768 || id > 32767)
            throw std::runtime_error("bad resource ID " + args[2]);
        block = LoadResourceBlock(file, int16_t(id));
    } else {
        block = LoadFileBlock(file);
    }

    SoundDescription description;
    std::vector<int16_t> samples;
    try {
        const auto* header = reinterpret_cast<const uint8_t*>(*block) + 2;
        Tarnet::DescribeSoundHeader(header, size_t(Tarnet::GetHandleSize(block)) - 2, &description);
        samples = Tarnet::Sound::DecodeToPCM16(description,
                                               {description.dataStart, size_t(description.encodedLength)});
    } catch (...) {
        Tarnet::DisposeHandle(block);
        throw;
    }
    Tarnet::DisposeHandle(block);

    WriteWav(output, description, samples);
    std::printf("rate %d\n", int(description.sampleRate));
    std::printf("channels %d\n", description.numChannels);
    std::printf("frames %zu\n", samples.size() / size_t(description.numChannels));
    if (int64_t(description.loopEnd) - description.loopStart > 1)
        std::printf("sustain loop %d %d\n", description.loopStart, description.loopEnd);
    PrintLevels(samples);
    if (!spectrogram.empty())
        WriteSpectrogram(spectrogram, description.numChannels, samples);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int RunSoundCommand(const CommandArgs& args)
{
    CommandArgs plain = args;
    if (plain.size() >= 4 && plain[plain.size() - 2] == "--spectrogram")
        plain.resize(plain.size() - 2);
    if (plain.size() != 2 && !(plain.size() == 4 && plain[1] == "--snd")) {
        std::fprintf(stderr, "usage: quorvel-data sound FILE OUT.wav [--spectrogram OUT.png]\n"
                             "       quorvel-data sound FILE --snd ID OUT.wav [--spectrogram OUT.png]\n");
        return 2;
    }
    // Files and resources only: decoding needs no audio device.
    int result = 1;
    try {
        result = Decode(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorvel-data sound: %s: %s\n", args[0].c_str(), e.what());
        result = 1;
    }
    Tarnet::Shutdown();
    return result;
}
