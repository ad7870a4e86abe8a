// A source over PCM samples in memory, converted to interleaved 16-bit stereo as the mixer asks.

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

#include "Tarnet/cmixer/MixerLocal.h"

namespace cmixer {

WavStream::~WavStream()
{
    // Out of the mix before the data goes: the audio thread must not fill from it any more.
    Detach();
}

void WavStream::Init(int newSampleRate, int newBits, int newChannels, bool newBigEndian,
                     std::span<const uint8_t> newData, bool newSignedBytes)
{
    if (newBits != 8 && newBits != 16)
        throw std::invalid_argument("WavStream: unsupported sample size " + std::to_string(newBits) +
                                    " bits");
    if (newChannels != 1 && newChannels != 2)
        throw std::invalid_argument("WavStream: unsupported channel count " + std::to_string(newChannels));
    if (newSampleRate < 1)
        throw std::invalid_argument("WavStream: unsupported sample rate " + std::to_string(newSampleRate));

    size_t frames = newData.size() / size_t(newBits / 8) / size_t(newChannels);
    detail::MixerLock lock;
    ResetLocked();
    // The owned buffer stays when the new data lies in it (GetBuffer, then Init).
    const uint8_t* ownedBegin = owned.data();
    if (newData.empty() || newData.data() < ownedBegin || newData.data() >= ownedBegin + owned.size())
        std::vector<uint8_t>().swap(owned);
    bitsPerSample = newBits;
    channels = newChannels;
    bigEndian = newBigEndian;
    signedBytes = newSignedBytes;
    readIndex = 0;
    data = newData;
    BeginStreamLocked(newSampleRate, int(std::min<size_t>(frames, INT32_MAX)));
}

std::span<uint8_t> WavStream::GetBuffer(size_t bytes)
{
    detail::MixerLock lock;
    ResetLocked();
    data = {};
    readIndex = 0;
    owned.assign(bytes, 0);
    return owned;
}

void WavStream::Rewind()
{
    readIndex = 0;
}

void WavStream::Clear()
{
    data = {};
    bigEndian = false;
    signedBytes = false;
    readIndex = 0;
    std::vector<uint8_t>().swap(owned);
}

void WavStream::Fill(int16_t* destination, int samples)
{
    const int length = GetLengthFrames();
    int frames = samples / 2;
    while (frames > 0) {
        if (readIndex >= length)
            readIndex = GetLoopStart();
        int count = std::min(frames, length - readIndex);
        if (count <= 0) {
            // No data to wrap to: the rest is silence.
            std::fill(destination, destination + frames * 2, int16_t(0));
            return;
        }
        const uint8_t* in = data.data() + size_t(readIndex) * size_t(channels) * size_t(bitsPerSample / 8);
        for (int i = 0; i < count; i++) {
            int16_t leftSample;
            int16_t rightSample;
            if (bitsPerSample == 16) {
                auto sampleAt = [&](int index) {
                    const uint8_t* bytes = in + index * 2;
                    if (bigEndian)
                        return int16_t(uint16_t((bytes[0] << 8) | bytes[1]));
                    int16_t value;
                    std::memcpy(&value, bytes, 2);
                    return value;
                };
                leftSample = sampleAt(0);
                rightSample = channels == 2 ? sampleAt(1) : leftSample;
            } else {
                auto sampleAt = [&](int index) {
                    int value = signedBytes ? int(int8_t(in[index])) * 256 : int(in[index]) * 256 - 32768;
                    return int16_t(value);
                };
                leftSample = sampleAt(0);
                rightSample = channels == 2 ? sampleAt(1) : leftSample;
            }
            destination[0] = leftSample;
            destination[1] = rightSample;
            destination += 2;
            in += channels * (bitsPerSample / 8);
        }
        readIndex += count;
        frames -= count;
    }
}

} // namespace cmixer
