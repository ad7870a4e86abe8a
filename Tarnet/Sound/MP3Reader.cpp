// MP3 files decoded whole with the system's mpg123 library, frame by frame, into 16-bit PCM.
// The input goes in through 16 KiB windows; every decoded frame is appended as it comes.

#include <mpg123.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

#include "Tarnet/Sound/SoundFiles.h"

namespace Tarnet::Sound {
namespace {

constexpr size_t kInputWindow = 16384;

[[noreturn]] void Fail(const std::string& what)
{
    throw std::runtime_error("MP3: " + what);
}

struct HandleDeleter
{
    void operator()(mpg123_handle* handle) const
    {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};
using DecoderHandle = std::unique_ptr<mpg123_handle, HandleDeleter>;

DecoderHandle OpenDecoder()
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { mpg123_init(); });

    int error = MPG123_OK;
    DecoderHandle decoder(mpg123_new(nullptr, &error));
    if (!decoder)
        Fail(std::string("cannot start the decoder: ") + mpg123_plain_strerror(error));
    // Every frame as it is in the file (no gapless trimming), no messages on standard error, and
    // always signed 16-bit samples in the stream's own rate and channel count.
    mpg123_param(decoder.get(), MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
    mpg123_param(decoder.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(decoder.get());
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; i++)
        mpg123_format(decoder.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(decoder.get()) != MPG123_OK)
        Fail(std::string("cannot open the decoder: ") + mpg123_strerror(decoder.get()));
    return decoder;
}

} // namespace

DecodedMP3 DecodeMP3(std::span<const uint8_t> file)
{
    DecoderHandle decoder = OpenDecoder();
    DecodedMP3 result;
    long rate = 0;
    int channels = 0;
    size_t fed = 0;

    for (;;) {
        off_t frameNumber = 0;
        unsigned char* audio = nullptr;
        size_t bytes = 0;
        int status = mpg123_decode_frame(decoder.get(), &frameNumber, &audio, &bytes);

        if (status == MPG123_NEED_MORE) {
            if (fed == file.size())
                break; // input exhausted and nothing left in the window
            size_t window = std::min(kInputWindow, file.size() - fed);
            if (mpg123_feed(decoder.get(), file.data() + fed, window) != MPG123_OK)
                Fail(std::string("cannot feed the decoder: ") + mpg123_strerror(decoder.get()));
            fed += window;
            continue;
        }
        if (status == MPG123_NEW_FORMAT) {
            long newRate = 0;
            int newChannels = 0;
            int encoding = 0;
            mpg123_getformat(decoder.get(), &newRate, &newChannels, &encoding);
            if (channels != 0 && (newRate != rate || newChannels != channels))
                Fail("the sample rate or channel count changes inside the file");
            rate = newRate;
            channels = newChannels;
            continue;
        }
        if (status != MPG123_OK)
            Fail(std::string("undecodable data: ") + mpg123_strerror(decoder.get()));
        if (bytes == 0 || channels == 0)
            continue;

        size_t samples = bytes / 2;
        if (int64_t(result.samples.size() + samples) * 2 > kMaxDecodedBytes)
            Fail("decoded sound is longer than the layer accepts");
        size_t oldSize = result.samples.size();
        result.samples.resize(oldSize + samples);
        std::memcpy(result.samples.data() + oldSize, audio, samples * 2);
    }

    if (channels == 0 || result.samples.empty())
        Fail("no decodable frame in the file");

    SoundDescription& description = result.description;
    description.codec = OSTypeFrom("twos");
    description.bigEndian = false;
    description.compressed = false;
    description.baseNote = 60;
    description.bitsPerSample = 16;
    description.sampleRate = double(rate);
    description.numChannels = int16_t(channels);
    description.numFrames = int32_t(result.samples.size() / size_t(channels));
    description.encodedLength = description.numFrames * channels * 2;
    description.decodedLength = description.encodedLength;
    result.samples.resize(size_t(description.encodedLength / 2));
    return result;
}

} // namespace Tarnet::Sound
