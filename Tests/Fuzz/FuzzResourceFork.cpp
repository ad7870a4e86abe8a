// Feeds arbitrary bytes to the resource-fork parser as the contents of a ".rsrc" companion file:
// the AppleDouble header, then the resource map, then each resource's data, read exactly as
// FSpOpenRF, FSpOpenResFile and GetResource read them. Every entry the parser accepts must lie
// inside the fork; anything else must be refused with an exception, never a crash.

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <vector>

#include "Tarnet/Files/AppleDouble.h"
#include "Tarnet/Resources/ResourceMap.h"
#include "Tarnet/Streams/BigEndianReader.h"
#include "Tarnet/Streams/MemStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Tarnet::memstream stream(data, size);
    try {
        Tarnet::Files::ForkExtent fork = Tarnet::Files::ReadAppleDoubleHeader(stream, size);
        if (fork.start + fork.length > size)
            std::abort();
        std::vector<Tarnet::Resources::ResourceEntry> entries =
            Tarnet::Resources::ReadResourceMap(stream, fork, 1);

        Tarnet::BigEndianReader in(stream);
        size_t checked = 0;
        for (const auto& entry : entries) {
            if (entry.size < 0 || entry.dataPosition < fork.start ||
                entry.dataPosition + uint64_t(entry.size) > fork.start + fork.length)
                std::abort();
            // Reading every resource of a large map adds nothing; a few exercise the data path.
            if (checked++ < 16) {
                std::vector<uint8_t> bytes(size_t(entry.size));
                in.Seek(entry.dataPosition);
                in.ReadBytes(bytes.data(), bytes.size());
            }
        }
    } catch (const std::exception&) {
        // Refusing damaged input is the expected outcome.
    }
    return 0;
}
