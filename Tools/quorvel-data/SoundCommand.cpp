// quorvel-data sound FILE OUT.wav            decode a sound file as the game loads it
// quorvel-data sound FILE --snd ID OUT.wav   decode the 'snd ' resource ID of FILE.rsrc
// Writes the decoded 16-bit PCM as a WAV file with the decoded rate and channel count, and prints
//   rate <Hz>
//   channels <1 or 2>
//   frames <count>
//   sustain loop <start frame> <end frame>      (only for a sound that loops)

#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>

#include "Commands.h"
#include "Tarnet/Tarnet.h"

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

int Decode(const CommandArgs& args)
{
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
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int RunSoundCommand(const CommandArgs& args)
{
    if (args.size() != 2 && !(args.size() == 4 && args[1] == "--snd")) {
        std::fprintf(stderr, "usage: quorvel-data sound FILE OUT.wav\n"
                             "       quorvel-data sound FILE --snd ID OUT.wav\n");
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
