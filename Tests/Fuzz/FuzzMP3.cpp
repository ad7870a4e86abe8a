// Feeds arbitrary bytes to the MP3 reader. Whatever decodes must describe exactly the samples
// returned; anything else must end in an exception.

#include <cstdint>
#include <cstdlib>
#include <exception>

#include "Tarnet/Sound/SoundFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        Tarnet::Sound::DecodedMP3 decoded = Tarnet::Sound::DecodeMP3({data, size});
        const Tarnet::Sound::SoundDescription& description = decoded.description;
        if (description.numChannels < 1 || description.numChannels > 2 ||
            decoded.samples.size() != size_t(description.numFrames) * size_t(description.numChannels) ||
            description.encodedLength != int32_t(decoded.samples.size() * 2))
            std::abort();
    } catch (const std::exception&) {
        // Refusing undecodable input is the expected outcome.
    }
    return 0;
}
