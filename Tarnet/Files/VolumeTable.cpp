// The volume table, the refNum table and the calls that go straight to a volume.

#include <memory>
#include <stdexcept>
#include <vector>

#include "Tarnet/Files/Files.h"
#include "Tarnet/Files/FilesLocal.h"
#include "Tarnet/Files/RefNumTable.h"

namespace fs = std::filesystem;

namespace Tarnet::Files {

std::vector<std::unique_ptr<Volume>> gVolumes;
RefNumTable gRefNums;

Volume* GetVolume(int16_t vRefNum)
{
    if (vRefNum < 0 || size_t(vRefNum) >= gVolumes.size())
        return nullptr;
    return gVolumes[size_t(vRefNum)].get();
}

HostVolume* GetHostVolume(int16_t vRefNum)
{
    return dynamic_cast<HostVolume*>(GetVolume(vRefNum));
}

ForkHandle* GetForkForRefNum(int16_t refNum)
{
    return gRefNums.Slot(refNum).get();
}

void StartupFiles()
{
    if (!gVolumes.empty())
        return;
    gVolumes.push_back(std::make_unique<HostVolume>(int16_t(gVolumes.size())));
    // refNum 0 is the System file; its slot stays empty so the first real file gets 1.
    if (gRefNums.Allocate() != 0)
        throw std::logic_error("expecting 0 for system refnum");
}

void ShutdownFiles()
{
    gRefNums = RefNumTable(); // closes every fork still open
    gVolumes.clear();
}

fs::path PathFromUtf8(std::string_view utf8)
{
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8FromPath(const fs::path& path)
{
    std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

fs::path NormalizedPath(const fs::path& path)
{
    fs::path normal = path.lexically_normal();
    // "a/b/" and "a/b/.." normalise with a trailing separator; the registry keys folders without.
    if (normal.has_relative_path() && normal.filename().empty())
        normal = normal.parent_path();
    return normal;
}

void CopyNameToSpec(const std::string& utf8, FSSpec* spec)
{
    size_t length = utf8.size();
    if (length > 255) {
        length = 255;
        // Never end the name in the middle of a multi-byte character.
        while (length > 0 && (uint8_t(utf8[length]) & 0xC0) == 0x80)
            length--;
    }
    utf8.copy(spec->name, length);
    spec->name[length] = '\0';
}

} // namespace Tarnet::Files

namespace Tarnet {

using namespace Tarnet::Files;

OSErr FSMakeFSSpec(int16_t vRefNum, int32_t dirID, const char* name, FSSpec* spec)
{
    Volume* volume = GetVolume(vRefNum);
    if (!volume)
        return nsvErr;
    return volume->FSMakeFSSpec(dirID, name, spec);
}

OSErr FSpCreate(const FSSpec* spec, OSType creator, OSType fileType, ScriptCode scriptTag)
{
    Volume* volume = spec ? GetVolume(spec->vRefNum) : nullptr;
    if (!volume)
        return nsvErr;
    return volume->FSpCreate(*spec, creator, fileType, scriptTag);
}

OSErr FSpDelete(const FSSpec* spec)
{
    Volume* volume = spec ? GetVolume(spec->vRefNum) : nullptr;
    if (!volume)
        return nsvErr;
    return volume->FSpDelete(*spec);
}

OSErr DirCreate(int16_t vRefNum, int32_t parentDirID, const char* name, int32_t* createdDirID)
{
    Volume* volume = GetVolume(vRefNum);
    if (!volume)
        return nsvErr;
    return volume->DirCreate(parentDirID, name, createdDirID);
}

OSErr DirCreate(int16_t vRefNum, int32_t parentDirID, const char* name, long* createdDirID)
{
    int32_t id = -1;
    OSErr result = DirCreate(vRefNum, parentDirID, name, createdDirID ? &id : nullptr);
    // Only a newly made folder reports its ID.
    if (createdDirID && id >= 0)
        *createdDirID = id;
    return result;
}

OSErr DirCreate(int16_t vRefNum, int32_t parentDirID, const char* name, std::nullptr_t)
{
    return DirCreate(vRefNum, parentDirID, name, static_cast<int32_t*>(nullptr));
}

FSSpec HostPathToFSSpec(const fs::path& path)
{
    // A host path needs no volume number from the caller, so it may come first (tests, tools).
    StartupFiles();
    HostVolume* volume = GetHostVolume(0);
    FSSpec spec{};
    volume->MakeSpecFromPath(NormalizedPath(fs::absolute(path)), &spec);
    return spec;
}

fs::path FSSpecToHostPath(const FSSpec& spec)
{
    HostVolume* volume = GetHostVolume(spec.vRefNum);
    if (!volume)
        throw std::out_of_range("FSSpecToHostPath: no such volume");
    return volume->HostPath(spec);
}

} // namespace Tarnet
