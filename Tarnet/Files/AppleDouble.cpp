#include "Tarnet/Files/AppleDouble.h"

#include <stdexcept>

#include "Tarnet/Streams/BigEndianReader.h"

namespace Tarnet::Files {

ForkExtent ReadAppleDoubleHeader(std::istream& stream, uint64_t fileLength)
{
    BigEndianReader in(stream);
    in.Seek(0);
    uint64_t magicAndVersion = in.ReadBigEndian<uint64_t>();
    if (magicAndVersion != ((uint64_t(kAppleDoubleMagic) << 32) | kAppleDoubleVersion))
        throw std::runtime_error("No ADF magic");
    in.Skip(16);
    uint16_t entryCount = in.ReadBigEndian<uint16_t>();

    for (uint16_t i = 0; i < entryCount; i++) {
        uint32_t id = in.ReadBigEndian<uint32_t>();
        uint32_t offset = in.ReadBigEndian<uint32_t>();
        uint32_t length = in.ReadBigEndian<uint32_t>();
        if (id != kAppleDoubleResourceForkEntry)
            continue;
        // The fork's extent bounds every later read of the resource map, so it must be real.
        if (uint64_t(offset) + length > fileLength)
            throw std::runtime_error("ADF resource fork entry lies outside the file");
        in.Seek(offset);
        return {offset, length};
    }
    throw std::runtime_error("Didn't find entry ID=2 in ADF");
}

} // namespace Tarnet::Files
