// G.711 mu-law and A-law expansion to 16-bit samples.

#include <array>
#include <stdexcept>

#include "Tarnet/Sound/Codecs.h"

namespace Tarnet::Sound {
namespace {

int16_t ExpandMuLaw(uint8_t code)
{
    uint8_t u = uint8_t(~code);
    int exponent = (u >> 4) & 7;
    int magnitude = (((u & 0x0F) << 3) + 0x84) << exponent;
    return int16_t((u & 0x80) ? 0x84 - magnitude : magnitude - 0x84);
}

int16_t ExpandALaw(uint8_t code)
{
    uint8_t a = uint8_t(code ^ 0x55);
    int exponent = (a >> 4) & 7;
    int magnitude = ((a & 0x0F) << 4) + 8;
    if (exponent)
        magnitude = (magnitude + 0x100) << (exponent - 1);
    return int16_t((a & 0x80) ? magnitude : -magnitude);
}

// Codes 0 to 127; code 128 + k is the negation of code k.
using HalfTable = std::array<int16_t, 128>;

HalfTable BuildHalfTable(int16_t (*expand)(uint8_t))
{
    HalfTable table{};
    for (int code = 0; code < 128; code++)
        table[size_t(code)] = expand(uint8_t(code));
    return table;
}

const HalfTable& TableFor(bool aLaw)
{
    static const HalfTable muLawTable = BuildHalfTable(ExpandMuLaw);
    static const HalfTable aLawTable = BuildHalfTable(ExpandALaw);
    return aLaw ? aLawTable : muLawTable;
}

} // namespace

int16_t DecodeXlawByte(bool aLaw, uint8_t code)
{
    int16_t value = TableFor(aLaw)[code & 0x7F];
    return code & 0x80 ? int16_t(-value) : value;
}

void xlaw::Decode(int, std::span<const uint8_t> input, std::span<int16_t> output)
{
    if (output.size() != input.size())
        throw std::runtime_error("ulaw: incorrect input/output buffer sizes");
    const HalfTable& table = TableFor(aLaw);
    for (size_t i = 0; i < input.size(); i++) {
        uint8_t code = input[i];
        int16_t value = table[code & 0x7F];
        output[i] = code & 0x80 ? int16_t(-value) : value;
    }
}

} // namespace Tarnet::Sound
