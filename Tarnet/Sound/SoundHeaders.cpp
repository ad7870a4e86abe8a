// 'snd ' resources and their sound headers.
//   format 1: format (2), modifier count (2), per modifier: number (2), init flags (4);
//             command count (2), per command: code (2), param1 (2), param2 (4)
//   format 2: format (2), reference count (2), command count and commands as format 1
//   sound block: "taTRNT" and a SoundDescription; read as a 'snd ', 't' 'a' is its format
// The header a bufferCmd or soundCmd points at (big-endian):
//   0  sample pointer (4, must be 0), length or channel count (4), 16.16 sample rate (4),
//      loop start (4), loop end (4), encoding (1), base note (1)
//   encoding 0x00 (standard): 8-bit unsigned mono samples follow at 22
//   encoding 0xFF (extended): frames (4) at 22, sample size (2) at 48, samples at 64
//   encoding 0xFE (compressed): packets (4) at 22, format (4) at 40 (0 is MACE 3:1), data at 64

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

#include "Tarnet/Memory/Memory.h"
#include "Tarnet/Sound/Codecs.h"
#include "Tarnet/Sound/Sound.h"
#include "Tarnet/Streams/BigEndianReader.h"
#include "Tarnet/Streams/MemStream.h"
#include "Tarnet/Todo.h"

namespace Tarnet {
namespace {

constexpr uint16_t kSoundBlockFormat = uint16_t(('t' << 8) | 'a');
constexpr char kSoundBlockHeaderTag[4] = {'T', 'R', 'N', 'T'};
constexpr size_t kCommonHeaderSize = 22;
constexpr size_t kLongHeaderSize = 64;

[[noreturn]] void HeaderRunsPast(const std::string& what, int64_t needed, size_t available)
{
    throw std::runtime_error("GetSoundInfo: " + what + " needs " + std::to_string(needed) +
                             " bytes but the sound holds " + std::to_string(available));
}

void DescribeBlockHeader(const uint8_t* header, size_t available, SoundDescription* info)
{
    const size_t headerBytes = sizeof(kSoundBlockHeaderTag) + sizeof(SoundDescription);
    if (available < headerBytes)
        HeaderRunsPast("sound block header", int64_t(headerBytes), available);
    std::memcpy(info, header + sizeof(kSoundBlockHeaderTag), sizeof(SoundDescription));
    info->dataStart = header + headerBytes;
    Sound::CheckSoundDescription(*info, "GetSoundInfo");
    if (uint64_t(info->encodedLength) > available - headerBytes)
        HeaderRunsPast("sound block data", int64_t(headerBytes) + info->encodedLength, available);
}

} // namespace

void DescribeSoundHeader(const uint8_t* header, size_t available, SoundDescription* info)
{
    if (available >= sizeof(kSoundBlockHeaderTag) &&
        std::memcmp(header, kSoundBlockHeaderTag, sizeof(kSoundBlockHeaderTag)) == 0) {
        DescribeBlockHeader(header, available, info);
        return;
    }

    memstream stream(header, std::min(available, kLongHeaderSize));
    BigEndianReader in(stream);
    uint32_t samplePointer = in.ReadBigEndian<uint32_t>();
    int32_t lengthOrChannels = in.ReadBigEndian<int32_t>();
    uint32_t rate = in.ReadBigEndian<uint32_t>();
    uint32_t loopStart = in.ReadBigEndian<uint32_t>();
    uint32_t loopEnd = in.ReadBigEndian<uint32_t>();
    uint8_t encoding = in.ReadBigEndian<uint8_t>();
    uint8_t baseNote = in.ReadBigEndian<uint8_t>();
    if (samplePointer != 0)
        ReportTodo("GetSoundInfo", "expected 0 at the beginning of an snd", 2);

    SoundDescription description;
    description.sampleRate = rate / 65536.0;
    description.baseNote = baseNote;
    description.loopStart = int32_t(loopStart);
    description.loopEnd = int32_t(loopEnd);

    int64_t dataOffset = 0;
    switch (encoding) {
    case 0x00: // standard: 8-bit unsigned mono
        description.codec = OSTypeFrom("raw ");
        description.bitsPerSample = 8;
        description.numChannels = 1;
        description.numFrames = lengthOrChannels;
        description.compressed = false;
        description.bigEndian = false;
        dataOffset = kCommonHeaderSize;
        description.encodedLength = description.decodedLength = lengthOrChannels;
        break;
    case 0xFF: { // extended
        description.numChannels = int16_t(lengthOrChannels & 0xFFFF);
        description.numFrames = in.ReadBigEndian<int32_t>();
        in.Skip(22); // AIFF sample rate, marker chunk, instrument chunks, AES recording
        description.bitsPerSample = in.ReadBigEndian<int16_t>();
        in.Skip(14);
        description.bigEndian = true;
        description.compressed = false;
        description.codec = description.bitsPerSample == 8 ? OSTypeFrom("raw ") : OSTypeFrom("twos");
        dataOffset = kLongHeaderSize;
        int64_t bytes =
            int64_t(description.bitsPerSample) * description.numChannels * description.numFrames / 8;
        if (bytes < 0 || bytes > Sound::kMaxDecodedBytes)
            HeaderRunsPast("extended header data", dataOffset + bytes, available);
        description.encodedLength = description.decodedLength = int32_t(bytes);
        break;
    }
    case 0xFE: { // compressed
        description.numChannels = int16_t(lengthOrChannels & 0xFFFF);
        description.numFrames = in.ReadBigEndian<int32_t>();
        in.Skip(14); // AIFF sample rate, marker chunk
        uint32_t format = in.ReadBigEndian<uint32_t>();
        in.Skip(20);
        description.codec = format == 0 ? OSTypeFrom("MAC3") : format;
        description.compressed = true;
        description.bigEndian = false;
        dataOffset = kLongHeaderSize;
        std::unique_ptr<Sound::Codec> codec = Sound::MakeCodec(description.codec);
        description.bitsPerSample = int16_t(codec->NominalBitsPerSample());
        int64_t packets = int64_t(description.numChannels) * description.numFrames;
        int64_t encoded = packets * codec->BytesPerPacket();
        int64_t decoded = packets * codec->SamplesPerPacket() * 2;
        if (packets < 0 || decoded > Sound::kMaxDecodedBytes)
            HeaderRunsPast("compressed header data", dataOffset + encoded, available);
        description.encodedLength = int32_t(encoded);
        description.decodedLength = int32_t(decoded);
        break;
    }
    default:
        ReportTodo("GetSoundInfo", "unsupported snd header encoding " + std::to_string(encoding), 2);
    }

    Sound::CheckSoundDescription(description, "GetSoundInfo");
    if (uint64_t(dataOffset) + uint64_t(description.encodedLength) > available)
        HeaderRunsPast("sound header data", dataOffset + description.encodedLength, available);
    description.dataStart = header + dataOffset;
    *info = description;
}

OSErr GetSoundInfo(const Ptr soundHeader, SoundDescription* info)
{
    // The caller vouches for the header's memory; only the fields are checked.
    DescribeSoundHeader(reinterpret_cast<const uint8_t*>(soundHeader), SIZE_MAX / 2, info);
    return noErr;
}

OSErr GetSoundHeaderOffset(SndListHandle sndHandle, long* offset)
{
    memstream stream(*sndHandle, size_t(GetHandleSize(sndHandle)));
    BigEndianReader in(stream);

    uint16_t format = in.ReadBigEndian<uint16_t>();
    if (format == kSoundBlockFormat) {
        *offset = 2;
        return noErr;
    }
    if (format == 1) {
        int16_t modifierCount = in.ReadBigEndian<int16_t>();
        int16_t modifier = in.ReadBigEndian<int16_t>();
        int32_t initFlags = in.ReadBigEndian<int32_t>();
        if (modifierCount != 1)
            ReportTodo("GetSoundHeaderOffset", "only 1 modifier per 'snd ' is supported", 2);
        if (modifier != sampledSynth)
            ReportTodo("GetSoundHeaderOffset", "only sampledSynth 'snd ' is supported", 2);
        if (initFlags & initMACE6)
            ReportTodo("GetSoundHeaderOffset", "MACE-6 not supported yet", 2);
    } else if (format == 2) {
        in.Skip(2); // reference count
    } else {
        return badFormat;
    }

    int16_t commandCount = in.ReadBigEndian<int16_t>();
    for (int i = 0; i < commandCount; i++) {
        uint16_t code = in.ReadBigEndian<uint16_t>() & ~dataOffsetFlag;
        in.Skip(2);
        uint32_t param2 = in.ReadBigEndian<uint32_t>();
        if (code == soundCmd || code == bufferCmd) {
            *offset = long(param2);
            return noErr;
        }
    }
    return badFormat;
}

OSErr ExpandSoundHandle(SndListHandle* sound, long* headerOffset)
{
    long offset = 0;
    OSErr error = GetSoundHeaderOffset(*sound, &offset);
    if (error != noErr)
        return error;
    const size_t size = size_t(GetHandleSize(*sound));
    if (offset < 0 || size_t(offset) > size)
        throw std::runtime_error("ExpandSoundHandle: sound header offset " + std::to_string(offset) +
                                 " lies outside the " + std::to_string(size) + "-byte resource");
    SoundDescription source;
    DescribeSoundHeader(reinterpret_cast<const uint8_t*>(**sound) + offset, size - size_t(offset), &source);
    if (!source.dataStart)
        throw std::runtime_error("cannot decompress snd resource without dataStart");

    SoundDescription expanded = source;
    expanded.dataStart = nullptr;
    expanded.compressed = false;
    std::span<const uint8_t> encoded(source.dataStart, size_t(source.encodedLength));
    Ptr data = nullptr;
    Handle block;
    if (source.compressed) {
        expanded.encodedLength = Sound::CheckedDecodedLength(source);
        std::unique_ptr<Sound::Codec> codec = Sound::MakeCodec(source.codec);
        int64_t frames = int64_t(source.numFrames) * codec->SamplesPerPacket();
        if (frames > INT32_MAX)
            throw std::invalid_argument("incorrect output size");
        expanded.codec = OSTypeFrom("twos");
        expanded.bigEndian = false;
        expanded.bitsPerSample = 16;
        expanded.numFrames = int32_t(frames);
        block = MakeSoundBlock(expanded, nullptr, &data);
        try {
            Sound::DecodeSoundData(source, encoded,
                                   {reinterpret_cast<uint8_t*>(data), size_t(expanded.encodedLength)});
        } catch (...) {
            DisposeHandle(block);
            throw;
        }
    } else {
        if (source.decodedLength != source.encodedLength)
            throw std::runtime_error("decompressedLength != compressedLength???");
        const int sampleBytes = source.bitsPerSample / 8;
        const bool swap = source.bigEndian && source.bitsPerSample > 8;
        if (swap && source.encodedLength % sampleBytes != 0)
            throw std::runtime_error("unexpected big-endian raw PCM decompressed length");
        expanded.encodedLength = source.encodedLength;
        expanded.bigEndian = swap ? false : source.bigEndian;
        block = MakeSoundBlock(expanded, encoded.data(), &data);
        if (swap)
            for (int32_t i = 0; i + 1 < expanded.encodedLength; i += 2)
                std::swap(data[i], data[i + 1]);
    }

    DisposeHandle(*sound);
    *sound = block;
    *headerOffset = 2;
    long check = 0;
    if (GetSoundHeaderOffset(block, &check) != noErr || check != 2)
        throw std::runtime_error("Incorrect decompressed sound header offset");
    return noErr;
}

} // namespace Tarnet
