// The decoders of compressed sound data, behind one interface. Each call decodes a whole buffer
// from a fresh state; the sizes must match exactly (std::invalid_argument or std::runtime_error
// otherwise), so a damaged length is refused before any sample is written.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "Tarnet/MacTypes.h"

namespace Tarnet::Sound {

class Codec
{
public:
    virtual ~Codec() = default;
    virtual int SamplesPerPacket() const = 0;     // per channel
    virtual int BytesPerPacket() const = 0;       // per channel
    virtual int NominalBitsPerSample() const = 0; // what a sound header states for this codec
    // Decodes interleaved packets of `channels` channels into interleaved 16-bit samples.
    virtual void Decode(int channels, std::span<const uint8_t> input, std::span<int16_t> output) = 0;
};

// MACE 3:1: 2-byte packets of 6 samples, each byte three codes of an adaptive table.
class MACE : public Codec
{
public:
    int SamplesPerPacket() const override { return 6; }
    int BytesPerPacket() const override { return 2; }
    int NominalBitsPerSample() const override { return 8; }
    void Decode(int channels, std::span<const uint8_t> input, std::span<int16_t> output) override;
};

// IMA ADPCM in 34-byte packets: a 2-byte predictor and step index, then 64 4-bit codes.
class IMA4 : public Codec
{
public:
    int SamplesPerPacket() const override { return 64; }
    int BytesPerPacket() const override { return 34; }
    int NominalBitsPerSample() const override { return 16; }
    void Decode(int channels, std::span<const uint8_t> input, std::span<int16_t> output) override;
};

// G.711 mu-law or A-law: one byte per sample.
class xlaw : public Codec
{
public:
    explicit xlaw(bool aLaw) : aLaw(aLaw) {}
    int SamplesPerPacket() const override { return 1; }
    int BytesPerPacket() const override { return 1; }
    int NominalBitsPerSample() const override { return 8; }
    void Decode(int channels, std::span<const uint8_t> input, std::span<int16_t> output) override;

private:
    bool aLaw;
};

// 0 and 'MAC3' give MACE, 'ima4' IMA4, 'ulaw' and 'alaw' xlaw; any other code throws
// std::runtime_error("Unknown audio codec: XXXX").
std::unique_ptr<Codec> MakeCodec(OSType codecCode);

// A four-character code as text; characters outside letters, digits and safe punctuation are '?'.
std::string FourCCText(OSType code);

// The codec's single-value tables, for tests: the amplitude of MACE's 4-column table (set A)
// or 2-column table (set B) at a row, and the 16-bit value of a G.711 byte.
int MACEAmplitude(bool setA, int row, int column);
int16_t DecodeXlawByte(bool aLaw, uint8_t code);

} // namespace Tarnet::Sound
