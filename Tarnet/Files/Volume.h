// The volume and fork classes behind the file calls. The rest of the game never sees them; the
// resource manager reads through a fork's stream.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iosfwd>
#include <memory>
#include <vector>

#include "Tarnet/MacTypes.h"

namespace Tarnet::Files {

enum ForkKind : int32_t
{
    kDataFork = 0,
    kResourceFork = 1,
};

// An open fork. A resource fork's stream is positioned in the ".rsrc" host file: the fork proper
// occupies [resourceForkStart, resourceForkStart + resourceForkLength) of it.
struct ForkHandle
{
    virtual std::iostream& Stream() = 0;
    virtual ~ForkHandle() = default;

    int32_t kind = kDataFork;
    int32_t permission = 0;
    FSSpec spec{};
    uint64_t resourceForkStart = 0;
    uint64_t resourceForkLength = 0;
};

struct HostForkHandle : ForkHandle
{
    // An unbuffered stream reads exactly what is asked in one host read: the resource manager
    // reads whole resources and maps, where a buffer would only add a copy.
    HostForkHandle(const std::filesystem::path& path, std::ios_base::openmode mode, bool unbuffered = false);
    std::iostream& Stream() override { return stream; }

    std::fstream stream;
};

class Volume
{
public:
    virtual ~Volume() = default;
    virtual OSErr FSMakeFSSpec(int32_t dirID, const char* name, FSSpec* spec) = 0;
    virtual OSErr OpenFork(const FSSpec& spec, ForkKind kind, SInt8 permission,
                           std::unique_ptr<ForkHandle>& fork) = 0;
    virtual OSErr FSpCreate(const FSSpec& spec, OSType creator, OSType fileType, ScriptCode script) = 0;
    virtual OSErr FSpDelete(const FSSpec& spec) = 0;
    virtual OSErr DirCreate(int32_t parentDirID, const char* name, int32_t* createdDirID) = 0;
};

// The host file system. Directory IDs index a registry of host paths that only grows: the
// working directory is 0, others are numbered in the order they are first met.
class HostVolume : public Volume
{
public:
    explicit HostVolume(int16_t vRefNum);

    OSErr FSMakeFSSpec(int32_t dirID, const char* name, FSSpec* spec) override;
    OSErr OpenFork(const FSSpec& spec, ForkKind kind, SInt8 permission,
                   std::unique_ptr<ForkHandle>& fork) override;
    OSErr FSpCreate(const FSSpec& spec, OSType creator, OSType fileType, ScriptCode script) override;
    OSErr FSpDelete(const FSSpec& spec) override;
    OSErr DirCreate(int32_t parentDirID, const char* name, int32_t* createdDirID) override;

    // The ID registered for exactly this path, registering it if it is new.
    int32_t GetDirectoryID(const std::filesystem::path& path);
    // The registered path of a directory ID; throws std::out_of_range for an unknown ID.
    const std::filesystem::path& DirectoryPath(int32_t dirID) const;
    // The host path an FSSpec names: its parent's path extended by its name.
    std::filesystem::path HostPath(const FSSpec& spec) const;
    // Fills a spec for a host path: parent's ID and the last element as the name.
    void MakeSpecFromPath(const std::filesystem::path& path, FSSpec* spec);

    int16_t VRefNum() const { return vRefNum; }

private:
    int16_t vRefNum;
    std::vector<std::filesystem::path> directories;
};

} // namespace Tarnet::Files
