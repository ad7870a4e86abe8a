// Converts arrays of big-endian records to host order in place, described by a format string:
// '<' or '>' first (little- or big-endian data), then one letter per field, optionally preceded by
// a decimal repeat count; blanks, tabs and line ends are ignored.
//   1 byte:  ? B b c x      2 bytes: H h      4 bytes: I L f i l      8 bytes: Q d q
// Fields must be naturally aligned within the record (pad with 'x'). Errors throw
// std::invalid_argument with a fixed message.
#pragma once

#include <cstddef>

namespace Tarnet {

// Converts one record at `data` (if not null) and returns the record's size in bytes.
size_t StructUnpack(const char* format, void* data);

// Converts `count` records of `recordSize` bytes; the format's size must equal `recordSize`.
size_t StructUnpackArray(const char* format, size_t recordSize, size_t count, void* data);

// Reverses the bytes of `count` items of `itemSize` bytes in place; returns itemSize * count.
size_t SwapIntegers(size_t itemSize, size_t count, void* data);

} // namespace Tarnet
