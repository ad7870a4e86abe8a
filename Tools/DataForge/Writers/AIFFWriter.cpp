// AIFF: FORM 'AIFF' holding COMM (channels, frames, bits, 80-bit extended rate), MARK and INST for
// a looping sound (markers 1 and 2 at the first and last frame, sustain loop mode 1 between them),
// and SSND (offset 0, block size 0, big-endian samples). Every chunk is an even number of bytes.

#include "DataForge/Writers/AudioWriters.h"
#include "DataForge/Writers/BigEndianWriter.h"

#include <cmath>
#include <stdexcept>

// An 80-bit IEEE extended float: sign and 15-bit exponent, then a 64-bit mantissa with its integer bit.
static void Extended(BigEndianWriter* out, double value)
{
    int exponent = 0;
    double fraction = std::frexp(value, &exponent); // value = fraction * 2^exponent, fraction in [0.5, 1)
    uint64_t mantissa = uint64_t(std::ldexp(fraction, 64));
    out->U16(uint16_t(exponent - 1 + 16383));
    out->U32(uint32_t(mantissa >> 32));
    out->U32(uint32_t(mantissa));
}

static void Chunk(BigEndianWriter* file, const char* id, const BigEndianWriter& body)
{
    file->Chars(id);
    file->U32(uint32_t(body.Size()));
    file->Bytes(body.Data());
    file->PadTo(2);
}

std::vector<uint8_t> BuildAIFF(const PCMSound& sound)
{
    if (sound.channels != 1 && sound.channels != 2)
        throw std::invalid_argument("BuildAIFF: 1 or 2 channels");
    if (sound.samples.empty() || sound.samples.size() % size_t(sound.channels) != 0 || sound.sampleRate <= 0)
        throw std::invalid_argument("BuildAIFF: no whole frames of samples");
    const uint32_t frames = uint32_t(sound.samples.size() / size_t(sound.channels));

    BigEndianWriter chunks;
    BigEndianWriter common;
    common.I16(int16_t(sound.channels));
    common.U32(frames);
    common.I16(16);
    Extended(&common, sound.sampleRate);
    Chunk(&chunks, "COMM", common);

    if (sound.loop) {
        BigEndianWriter markers;
        markers.U16(2);
        markers.I16(1);
        markers.U32(0);
        markers.PascalString("beg loop");
        markers.PadTo(2);
        markers.I16(2);
        markers.U32(frames);
        markers.PascalString("end loop");
        markers.PadTo(2);
        Chunk(&chunks, "MARK", markers);

        BigEndianWriter instrument;
        instrument.U8(60);   // base note: plays at its own rate
        instrument.U8(0);    // detune
        instrument.U8(0);    // low note
        instrument.U8(127);  // high note
        instrument.U8(1);    // low velocity
        instrument.U8(127);  // high velocity
        instrument.I16(0);   // gain
        instrument.I16(1);   // sustain loop: forward
        instrument.I16(1);   //   from marker 1
        instrument.I16(2);   //   to marker 2
        instrument.Zeros(6); // no release loop
        Chunk(&chunks, "INST", instrument);
    }

    BigEndianWriter data;
    data.U32(0);
    data.U32(0);
    for (int16_t sample : sound.samples)
        data.I16(sample);
    Chunk(&chunks, "SSND", data);

    BigEndianWriter file;
    file.Chars("FORM");
    file.U32(uint32_t(chunks.Size() + 4));
    file.Chars("AIFF");
    file.Bytes(chunks.Data());
    return file.Take();
}
