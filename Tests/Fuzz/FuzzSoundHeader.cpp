// Feeds arbitrary bytes to the 'snd ' resource calls as the contents of a resource handle: the
// header offset, the description of the header it points at, and the expansion into a playable
// sound block, which must then describe itself again. Everything the input claims is checked
// against the handle's size.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "Tarnet/Memory/Memory.h"
#include "Tarnet/Sound/Sound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    Tarnet::Handle sound = Tarnet::NewHandle(Tarnet::Size(size));
    if (size)
        std::memcpy(*sound, data, size);
    try {
        long offset = 0;
        if (Tarnet::ExpandSoundHandle(&sound, &offset) == Tarnet::noErr) {
            if (offset != 2)
                std::abort();
            Tarnet::SoundDescription description;
            Tarnet::DescribeSoundHeader(reinterpret_cast<const uint8_t*>(*sound) + 2,
                                        size_t(Tarnet::GetHandleSize(sound)) - 2, &description);
            if (description.compressed || description.encodedLength != description.decodedLength)
                std::abort();
        }
    } catch (const std::exception&) {
        // Refusing damaged input is the expected outcome.
    }
    Tarnet::DisposeHandle(sound);
    return 0;
}
