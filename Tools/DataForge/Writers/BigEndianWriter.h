// Big-endian record writer: appends numbers, strings and padding to a byte vector in the byte
// order every data file of the game uses, and writes the result to a file. Layouts only; what
// the records mean belongs to the writer of each format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

class BigEndianWriter
{
public:
    void U8(uint8_t value);
    void U16(uint16_t value);
    void U32(uint32_t value);
    void I16(int16_t value) { U16(static_cast<uint16_t>(value)); }
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void Float(float value); // IEEE 754 single precision, big-endian

    void Bytes(const void* data, size_t size);
    void Bytes(const std::vector<uint8_t>& data) { Bytes(data.data(), data.size()); }
    void Chars(std::string_view text);        // the characters only, no length, no terminator
    void PascalString(std::string_view text); // length byte, then the characters; throws past 255
    void Zeros(size_t count);
    void PadTo(size_t alignment); // zeros up to the next multiple of `alignment`

    size_t Size() const { return bytes.size(); }
    const std::vector<uint8_t>& Data() const { return bytes; }
    std::vector<uint8_t> Take() { return std::move(bytes); }

private:
    std::vector<uint8_t> bytes;
};

// Writes `bytes` to `path`, replacing the file; throws std::runtime_error naming the path on failure.
void WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
