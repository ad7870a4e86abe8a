#include "DataForge/Writers/BigEndianWriter.h"

#include <bit>
#include <fstream>
#include <stdexcept>

void BigEndianWriter::U8(uint8_t value)
{
    bytes.push_back(value);
}

void BigEndianWriter::U16(uint16_t value)
{
    bytes.push_back(static_cast<uint8_t>(value >> 8));
    bytes.push_back(static_cast<uint8_t>(value));
}

void BigEndianWriter::U32(uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<uint8_t>(value >> shift));
}

void BigEndianWriter::Float(float value)
{
    U32(std::bit_cast<uint32_t>(value));
}

void BigEndianWriter::Bytes(const void* data, size_t size)
{
    const auto* first = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), first, first + size);
}

void BigEndianWriter::Chars(std::string_view text)
{
    Bytes(text.data(), text.size());
}

void BigEndianWriter::PascalString(std::string_view text)
{
    if (text.size() > 255)
        throw std::length_error("Pascal string longer than 255 bytes");
    U8(static_cast<uint8_t>(text.size()));
    Chars(text);
}

void BigEndianWriter::Zeros(size_t count)
{
    bytes.insert(bytes.end(), count, 0);
}

void BigEndianWriter::PadTo(size_t alignment)
{
    if (alignment > 1 && bytes.size() % alignment != 0)
        Zeros(alignment - bytes.size() % alignment);
}

void WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}
