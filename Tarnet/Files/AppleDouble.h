// The AppleDouble header of a ".rsrc" companion file: it says where in the file the resource fork
// lies. All other entries (data fork, Finder information, ...) are ignored; the data fork is
// always the plain file.
#pragma once

#include <cstdint>
#include <istream>

namespace Tarnet::Files {

inline constexpr uint32_t kAppleDoubleMagic = 0x00051607;
inline constexpr uint32_t kAppleDoubleVersion = 0x00020000;
inline constexpr uint32_t kAppleDoubleResourceForkEntry = 2;
inline constexpr uint32_t kAppleDoubleFinderInfoEntry = 9;
inline constexpr uint32_t kAppleDoubleHeaderSize = 26; // magic, version, filler, entry count
inline constexpr uint32_t kAppleDoubleEntrySize = 12;  // ID, offset, length

struct ForkExtent
{
    uint64_t start;
    uint64_t length;
};

// Reads the header from the start of `stream`, a file of `fileLength` bytes, and leaves the stream
// at the first byte of the resource fork. Throws std::runtime_error for a wrong magic or version
// ("No ADF magic"), no resource-fork entry ("Didn't find entry ID=2 in ADF") or an entry that lies
// outside the file; std::out_of_range when the header itself is cut short.
ForkExtent ReadAppleDoubleHeader(std::istream& stream, uint64_t fileLength);

} // namespace Tarnet::Files
