#include "Tarnet/Streams/BigEndianReader.h"

#include <cmath>
#include <stdexcept>

namespace Tarnet {
namespace {

[[noreturn]] void ThrowReadPastEnd()
{
    throw std::out_of_range("Read past end of stream!");
}

// Bytes needed after a string of `used` bytes to reach a multiple of `alignment`.
size_t PaddingAfter(size_t used, int alignment)
{
    if (alignment <= 1)
        return 0;
    size_t remainder = used % size_t(alignment);
    return remainder == 0 ? 0 : size_t(alignment) - remainder;
}

} // namespace

void BigEndianReader::ReadBytes(void* destination, size_t n)
{
    if (n == 0)
        return;
    stream.read(static_cast<char*>(destination), std::streamsize(n));
    if (!stream || size_t(stream.gcount()) != n) {
        // Leave the stream usable for the caller's clean-up and the next parse.
        stream.clear();
        ThrowReadPastEnd();
    }
}

std::vector<uint8_t> BigEndianReader::ReadByteVector(size_t n)
{
    // A count from a file must not size an allocation beyond what the stream can deliver.
    if (n > Length() - Tell())
        ThrowReadPastEnd();
    std::vector<uint8_t> bytes(n);
    ReadBytes(bytes.data(), n);
    return bytes;
}

void BigEndianReader::Skip(int64_t n)
{
    stream.clear();
    if (!stream.seekg(std::streamoff(n), std::ios_base::cur)) {
        stream.clear();
        throw std::out_of_range("Seek outside the stream!");
    }
}

void BigEndianReader::Seek(uint64_t position)
{
    stream.clear();
    if (position > uint64_t(INT64_MAX) || !stream.seekg(std::streampos(std::streamoff(position)))) {
        stream.clear();
        throw std::out_of_range("Seek outside the stream!");
    }
}

uint64_t BigEndianReader::Tell()
{
    stream.clear();
    std::streamoff position = stream.tellg();
    if (position < 0)
        throw std::runtime_error("stream position unavailable");
    return uint64_t(position);
}

uint64_t BigEndianReader::Length()
{
    StreamPosGuard guard(stream);
    stream.seekg(0, std::ios_base::end);
    std::streamoff end = stream.tellg();
    if (end < 0) {
        stream.clear();
        throw std::runtime_error("stream length unavailable");
    }
    return uint64_t(end);
}

std::string BigEndianReader::ReadPascalString(int alignment)
{
    uint8_t length = ReadBigEndian<uint8_t>();
    std::string text(length, '\0');
    ReadBytes(text.data(), length);
    size_t padding = PaddingAfter(size_t(length) + 1, alignment);
    if (padding)
        Skip(int64_t(padding));
    return text;
}

std::string BigEndianReader::ReadPascalStringFixed(size_t fieldLength)
{
    uint8_t length = ReadBigEndian<uint8_t>();
    if (length > fieldLength)
        throw std::out_of_range("ReadPascalStringFixed: length byte exceeds the field");
    std::string field(fieldLength, '\0');
    ReadBytes(field.data(), fieldLength);
    field.resize(length);
    return field;
}

double BigEndianReader::ReadExtendedFloat()
{
    uint8_t bytes[10];
    ReadBytes(bytes, sizeof(bytes));
    return ExtendedFloatToDouble(bytes);
}

double ExtendedFloatToDouble(const uint8_t b[10])
{
    bool negative = b[0] & 0x80;
    int exponent = ((b[0] & 0x7F) << 8) | b[1];
    uint32_t high = (uint32_t(b[2]) << 24) | (uint32_t(b[3]) << 16) | (uint32_t(b[4]) << 8) | b[5];
    uint32_t low = (uint32_t(b[6]) << 24) | (uint32_t(b[7]) << 16) | (uint32_t(b[8]) << 8) | b[9];

    double value;
    if (exponent == 0 && high == 0 && low == 0)
        value = 0.0;
    else if (exponent == 0x7FFF)
        value = HUGE_VAL;
    else
        value = std::ldexp(double(high), exponent - 16414) + std::ldexp(double(low), exponent - 16446);
    return negative ? -value : value;
}

StreamPosGuard::StreamPosGuard(std::istream& stream) : stream(stream)
{
    stream.clear();
    saved = stream.tellg();
}

StreamPosGuard::~StreamPosGuard()
{
    stream.clear();
    stream.seekg(saved);
}

void WritePascalString(std::ostream& stream, std::string_view text, int alignment)
{
    if (text.size() >= 256)
        throw std::out_of_range("WritePascalString: must be <255 characters!");
    stream.put(char(uint8_t(text.size())));
    stream.write(text.data(), std::streamsize(text.size()));
    for (size_t i = PaddingAfter(text.size() + 1, alignment); i > 0; i--)
        stream.put('\0');
}

} // namespace Tarnet
