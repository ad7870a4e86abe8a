// Exact, big-endian reading over a host input stream (a file fork's stream or a memstream). Every
// read either delivers all the bytes asked for or throws, so a truncated file fails at the first
// short read instead of yielding partial data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace Tarnet {

class BigEndianReader
{
public:
    explicit BigEndianReader(std::istream& stream) : stream(stream) {}

    // Reads exactly n bytes; fewer available throws std::out_of_range("Read past end of stream!").
    void ReadBytes(void* destination, size_t n);

    // Reads n bytes into a new array; n beyond the bytes left throws before anything is allocated.
    std::vector<uint8_t> ReadByteVector(size_t n);

    // Reads an integer of 1, 2, 4 or 8 bytes stored most significant byte first.
    template <typename T> T ReadBigEndian()
    {
        static_assert(std::is_integral_v<T> &&
                      (sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4 || sizeof(T) == 8));
        uint8_t bytes[sizeof(T)];
        ReadBytes(bytes, sizeof(T));
        std::make_unsigned_t<T> value = 0;
        for (uint8_t byte : bytes)
            value = std::make_unsigned_t<T>((uint64_t(value) << 8) | byte);
        return T(value);
    }

    void Skip(int64_t n);         // moves relative to the current position; leaving the stream throws
    void Seek(uint64_t position); // moves to an absolute position; leaving the stream throws
    uint64_t Tell();              // the current absolute position
    uint64_t Length();            // the stream's total length; the position is kept

    // A length byte L and L bytes, then padding so that the whole string (L + 1 bytes) fills a
    // multiple of `alignment` bytes (alignment 1 or 0: no padding; 2: AIFF's pad byte).
    std::string ReadPascalString(int alignment = 1);

    // A length byte L and a fixed field of F bytes, of which the first L are the string. A length
    // byte larger than the field throws std::out_of_range.
    std::string ReadPascalStringFixed(size_t fieldLength);

    // A 10-byte IEEE 754 extended-precision number, as in AIFF sample rates.
    double ReadExtendedFloat();

    std::istream& Stream() { return stream; }

private:
    std::istream& stream;
};

// Seeks back, when it goes out of scope, to the position the stream had when it was created:
// look-ahead reads cannot lose their place, even when they throw.
class StreamPosGuard
{
public:
    explicit StreamPosGuard(std::istream& stream);
    ~StreamPosGuard();
    StreamPosGuard(const StreamPosGuard&) = delete;
    StreamPosGuard& operator=(const StreamPosGuard&) = delete;

private:
    std::istream& stream;
    std::streampos saved;
};

// Converts 10 bytes of an 80-bit extended float (stream order) to a double; the exponent 0x7FFF
// gives an infinity of the number's sign, whatever its mantissa.
double ExtendedFloatToDouble(const uint8_t bytes[10]);

// Writes the length byte, the bytes and zero padding as ReadPascalString reads them back. A string
// of 256 bytes or more throws std::out_of_range.
void WritePascalString(std::ostream& stream, std::string_view text, int alignment = 1);

} // namespace Tarnet
