// Writes resource forks in the classic layout, wrapped in an AppleDouble ".rsrc" companion file:
// what the data generator and the tests use to make files that FSpOpenResFile reads.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "Tarnet/MacTypes.h"

namespace Tarnet {

class ResourceForkWriter
{
public:
    // Adds a resource. Types keep the order in which they first appear, references the order in
    // which they were added; adding a type and ID twice writes both (readers keep the later).
    void Add(ResType type, int16_t id, std::vector<uint8_t> data, std::string name = {},
             uint8_t attributes = 0);

    // Also write a Finder information entry with this file type and creator.
    void SetFinderInfo(OSType fileType, OSType creator);

    // The bare resource fork. Throws std::length_error when the content does not fit the format's
    // 16- and 24-bit offsets (names longer than 255 bytes, over 16 MiB of data, too large a map).
    std::vector<uint8_t> BuildFork() const;

    // The AppleDouble file holding the fork (and the Finder information, if set).
    std::vector<uint8_t> BuildAppleDouble() const;

    // Writes BuildAppleDouble() to `path` (normally "<data fork>.rsrc"); throws std::runtime_error
    // when the file cannot be written.
    void WriteAppleDouble(const std::filesystem::path& path) const;

private:
    struct Resource
    {
        ResType type;
        int16_t id;
        uint8_t attributes;
        std::vector<uint8_t> data;
        std::string name;
    };

    std::vector<Resource> resources;
    bool hasFinderInfo = false;
    OSType finderType = 0;
    OSType finderCreator = 0;
};

} // namespace Tarnet
