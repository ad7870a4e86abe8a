// MACE 3:1 decoding. Each byte holds three codes (bits 0-2, 3-4, 5-7); each code picks an
// amplitude from a table row chosen by an adaptive index, and a leaky accumulator turns the
// amplitudes into samples.

#include <array>
#include <cmath>
#include <stdexcept>

#include "Tarnet/Sound/Codecs.h"

namespace Tarnet::Sound {
namespace {

constexpr int kRows = 128;

// Index steps per code.
constexpr int kStepsA[8] = {-13, 8, 76, 222, 222, 76, 8, -13};
constexpr int kStepsB[4] = {-18, 140, 140, -18};

// Amplitude tables: each column grows geometrically by about 4.5 % a row from its first rows
// up to its last, saturating at 32767. The first three rows and the last are the codec's own
// values; the rows between follow that growth.
template <int Columns> struct AmplitudeTable
{
    std::array<std::array<int, Columns>, kRows> rows{};
};

template <int Columns>
AmplitudeTable<Columns> BuildTable(const int (&first)[3][Columns], const int (&last)[Columns])
{
    AmplitudeTable<Columns> table;
    // Columns that saturate grow like the first column, which does not.
    const double firstColumnGrowth = std::pow(double(last[0]) / first[2][0], 1.0 / (kRows - 3));
    for (int column = 0; column < Columns; column++) {
        double growth = last[column] < 32767
                            ? std::pow(double(last[column]) / first[2][column], 1.0 / (kRows - 3))
                            : firstColumnGrowth;
        for (int row = 0; row < kRows; row++) {
            int value;
            if (row < 3)
                value = first[row][column];
            else if (row == kRows - 1)
                value = last[column];
            else
                value = int(std::min(32767.0, std::round(first[2][column] * std::pow(growth, row - 2))));
            table.rows[size_t(row)][size_t(column)] = value;
        }
    }
    return table;
}

const AmplitudeTable<4>& TableA()
{
    static const int first[3][4] = {{37, 116, 206, 330}, {39, 121, 216, 346}, {41, 127, 225, 361}};
    static const int last[4] = {9639, 29727, 32767, 32767};
    static const AmplitudeTable<4> table = BuildTable<4>(first, last);
    return table;
}

const AmplitudeTable<2>& TableB()
{
    static const int first[3][2] = {{64, 216}, {67, 226}, {70, 236}};
    static const int last[2] = {16615, 32767};
    static const AmplitudeTable<2> table = BuildTable<2>(first, last);
    return table;
}

struct ChannelState
{
    int16_t index = 0;
    int16_t level = 0;
};

// One code through a table set of `Columns` columns (4 for set A, 2 for set B).
template <int Columns>
int16_t DecodeCode(int code, const AmplitudeTable<Columns>& table, const int* steps, ChannelState& state)
{
    int row = (state.index >> 4) & 0x7F;
    int current = code < Columns ? table.rows[size_t(row)][size_t(code)]
                                 : -1 - table.rows[size_t(row)][size_t(2 * Columns - 1 - code)];
    int index = state.index + steps[code] - (state.index >> 5);
    state.index = int16_t(index < 0 ? 0 : index);

    int sample = current + state.level;
    if (sample > 32767)
        sample = 32767;
    else if (sample < -32768)
        sample = -32767;
    state.level = int16_t(sample - (sample >> 3));
    // The decoder keeps 8 bits of precision, repeated in the low byte.
    return int16_t((sample & 0xFF00) | ((sample >> 8) & 0xFF));
}

} // namespace

int MACEAmplitude(bool setA, int row, int column)
{
    return setA ? TableA().rows[size_t(row)][size_t(column)] : TableB().rows[size_t(row)][size_t(column)];
}

void MACE::Decode(int channels, std::span<const uint8_t> input, std::span<int16_t> output)
{
    if (channels < 1)
        throw std::invalid_argument("bad channel count");
    if (input.size() % (2 * size_t(channels)) != 0)
        throw std::invalid_argument("odd input buffer size");
    if (output.size() != input.size() * 3)
        throw std::invalid_argument("incorrect output size");

    const AmplitudeTable<4>& tableA = TableA();
    const AmplitudeTable<2>& tableB = TableB();
    const size_t packets = input.size() / (2 * size_t(channels));
    for (int channel = 0; channel < channels; channel++) {
        ChannelState state;
        size_t sampleIndex = 0;
        for (size_t packet = 0; packet < packets; packet++) {
            const uint8_t* bytes = &input[(packet * size_t(channels) + size_t(channel)) * 2];
            for (int byte = 0; byte < 2; byte++) {
                uint8_t value = bytes[byte];
                int16_t samples[3] = {DecodeCode<4>(value & 7, tableA, kStepsA, state),
                                      DecodeCode<2>((value >> 3) & 3, tableB, kStepsB, state),
                                      DecodeCode<4>(value >> 5, tableA, kStepsA, state)};
                for (int16_t sample : samples)
                    output[sampleIndex++ * size_t(channels) + size_t(channel)] = sample;
            }
        }
    }
}

} // namespace Tarnet::Sound
