// Reading a resource fork's map. The fork is untrusted data: every offset, count and length is
// checked against the map or the fork before it is used, so a damaged fork fails with a message
// instead of reading outside the fork or allocating beyond its size.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "Tarnet/Files/AppleDouble.h"
#include "Tarnet/MacTypes.h"

namespace Tarnet::Resources {

inline constexpr uint32_t kResourceDataOffset = 256; // the data always follows the fork header
inline constexpr uint32_t kMapHeaderSize = 28;       // header copy, next map, refNum, attributes, offsets
inline constexpr uint32_t kTypeEntrySize = 8;
inline constexpr uint32_t kReferenceSize = 12;
inline constexpr uint16_t kNoName = 0xFFFF;
inline constexpr uint8_t kCompressedAttribute = 0x01;

struct ResourceEntry
{
    int16_t refNum;
    ResType type;
    int16_t id;
    uint8_t attributes;
    int32_t size;
    uint64_t dataPosition; // absolute position of the first data byte in the stream
    std::string name;
};

// Reads the map of the fork at `fork` (positions in `stream`) and returns every reference in map
// order, each stamped with `refNum`. Reads the map in one piece and each resource's length word;
// never the data. Throws std::runtime_error naming the fault, or std::out_of_range for a read past
// the end of the stream.
std::vector<ResourceEntry> ReadResourceMap(std::istream& stream, const Files::ForkExtent& fork,
                                           int16_t refNum);

} // namespace Tarnet::Resources
