// IMA ADPCM as packed in sound files: per channel, 34-byte packets of a 2-byte header (9-bit
// predictor, 7-bit step index) and 64 4-bit codes, low nibble first.

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "Tarnet/Sound/Codecs.h"

namespace Tarnet::Sound {
namespace {

constexpr int kStepTable[89] = {
    7,    8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,   28,
    31,   34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,  118,
    130,  143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,  494,
    544,  598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878, 2066,
    2272, 2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845, 8630,
    9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

constexpr int kIndexTable[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

constexpr size_t kPacketBytes = 34;
constexpr size_t kPacketSamples = 64;

struct ChannelState
{
    int32_t predictor = 0;
    int16_t stepIndex = 0;
};

int16_t ExpandNibble(int code, ChannelState& state)
{
    int step = kStepTable[state.stepIndex];
    int diff = step >> 3;
    if (code & 4)
        diff += step;
    if (code & 2)
        diff += step >> 1;
    if (code & 1)
        diff += step >> 2;
    state.predictor = std::clamp(code & 8 ? state.predictor - diff : state.predictor + diff, -32768, 32767);
    state.stepIndex = int16_t(std::clamp(state.stepIndex + kIndexTable[code], 0, 88));
    return int16_t(state.predictor);
}

} // namespace

void IMA4::Decode(int channels, std::span<const uint8_t> input, std::span<int16_t> output)
{
    if (channels < 1)
        throw std::invalid_argument("bad channel count");
    if (input.size() % kPacketBytes != 0)
        throw std::invalid_argument("odd input buffer size");
    const size_t channelCount = size_t(channels);
    const size_t packetsPerChannel = input.size() / (kPacketBytes * channelCount);
    if (packetsPerChannel * kPacketBytes * channelCount != input.size() ||
        output.size() != channelCount * packetsPerChannel * kPacketSamples)
        throw std::invalid_argument("incorrect output size");

    ChannelState states[2];
    for (size_t group = 0; group < packetsPerChannel; group++) {
        for (size_t channel = 0; channel < channelCount; channel++) {
            ChannelState scratch;
            ChannelState& state = channel < 2 ? states[channel] : scratch;
            const uint8_t* packet = &input[(group * channelCount + channel) * kPacketBytes];

            // A header that continues the channel's own state keeps the finer predictor.
            uint16_t header = uint16_t((packet[0] << 8) | packet[1]);
            int32_t headerPredictor = int16_t(header & 0xFF80);
            int16_t headerIndex = int16_t(header & 0x7F);
            if (headerIndex != state.stepIndex || std::abs(headerPredictor - state.predictor) > 127) {
                state.predictor = headerPredictor;
                state.stepIndex = headerIndex;
            }
            if (state.stepIndex > 88)
                throw std::invalid_argument("step_index[chan]>88!");

            int16_t* out = &output[group * channelCount * kPacketSamples + channel];
            for (size_t i = 0; i < kPacketSamples / 2; i++) {
                uint8_t codes = packet[2 + i];
                out[(2 * i) * channelCount] = ExpandNibble(codes & 0x0F, state);
                out[(2 * i + 1) * channelCount] = ExpandNibble(codes >> 4, state);
            }
        }
    }
}

} // namespace Tarnet::Sound
