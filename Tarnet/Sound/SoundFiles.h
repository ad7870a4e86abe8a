// Sound data as the layer keeps it: a SoundDescription says what the samples are, and a sound
// block (a handle) holds the magic "taTRNT", the description and the samples. Sound files (AIFF,
// AIFF-C, MP3) load into sound blocks. Every file is untrusted: readers check each size against
// the bytes that are there before allocating and throw with a message naming the fault.
#pragma once

#include <cstdint>
#include <istream>
#include <span>
#include <vector>

#include "Tarnet/MacTypes.h"

namespace Tarnet::Sound {

// A plain host record, copied byte for byte into sound blocks; flags are bytes so that a copy
// read back from a file is always a valid record.
struct SoundDescription
{
    int16_t numChannels = 0;
    int32_t numFrames = 0;     // sample frames; packets per channel for compressed data
    int16_t bitsPerSample = 0; // 8 or 16 for PCM; the codec's nominal depth when compressed
    uint8_t bigEndian = 0;     // 16-bit PCM stored most significant byte first
    double sampleRate = 0;
    uint8_t compressed = 0;
    OSType codec = 0;                   // 'MAC3', 'ima4', 'ulaw', 'alaw'; 'raw ', 'twos', 'sowt', 'NONE'
    const uint8_t* dataStart = nullptr; // not trusted inside a block: its data follows the record
    int32_t encodedLength = 0;          // bytes as stored
    int32_t decodedLength = 0;          // bytes of 16-bit PCM once decoded
    int32_t baseNote = 60;              // MIDI note at which the sound plays at its own rate
    int32_t loopStart = 0;              // sustain loop: the sound loops when loopEnd - loopStart > 1
    int32_t loopEnd = 0;
};

inline constexpr char kSoundBlockMagic[6] = {'t', 'a', 'T', 'R', 'N', 'T'};
inline constexpr size_t kSoundBlockHeaderSize = sizeof(kSoundBlockMagic) + sizeof(SoundDescription);

// The largest decoded sound the layer accepts (about 25 minutes of 44.1 kHz stereo), so that no
// claimed size can ask for an unbounded allocation.
inline constexpr int64_t kMaxDecodedBytes = int64_t(256) << 20;

// A new zero-filled block of magic + description + encodedLength bytes, with `samples` copied in
// when given (it must hold encodedLength bytes). *dataStart, when asked, is where the data starts.
Handle MakeSoundBlock(const SoundDescription& description, const void* samples, Ptr* dataStart = nullptr);

// Parses an AIFF or AIFF-C file from the stream's position and leaves the stream at the first
// byte of the sample data. Throws std::runtime_error naming the fault ("AIFF: invalid FORM", ...),
// std::out_of_range for a marker used before it is defined or data that ends early.
SoundDescription ReadAIFF(std::istream& stream);

// Decodes a whole MP3 file into interleaved 16-bit host-order PCM and its description ('twos',
// host order, base note 60, rate and channels of the stream). No decodable frame, or a stream
// whose rate or channel count changes, throws std::runtime_error.
struct DecodedMP3
{
    SoundDescription description;
    std::vector<int16_t> samples;
};
DecodedMP3 DecodeMP3(std::span<const uint8_t> file);

// A new sound block for the whole open data fork `refNum`, decoder chosen by the file name's
// extension (.aiff, .aifc, .aif or .mp3, any case); null for any other extension. Damaged files
// throw.
Handle LoadSoundFile(int16_t refNum);

// Checks a description against the rules every reader applies: 1 or 2 channels, a sample rate
// from 1 Hz to 1 MHz, 8 or 16 bits of PCM or a known codec, lengths that are not negative, a
// decoded length within kMaxDecodedBytes. Throws std::runtime_error "<where>: <fault>".
void CheckSoundDescription(const SoundDescription& description, const char* where);

// The decoded length of compressed data, checked against the codec's packet sizes before
// anything is allocated: encoded bytes that are not whole packets give "odd input buffer size",
// a decoded length other than the packets give "incorrect output size" (std::invalid_argument).
int32_t CheckedDecodedLength(const SoundDescription& description);

// Decodes compressed data into `decoded` (CheckedDecodedLength bytes of host-order 16-bit PCM).
void DecodeSoundData(const SoundDescription& description, std::span<const uint8_t> encoded,
                     std::span<uint8_t> decoded);

// True for 8-bit samples stored signed (plain AIFF); 'raw ' and standard headers are offset binary.
bool HasSignedBytes(const SoundDescription& description);

// The 16-bit host-order samples the mixer plays for a description and its data: compressed data
// decoded, 8-bit samples expanded and big-endian samples swapped as the mixer does.
std::vector<int16_t> DecodeToPCM16(const SoundDescription& description, std::span<const uint8_t> data);

} // namespace Tarnet::Sound
