// Builders for sound files and 'snd ' resources, the committed reference files, and a fixture
// whose mixer has no device: tests mix by calling cmixer::MixOutput themselves.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../TarnetTestSupport.h"
#include "Tarnet/Sound/Sound.h"
#include "Tarnet/cmixer/cmixer.h"

// Big-endian byte building.
class Bytes
{
public:
    Bytes& U8(uint8_t value)
    {
        data.push_back(value);
        return *this;
    }
    Bytes& U16(uint16_t value) { return U8(uint8_t(value >> 8)).U8(uint8_t(value)); }
    Bytes& U32(uint32_t value) { return U16(uint16_t(value >> 16)).U16(uint16_t(value)); }
    Bytes& Tag(const char (&code)[5]) { return Append(std::vector<uint8_t>(code, code + 4)); }
    Bytes& Append(const std::vector<uint8_t>& bytes)
    {
        data.insert(data.end(), bytes.begin(), bytes.end());
        return *this;
    }
    // A length byte and the text, padded to an even total as AIFF wants.
    Bytes& PascalString2(const std::string& text)
    {
        U8(uint8_t(text.size())).Append(std::vector<uint8_t>(text.begin(), text.end()));
        if ((text.size() + 1) % 2)
            U8(0);
        return *this;
    }
    // An 80-bit extended float.
    Bytes& Extended(double value)
    {
        if (value == 0)
            return U16(0).U32(0).U32(0);
        int exponent = 0;
        double fraction = std::frexp(value, &exponent); // value = fraction * 2^exponent, fraction in [0.5, 1)
        uint64_t mantissa = uint64_t(std::ldexp(fraction, 64));
        U16(uint16_t(exponent - 1 + 16383));
        return U32(uint32_t(mantissa >> 32)).U32(uint32_t(mantissa));
    }
    size_t Size() const { return data.size(); }

    std::vector<uint8_t> data;
};

// An AIFF or AIFF-C file put together chunk by chunk; each chunk gets its pad byte.
class AIFFBuilder
{
public:
    explicit AIFFBuilder(bool aifc = false) : aifc(aifc) {}

    AIFFBuilder& Chunk(const char (&id)[5], const std::vector<uint8_t>& payload, bool pad = true)
    {
        chunks.Tag(id).U32(uint32_t(payload.size())).Append(payload);
        if (pad && payload.size() % 2)
            chunks.U8(0);
        return *this;
    }
    AIFFBuilder& Common(int16_t channels, uint32_t frames, int16_t bits, double rate,
                        const char (&codec)[5] = "NONE")
    {
        Bytes b;
        b.U16(uint16_t(channels)).U32(frames).U16(uint16_t(bits)).Extended(rate);
        if (aifc)
            b.Tag(codec).PascalString2("x");
        return Chunk("COMM", b.data);
    }
    AIFFBuilder& Version(uint32_t version = 0xA2805140) { return Chunk("FVER", Bytes().U32(version).data); }
    AIFFBuilder& Markers(const std::vector<std::pair<int16_t, uint32_t>>& markers)
    {
        Bytes b;
        b.U16(uint16_t(markers.size()));
        for (auto [id, position] : markers)
            b.U16(uint16_t(id)).U32(position).PascalString2("m");
        return Chunk("MARK", b.data);
    }
    AIFFBuilder& Instrument(uint8_t baseNote, int16_t playMode, int16_t begin, int16_t end)
    {
        Bytes b;
        b.U8(baseNote).U8(0).U8(0).U8(127).U8(1).U8(127).U16(0);
        b.U16(uint16_t(playMode)).U16(uint16_t(begin)).U16(uint16_t(end));
        b.U16(0).U16(0).U16(0);
        return Chunk("INST", b.data);
    }
    AIFFBuilder& Sound(const std::vector<uint8_t>& samples)
    {
        return Chunk("SSND", Bytes().U32(0).U32(0).Append(samples).data);
    }

    std::vector<uint8_t> Build() const
    {
        Bytes file;
        file.Tag("FORM").U32(uint32_t(chunks.Size() + 4));
        file.Append(aifc ? std::vector<uint8_t>{'A', 'I', 'F', 'C'}
                         : std::vector<uint8_t>{'A', 'I', 'F', 'F'});
        return file.Append(chunks.data).data;
    }

private:
    bool aifc;
    Bytes chunks;
};

// 16-bit samples as big-endian bytes.
inline std::vector<uint8_t> BigEndianSamples(const std::vector<int16_t>& samples)
{
    Bytes b;
    for (int16_t s : samples)
        b.U16(uint16_t(s));
    return b.data;
}

inline std::vector<uint8_t> ReferenceFile(const std::string& name)
{
    std::filesystem::path path =
        std::filesystem::path(QUORVEL_SOURCE_DIR) / "Tests/Unit/Tarnet/Sound/Reference" / name;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing reference file " << path;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline std::vector<int16_t> BigEndianPCM(const std::vector<uint8_t>& bytes)
{
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); i++)
        samples[i] = int16_t(uint16_t((bytes[2 * i] << 8) | bytes[2 * i + 1]));
    return samples;
}

// The host layer started, with a device-less mixer at 44.1 kHz and master gain 1.0, so that a
// source's samples come out unchanged.
class SoundTest : public TarnetTest
{
protected:
    void SetUp() override
    {
        TarnetTest::SetUp();
        cmixer::OpenWithoutDevice(44100, true);
        cmixer::SetMasterGain(1.0);
    }

    // Mixes `frames` stereo frames and returns them.
    static std::vector<int16_t> Mix(int frames)
    {
        std::vector<int16_t> out(size_t(frames) * 2);
        cmixer::MixOutput(out.data(), int(out.size()));
        return out;
    }

    // The bytes of a sound block's samples.
    static std::vector<uint8_t> BlockData(Tarnet::Handle block)
    {
        const size_t start = Tarnet::Sound::kSoundBlockHeaderSize;
        return std::vector<uint8_t>(*block + start, *block + Tarnet::GetHandleSize(block));
    }
    static Tarnet::SoundDescription BlockDescription(Tarnet::Handle block)
    {
        Tarnet::SoundDescription description;
        std::memcpy(&description, *block + sizeof(Tarnet::Sound::kSoundBlockMagic), sizeof(description));
        return description;
    }

    // Writes a file into the scratch folder and opens its data fork.
    int16_t OpenSoundFile(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        WriteBytes(Root() / name, bytes);
        Tarnet::FSSpec spec = Spec(Root() / name);
        int16_t refNum = -1;
        EXPECT_EQ(Tarnet::FSpOpenDF(&spec, Tarnet::fsRdPerm, &refNum), Tarnet::noErr);
        return refNum;
    }
};
