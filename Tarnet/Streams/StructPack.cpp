#include "Tarnet/Streams/StructPack.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace Tarnet {
namespace {

// Records are small; a larger repeat is a typo and would otherwise step far past the data.
constexpr size_t kMaxRepeat = 1u << 20;

size_t FieldSize(char c)
{
    switch (c) {
    case '?':
    case 'B':
    case 'b':
    case 'c':
    case 'x':
        return 1;
    case 'H':
    case 'h':
        return 2;
    case 'I':
    case 'L':
    case 'f':
    case 'i':
    case 'l':
        return 4;
    case 'Q':
    case 'd':
    case 'q':
        return 8;
    default:
        return 0;
    }
}

} // namespace

size_t StructUnpack(const char* format, void* data)
{
    if (!format)
        throw std::invalid_argument("can't unpack without a format");
    if (format[0] != '<' && format[0] != '>')
        throw std::invalid_argument("first format char must be endianness indicator");
    bool bigEndian = format[0] == '>';
    auto* bytes = static_cast<uint8_t*>(data);

    size_t total = 0;
    size_t repeat = 0;
    for (const char* p = format + 1; *p; p++) {
        char c = *p;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        if (c >= '0' && c <= '9') {
            repeat = repeat * 10 + size_t(c - '0');
            if (repeat > kMaxRepeat)
                throw std::invalid_argument("repeat count too large in structpack format");
            continue;
        }
        size_t size = FieldSize(c);
        if (size == 0)
            throw std::invalid_argument("unknown format char in structpack format");
        if (total % size != 0)
            throw std::invalid_argument("illegal word alignment in structpack format");
        size_t count = repeat == 0 ? 1 : repeat;
        if (bytes && bigEndian && size >= 2)
            SwapIntegers(size, count, bytes + total);
        total += size * count;
        repeat = 0;
    }
    return total;
}

size_t StructUnpackArray(const char* format, size_t recordSize, size_t count, void* data)
{
    // Checked before converting anything, so that a wrong format leaves the data untouched.
    if (StructUnpack(format, nullptr) * count != recordSize * count)
        throw std::invalid_argument("unexpected length after byteswap");
    auto* bytes = static_cast<uint8_t*>(data);
    size_t total = 0;
    for (size_t i = 0; i < count; i++)
        total += StructUnpack(format, bytes ? bytes + i * recordSize : nullptr);
    return total;
}

size_t SwapIntegers(size_t itemSize, size_t count, void* data)
{
    auto* bytes = static_cast<uint8_t*>(data);
    if (bytes && itemSize >= 2) {
        for (size_t i = 0; i < count; i++)
            std::reverse(bytes + i * itemSize, bytes + (i + 1) * itemSize);
    }
    return itemSize * count;
}

} // namespace Tarnet
