// Checks and decoding shared by the sound readers, the Sound Manager and the tools.

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

#include "Tarnet/Memory/Memory.h"
#include "Tarnet/Sound/Codecs.h"
#include "Tarnet/Sound/SoundFiles.h"

namespace Tarnet::Sound {

void CheckSoundDescription(const SoundDescription& description, const char* where)
{
    auto fail = [&](const std::string& what) { throw std::runtime_error(std::string(where) + ": " + what); };
    if (description.numChannels != 1 && description.numChannels != 2)
        fail("unsupported channel count " + std::to_string(description.numChannels));
    if (!(description.sampleRate >= 1.0 && description.sampleRate <= 1.0e6))
        fail("unsupported sample rate " + std::to_string(description.sampleRate));
    if (description.numFrames < 0 || description.encodedLength < 0 || description.decodedLength < 0)
        fail("negative frame count or length");
    if (description.decodedLength > kMaxDecodedBytes)
        fail("decoded size " + std::to_string(description.decodedLength) + " bytes is too large");
    if (description.compressed) {
        MakeCodec(description.codec); // throws for an unknown codec
    } else if (description.bitsPerSample != 8 && description.bitsPerSample != 16) {
        fail("unsupported sample size " + std::to_string(description.bitsPerSample) + " bits");
    }
}

int32_t CheckedDecodedLength(const SoundDescription& description)
{
    std::unique_ptr<Codec> codec = MakeCodec(description.codec);
    const int64_t packetBytes = int64_t(codec->BytesPerPacket()) * description.numChannels;
    if (packetBytes <= 0 || description.encodedLength < 0 || description.encodedLength % packetBytes != 0)
        throw std::invalid_argument("odd input buffer size");
    const int64_t decoded =
        description.encodedLength / packetBytes * codec->SamplesPerPacket() * description.numChannels * 2;
    if (decoded != description.decodedLength || decoded > kMaxDecodedBytes)
        throw std::invalid_argument("incorrect output size");
    return int32_t(decoded);
}

void DecodeSoundData(const SoundDescription& description, std::span<const uint8_t> encoded,
                     std::span<uint8_t> decoded)
{
    std::unique_ptr<Codec> codec = MakeCodec(description.codec);
    if (decoded.size() % 2 != 0)
        throw std::invalid_argument("incorrect output size");
    // Handle data is 16-byte aligned, so the bytes can be viewed as samples.
    std::span<int16_t> samples(reinterpret_cast<int16_t*>(decoded.data()), decoded.size() / 2);
    codec->Decode(description.numChannels, encoded, samples);
}

bool HasSignedBytes(const SoundDescription& description)
{
    return description.bitsPerSample == 8 &&
           (description.codec == OSTypeFrom("NONE") || description.codec == OSTypeFrom("twos"));
}

std::vector<int16_t> DecodeToPCM16(const SoundDescription& description, std::span<const uint8_t> data)
{
    if (description.compressed) {
        std::vector<int16_t> samples(size_t(CheckedDecodedLength(description)) / 2);
        DecodeSoundData(description, data.first(size_t(description.encodedLength)),
                        {reinterpret_cast<uint8_t*>(samples.data()), samples.size() * 2});
        return samples;
    }
    std::vector<int16_t> samples;
    if (description.bitsPerSample == 8) {
        const bool signedBytes = HasSignedBytes(description);
        samples.reserve(data.size());
        for (uint8_t byte : data)
            samples.push_back(int16_t(signedBytes ? int(int8_t(byte)) * 256 : int(byte) * 256 - 32768));
    } else {
        samples.resize(data.size() / 2);
        for (size_t i = 0; i < samples.size(); i++) {
            const uint8_t* bytes = &data[2 * i];
            if (description.bigEndian)
                samples[i] = int16_t(uint16_t((bytes[0] << 8) | bytes[1]));
            else
                std::memcpy(&samples[i], bytes, 2);
        }
    }
    return samples;
}

Handle MakeSoundBlock(const SoundDescription& description, const void* samples, Ptr* dataStart)
{
    if (description.encodedLength < 0 || description.encodedLength > kMaxDecodedBytes)
        throw std::invalid_argument("MakeSoundBlock: bad data length");
    Handle block = NewHandleClear(Size(kSoundBlockHeaderSize + size_t(description.encodedLength)));
    std::memcpy(*block, kSoundBlockMagic, sizeof(kSoundBlockMagic));
    std::memcpy(*block + sizeof(kSoundBlockMagic), &description, sizeof(description));
    Ptr data = *block + kSoundBlockHeaderSize;
    if (samples)
        std::memcpy(data, samples, size_t(description.encodedLength));
    if (dataStart)
        *dataStart = data;
    return block;
}

} // namespace Tarnet::Sound
