// Layout of a resource fork (big-endian; positions from the start of the fork):
//   0   data offset (always 256), map offset, data length, map length; 240 reserved bytes
//   256 data: for each resource a 4-byte length and the bytes
//   map: 28-byte header whose last two words are the type-list and name-list offsets (from the
//        map); the type list: types minus one (2), then per type its code (4), resources minus
//        one (2) and reference-list offset from the type list (2); reference lists of 12-byte
//        references: ID (2), name offset from the name list or 0xFFFF (2), attributes (1), data
//        offset from the data start (3), reserved (4); the name list of length-prefixed names.

#include "Tarnet/Resources/ResourceMap.h"

#include <algorithm>
#include <stdexcept>

#include "Tarnet/Streams/BigEndianReader.h"

namespace Tarnet::Resources {
namespace {

[[noreturn]] void Damaged(const char* what)
{
    throw std::runtime_error(std::string("FSpOpenResFile: ") + what);
}

// The map, read whole into memory. Callers check ranges first; the accessors check again so
// that no mistake can read outside the map.
class MapBytes
{
public:
    explicit MapBytes(std::vector<uint8_t> bytes) : bytes(std::move(bytes)) {}

    uint64_t Size() const { return bytes.size(); }
    uint8_t U8(uint64_t at) const { return bytes[Checked(at, 1)]; }
    uint16_t U16(uint64_t at) const
    {
        size_t i = Checked(at, 2);
        return uint16_t((bytes[i] << 8) | bytes[i + 1]);
    }
    uint32_t U32(uint64_t at) const
    {
        size_t i = Checked(at, 4);
        return (uint32_t(bytes[i]) << 24) | (uint32_t(bytes[i + 1]) << 16) | (uint32_t(bytes[i + 2]) << 8) |
               bytes[i + 3];
    }
    std::string String(uint64_t at, uint64_t length) const
    {
        size_t i = Checked(at, length);
        return std::string(reinterpret_cast<const char*>(bytes.data() + i), size_t(length));
    }

private:
    size_t Checked(uint64_t at, uint64_t length) const
    {
        if (at > bytes.size() || length > bytes.size() - at)
            Damaged("read outside the resource map");
        return size_t(at);
    }

    std::vector<uint8_t> bytes;
};

// A count field stores the count minus one; 0xFFFF is how an empty map stores zero.
uint32_t CountFromField(uint16_t field)
{
    return field == 0xFFFF ? 0 : uint32_t(field) + 1;
}

// Reads each resource's length word and checks that the bytes it announces lie inside the fork.
// The words are visited in file order through a window, so that a fork of many small resources
// costs a few large reads instead of a seek and a read per resource.
void ReadDataLengths(BigEndianReader& in, const Files::ForkExtent& fork, std::vector<ResourceEntry>& entries)
{
    constexpr uint64_t kWindowSize = 64 * 1024;
    std::vector<size_t> order(entries.size());
    for (size_t i = 0; i < order.size(); i++)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return entries[a].dataPosition < entries[b].dataPosition; });

    const uint64_t forkEnd = fork.start + fork.length;
    std::vector<uint8_t> window;
    uint64_t windowStart = 0;
    for (size_t i : order) {
        ResourceEntry& entry = entries[i];
        uint64_t lengthWord = entry.dataPosition - 4;
        if (window.empty() || lengthWord < windowStart || entry.dataPosition > windowStart + window.size()) {
            windowStart = lengthWord;
            window.resize(size_t(std::min(kWindowSize, forkEnd - lengthWord)));
            in.Seek(windowStart);
            in.ReadBytes(window.data(), window.size());
        }
        const uint8_t* word = window.data() + (lengthWord - windowStart);
        uint32_t size =
            (uint32_t(word[0]) << 24) | (uint32_t(word[1]) << 16) | (uint32_t(word[2]) << 8) | word[3];
        if (size > forkEnd - entry.dataPosition || size > uint32_t(INT32_MAX))
            Damaged("resource data runs past the end of the fork");
        entry.size = int32_t(size);
    }
}

} // namespace

std::vector<ResourceEntry> ReadResourceMap(std::istream& stream, const Files::ForkExtent& fork,
                                           int16_t refNum)
{
    BigEndianReader in(stream);
    const uint64_t base = fork.start;
    const uint64_t forkLength = fork.length;

    // Fork header.
    if (forkLength < kResourceDataOffset)
        Damaged("resource fork is shorter than its header");
    in.Seek(base);
    uint32_t dataOffset = in.ReadBigEndian<uint32_t>();
    uint32_t mapOffset = in.ReadBigEndian<uint32_t>();
    in.Skip(4); // data length: the data's extent is checked resource by resource
    uint32_t mapLength = in.ReadBigEndian<uint32_t>();
    in.Skip(240);
    if (in.Tell() != base + dataOffset)
        Damaged("Unexpected data offset");
    if (mapOffset > forkLength || mapLength > forkLength - mapOffset)
        Damaged("resource map lies outside the fork");
    if (mapLength < kMapHeaderSize + 2)
        Damaged("resource map is shorter than its header");

    in.Seek(base + mapOffset);
    MapBytes map(in.ReadByteVector(mapLength));

    // Type list: its offset is honoured as written (Mac tools always write 28).
    uint64_t typeList = map.U16(24);
    uint64_t nameList = map.U16(26);
    if (typeList + 2 > map.Size())
        Damaged("type list lies outside the resource map");
    uint32_t typeCount = CountFromField(map.U16(typeList));
    if (typeList + 2 + uint64_t(typeCount) * kTypeEntrySize > map.Size())
        Damaged("type list runs past the end of the resource map");

    // Reference lists may not overlap in a sound map, so the map's size bounds the total; this
    // stops a few type entries pointing at one list from multiplying the work.
    const uint64_t maxReferences = map.Size() / kReferenceSize;
    uint64_t totalReferences = 0;

    std::vector<ResourceEntry> entries;
    for (uint32_t t = 0; t < typeCount; t++) {
        uint64_t typeEntry = typeList + 2 + uint64_t(t) * kTypeEntrySize;
        ResType type = map.U32(typeEntry);
        uint32_t count = CountFromField(map.U16(typeEntry + 4));
        uint64_t references = typeList + map.U16(typeEntry + 6);
        if (references + uint64_t(count) * kReferenceSize > map.Size())
            Damaged("reference list lies outside the resource map");
        totalReferences += count;
        if (totalReferences > maxReferences)
            Damaged("more references than the resource map can hold");
        entries.reserve(size_t(totalReferences));

        for (uint32_t r = 0; r < count; r++) {
            uint64_t reference = references + uint64_t(r) * kReferenceSize;
            ResourceEntry entry{};
            entry.refNum = refNum;
            entry.type = type;
            entry.id = int16_t(map.U16(reference));
            uint16_t nameOffset = map.U16(reference + 2);
            uint32_t attributesAndOffset = map.U32(reference + 4);
            entry.attributes = uint8_t(attributesAndOffset >> 24);
            uint32_t resourceOffset = attributesAndOffset & 0x00FFFFFF;

            if (entry.attributes & kCompressedAttribute)
                Damaged("Compressed resources not supported yet");

            if (nameOffset != kNoName) {
                uint64_t name = nameList + nameOffset;
                if (name >= map.Size() || name + 1 + map.U8(name) > map.Size())
                    Damaged("resource name lies outside the resource map");
                entry.name = map.String(name + 1, map.U8(name));
            }

            // The length word must lie inside the fork; it is read below.
            uint64_t lengthWord = uint64_t(dataOffset) + resourceOffset;
            if (lengthWord + 4 > forkLength)
                Damaged("resource data lies outside the fork");
            entry.dataPosition = base + lengthWord + 4;
            entries.push_back(std::move(entry));
        }
    }
    ReadDataLengths(in, fork, entries);
    return entries;
}

} // namespace Tarnet::Resources
