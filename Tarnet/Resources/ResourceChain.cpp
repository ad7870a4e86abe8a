// The chain of open resource files and the calls that search it.

#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <stdexcept>

#include "Tarnet/Files/Files.h"
#include "Tarnet/Files/FilesLocal.h"
#include "Tarnet/Memory/Memory.h"
#include "Tarnet/Resources/ResourceMap.h"
#include "Tarnet/Resources/Resources.h"
#include "Tarnet/Resources/ResourcesLocal.h"
#include "Tarnet/Streams/BigEndianReader.h"

namespace Tarnet::Resources {
namespace {

struct ResourceFile
{
    int16_t refNum = -1;
    // Every reference in map order. Never resized after opening, so handles can point at entries.
    std::vector<ResourceEntry> entries;
    // Type -> ID -> entry; a later reference with the same type and ID replaced an earlier one.
    std::map<ResType, std::map<int16_t, const ResourceEntry*>> types;
};

std::vector<std::unique_ptr<ResourceFile>> gResourceFiles; // oldest first
int gCurrentResFile = -1;
OSErr gResError = noErr;

ResourceFile* CurrentFile()
{
    return gCurrentResFile >= 0 ? gResourceFiles[size_t(gCurrentResFile)].get() : nullptr;
}

// A handle's link is only followed while its file is open: a link into a closed file's entries
// would read freed memory.
const ResourceEntry* LiveEntry(Handle resource)
{
    if (!resource)
        return nullptr;
    auto* link = static_cast<const ResourceEntry*>(GetHandleResourceLink(resource));
    if (!link)
        return nullptr;
    std::less<const ResourceEntry*> before;
    for (const auto& file : gResourceFiles) {
        const ResourceEntry* first = file->entries.data();
        if (!before(link, first) && before(link, first + file->entries.size()))
            return link;
    }
    return nullptr;
}

Handle ReadResource(const ResourceEntry& entry)
{
    Files::ForkHandle* fork = Files::GetForkForRefNum(entry.refNum);
    if (!fork)
        throw std::runtime_error("GetResource: Resource stream not open");
    Handle resource = NewHandle(entry.size);
    try {
        BigEndianReader in(fork->Stream());
        in.Seek(entry.dataPosition);
        in.ReadBytes(*resource, size_t(entry.size));
    } catch (...) {
        DisposeHandle(resource);
        throw;
    }
    SetHandleResourceLink(resource, &entry);
    return resource;
}

} // namespace

void ShutdownResources()
{
    gResourceFiles.clear();
    gCurrentResFile = -1;
    gResError = noErr;
}

} // namespace Tarnet::Resources

namespace Tarnet {

using namespace Tarnet::Resources;

int16_t FSpOpenResFile(const FSSpec* spec, SInt8 permission)
{
    int16_t refNum = -1;
    try {
        gResError = FSpOpenRF(spec, permission, &refNum);
    } catch (...) {
        gResError = mapReadErr;
        throw;
    }
    if (gResError != noErr)
        return -1;

    auto file = std::make_unique<ResourceFile>();
    file->refNum = refNum;
    Files::ForkHandle* fork = Files::GetForkForRefNum(refNum);
    try {
        file->entries =
            ReadResourceMap(fork->Stream(), {fork->resourceForkStart, fork->resourceForkLength}, refNum);
    } catch (const std::exception& e) {
        // A half-read map must not serve lookups, and its fork must not stay open unreachable.
        std::cerr << "FSpOpenResFile: damaged resource fork \"" << fork->spec.name << ".rsrc\": " << e.what()
                  << "\n";
        FSClose(refNum);
        gResError = mapReadErr;
        throw;
    }
    for (const ResourceEntry& entry : file->entries)
        file->types[entry.type][entry.id] = &entry;

    gResourceFiles.push_back(std::move(file));
    gCurrentResFile = int(gResourceFiles.size()) - 1;
    return refNum;
}

int16_t OpenResFile(const char* name)
{
    FSSpec spec{};
    FSMakeFSSpec(0, 0, name, &spec);
    return FSpOpenResFile(&spec, fsRdPerm);
}

void UseResFile(int16_t refNum)
{
    gResError = unimpErr;
    if (refNum == 0)
        throw std::runtime_error("UseResFile: Using the System file's resource fork is not implemented.");
    if (refNum < 0)
        throw std::runtime_error("UseResFile: Illegal refNum");
    if (!Files::GetForkForRefNum(refNum))
        throw std::runtime_error("UseResFile: Resource stream not open");
    for (size_t i = 0; i < gResourceFiles.size(); i++) {
        if (gResourceFiles[i]->refNum == refNum) {
            gCurrentResFile = int(i);
            gResError = noErr;
            return;
        }
    }
    std::cerr << "no RF open with refNum " << refNum << "\n";
    gResError = rfNumErr;
}

void CloseResFile(int16_t refNum)
{
    if (refNum == 0)
        throw std::runtime_error("CloseResFile: Closing the System file's resource fork is not implemented.");
    if (refNum < 0)
        throw std::runtime_error("CloseResFile: Illegal refNum");
    if (!Files::GetForkForRefNum(refNum))
        throw std::runtime_error("CloseResFile: Resource stream not open");
    FSClose(refNum);
    std::erase_if(gResourceFiles, [refNum](const auto& file) { return file->refNum == refNum; });
    // Closing a file before the current one makes the file that moves into its place current.
    gCurrentResFile = std::min(gCurrentResFile, int(gResourceFiles.size()) - 1);
}

int16_t CurResFile()
{
    ResourceFile* file = CurrentFile();
    return file ? file->refNum : -1;
}

Handle GetResource(ResType type, int16_t id)
{
    gResError = noErr;
    // Files opened after the current one are not searched.
    for (int i = gCurrentResFile; i >= 0; i--) {
        const ResourceFile& file = *gResourceFiles[size_t(i)];
        auto ofType = file.types.find(type);
        if (ofType == file.types.end())
            continue;
        auto withID = ofType->second.find(id);
        if (withID != ofType->second.end())
            return ReadResource(*withID->second);
    }
    gResError = resNotFound;
    return nullptr;
}

void ReleaseResource(Handle resource)
{
    DisposeHandle(resource);
}

void DetachResource(Handle resource)
{
    gResError = noErr;
    if (!resource || !GetHandleResourceLink(resource)) {
        gResError = resNotFound;
        return;
    }
    SetHandleResourceLink(resource, nullptr);
}

OSErr ResError()
{
    return gResError;
}

void GetResInfo(Handle resource, int16_t* id, ResType* type, char* name)
{
    gResError = noErr;
    const ResourceEntry* entry = LiveEntry(resource);
    if (!entry) {
        gResError = resNotFound;
        return;
    }
    if (id)
        *id = entry->id;
    if (type)
        *type = entry->type;
    if (name) {
        size_t length = std::min<size_t>(entry->name.size(), 255);
        entry->name.copy(name, length);
        name[length] = '\0';
    }
}

int Count1Resources(ResType type)
{
    gResError = noErr;
    ResourceFile* file = CurrentFile();
    if (!file)
        return 0;
    auto ofType = file->types.find(type);
    return ofType == file->types.end() ? 0 : int(ofType->second.size());
}

int Count1Types()
{
    gResError = noErr;
    ResourceFile* file = CurrentFile();
    return file ? int(file->types.size()) : 0;
}

void Get1IndType(ResType* type, int index)
{
    gResError = noErr;
    ResourceFile* file = CurrentFile();
    if (!type)
        return;
    *type = 0;
    if (!file || index < 1 || size_t(index) > file->types.size())
        return;
    *type = std::next(file->types.begin(), index - 1)->first;
}

Handle Get1IndResource(ResType type, int index)
{
    gResError = noErr;
    ResourceFile* file = CurrentFile();
    if (!file || !file->types.contains(type))
        throw std::out_of_range("Get1IndResource: the current resource file has no resources of this type");
    const auto& ids = file->types.at(type);
    if (index < 1 || size_t(index) > ids.size()) {
        gResError = resNotFound;
        return nullptr;
    }
    return GetResource(type, std::next(ids.begin(), index - 1)->first);
}

std::vector<ResourceInfo> ListResources(int16_t refNum)
{
    std::vector<ResourceInfo> list;
    for (const auto& file : gResourceFiles) {
        if (file->refNum != refNum)
            continue;
        for (const auto& [type, ids] : file->types) {
            for (const auto& [id, entry] : ids)
                list.push_back({type, id, entry->size, entry->attributes, entry->name});
        }
        break;
    }
    return list;
}

} // namespace Tarnet
