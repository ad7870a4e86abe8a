// Sound file writers: AIFF with 16-bit big-endian PCM and an optional sustain loop over the whole
// sound, and MP3 through the LAME encoder. Samples are interleaved 16-bit host-order values.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

struct PCMSound
{
    int channels = 1; // 1 or 2
    int sampleRate = 22050;
    std::vector<int16_t> samples; // interleaved
    bool loop = false;            // a sustain loop from the first frame to the last
};

// The bytes of a plain AIFF file: COMM, then (for a looping sound) MARK and INST with base note 60,
// then SSND. Throws std::invalid_argument for a channel count other than 1 or 2 or no samples.
std::vector<uint8_t> BuildAIFF(const PCMSound& sound);

// MPEG-1 Layer III at `kilobitsPerSecond` (constant bit rate, no tag), the encoder's start-up delay and
// padding left in. The sample rate must be one MPEG-1 allows (32000, 44100 or 48000 Hz). Deterministic:
// the same samples always give the same bytes. Throws std::runtime_error when the encoder refuses.
std::vector<uint8_t> EncodeMP3(const PCMSound& sound, int kilobitsPerSecond);
