#include "Tarnet/Resources/ResourceForkWriter.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "Tarnet/Files/AppleDouble.h"
#include "Tarnet/Resources/ResourceMap.h"

namespace Tarnet {
namespace {

using namespace Tarnet::Resources;

void Put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(uint8_t(value >> 8));
    out.push_back(uint8_t(value));
}

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    Put16(out, value >> 16);
    Put16(out, value & 0xFFFF);
}

void Poke32(std::vector<uint8_t>& out, size_t at, uint32_t value)
{
    out[at] = uint8_t(value >> 24);
    out[at + 1] = uint8_t(value >> 16);
    out[at + 2] = uint8_t(value >> 8);
    out[at + 3] = uint8_t(value);
}

void Poke16(std::vector<uint8_t>& out, size_t at, uint32_t value)
{
    out[at] = uint8_t(value >> 8);
    out[at + 1] = uint8_t(value);
}

} // namespace

void ResourceForkWriter::Add(ResType type, int16_t id, std::vector<uint8_t> data, std::string name,
                             uint8_t attributes)
{
    if (name.size() > 255)
        throw std::length_error("ResourceForkWriter: resource names are at most 255 bytes");
    resources.push_back({type, id, attributes, std::move(data), std::move(name)});
}

void ResourceForkWriter::SetFinderInfo(OSType fileType, OSType creator)
{
    hasFinderInfo = true;
    finderType = fileType;
    finderCreator = creator;
}

std::vector<uint8_t> ResourceForkWriter::BuildFork() const
{
    // Types in order of first appearance, each with the indexes of its resources.
    std::vector<std::pair<ResType, std::vector<size_t>>> types;
    for (size_t i = 0; i < resources.size(); i++) {
        auto it = std::find_if(types.begin(), types.end(),
                               [&](const auto& t) { return t.first == resources[i].type; });
        if (it == types.end()) {
            types.push_back({resources[i].type, {}});
            it = types.end() - 1;
        }
        it->second.push_back(i);
    }
    if (types.size() > 0xFFFF)
        throw std::length_error("ResourceForkWriter: too many types");

    // Data area, remembering each resource's offset from its start.
    std::vector<uint8_t> data;
    std::vector<uint32_t> dataOffsets(resources.size());
    for (size_t i = 0; i < resources.size(); i++) {
        if (data.size() > 0xFFFFFF)
            throw std::length_error(
                "ResourceForkWriter: resource data beyond the 16 MiB that 24-bit offsets reach");
        dataOffsets[i] = uint32_t(data.size());
        Put32(data, uint32_t(resources[i].data.size()));
        data.insert(data.end(), resources[i].data.begin(), resources[i].data.end());
    }

    // Map: header, type list (at 28), reference lists, name list.
    std::vector<uint8_t> map(kMapHeaderSize, 0);
    const size_t typeList = kMapHeaderSize;
    Put16(map, types.empty() ? 0xFFFF : uint32_t(types.size() - 1));
    size_t referenceStart = 2 + types.size() * kTypeEntrySize;
    std::vector<uint8_t> references;
    std::vector<uint8_t> names;
    for (const auto& [type, members] : types) {
        if (members.size() > 0xFFFF)
            throw std::length_error("ResourceForkWriter: too many resources of one type");
        size_t listOffset = referenceStart + references.size();
        if (listOffset > 0xFFFF)
            throw std::length_error("ResourceForkWriter: reference lists beyond the reach of 16-bit offsets");
        Put32(map, type);
        Put16(map, uint32_t(members.size() - 1));
        Put16(map, uint32_t(listOffset));
        for (size_t i : members) {
            const Resource& resource = resources[i];
            Put16(references, uint16_t(resource.id));
            if (resource.name.empty()) {
                Put16(references, kNoName);
            } else {
                if (names.size() >= kNoName)
                    throw std::length_error(
                        "ResourceForkWriter: name list beyond the reach of 16-bit offsets");
                Put16(references, uint32_t(names.size()));
                names.push_back(uint8_t(resource.name.size()));
                names.insert(names.end(), resource.name.begin(), resource.name.end());
            }
            Put32(references, (uint32_t(resource.attributes) << 24) | dataOffsets[i]);
            Put32(references, 0);
        }
    }
    map.insert(map.end(), references.begin(), references.end());
    size_t nameList = map.size();
    if (nameList > 0xFFFF && !names.empty())
        throw std::length_error("ResourceForkWriter: name list beyond the reach of 16-bit offsets");
    map.insert(map.end(), names.begin(), names.end());
    Poke16(map, 24, uint32_t(typeList));
    // With no names the offset is never followed; the field only has 16 bits.
    Poke16(map, 26, uint32_t(std::min<size_t>(nameList, 0xFFFF)));

    // Fork header, copied into the start of the map as the format has it.
    std::vector<uint8_t> header;
    Put32(header, kResourceDataOffset);
    Put32(header, uint32_t(kResourceDataOffset + data.size()));
    Put32(header, uint32_t(data.size()));
    Put32(header, uint32_t(map.size()));
    std::copy(header.begin(), header.end(), map.begin());

    std::vector<uint8_t> fork(kResourceDataOffset + data.size() + map.size(), 0);
    std::copy(header.begin(), header.end(), fork.begin());
    std::copy(data.begin(), data.end(), fork.begin() + kResourceDataOffset);
    std::copy(map.begin(), map.end(), fork.begin() + long(kResourceDataOffset + data.size()));
    return fork;
}

std::vector<uint8_t> ResourceForkWriter::BuildAppleDouble() const
{
    using namespace Tarnet::Files;
    std::vector<uint8_t> fork = BuildFork();
    const uint32_t entryCount = hasFinderInfo ? 2 : 1;
    const uint32_t finderInfoLength = 32;
    const uint32_t firstData = kAppleDoubleHeaderSize + entryCount * kAppleDoubleEntrySize;
    const uint32_t forkOffset = firstData + (hasFinderInfo ? finderInfoLength : 0);

    std::vector<uint8_t> file;
    Put32(file, kAppleDoubleMagic);
    Put32(file, kAppleDoubleVersion);
    file.resize(file.size() + 16, 0); // filler
    Put16(file, entryCount);
    if (hasFinderInfo) {
        Put32(file, kAppleDoubleFinderInfoEntry);
        Put32(file, firstData);
        Put32(file, finderInfoLength);
    }
    Put32(file, kAppleDoubleResourceForkEntry);
    Put32(file, forkOffset);
    Put32(file, uint32_t(fork.size()));
    if (hasFinderInfo) {
        size_t at = file.size();
        file.resize(at + finderInfoLength, 0);
        Poke32(file, at, finderType);
        Poke32(file, at + 4, finderCreator);
    }
    file.insert(file.end(), fork.begin(), fork.end());
    return file;
}

void ResourceForkWriter::WriteAppleDouble(const std::filesystem::path& path) const
{
    std::vector<uint8_t> bytes = BuildAppleDouble();
    std::ofstream out(path, std::ios_base::binary | std::ios_base::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("ResourceForkWriter: cannot write \"" + path.string() + "\"");
}

} // namespace Tarnet
