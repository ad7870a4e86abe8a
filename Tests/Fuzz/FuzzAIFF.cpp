// Feeds arbitrary bytes to the AIFF reader as a whole file, then decodes the samples the reader
// accepted exactly as a sound block would hold them. Damaged files must be refused with an
// exception; nothing may read outside the input or allocate more than the input justifies.

#include <cstdint>
#include <cstdlib>
#include <exception>

#include "Tarnet/Sound/SoundFiles.h"
#include "Tarnet/Streams/MemStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Tarnet::memstream stream(data, size);
    try {
        Tarnet::Sound::SoundDescription description = Tarnet::Sound::ReadAIFF(stream);
        std::streamoff position = stream.tellg();
        if (position < 0 || size_t(position) > size)
            std::abort();
        if (uint64_t(description.encodedLength) > size - size_t(position))
            return 0; // LoadSoundFile refuses this before allocating
        std::vector<int16_t> samples =
            Tarnet::Sound::DecodeToPCM16(description, {data + position, size_t(description.encodedLength)});
        if (!description.compressed && description.bitsPerSample == 16 &&
            samples.size() != size_t(description.encodedLength) / 2)
            std::abort();
    } catch (const std::exception&) {
        // Refusing damaged input is the expected outcome.
    }
    return 0;
}
