// The host file system as volume 0: the directory registry, colon-path resolution and the
// operations on single items.

#include <cstring>
#include <iostream>
#include <stdexcept>
#include <system_error>

#include "Tarnet/Files/AppleDouble.h"
#include "Tarnet/Files/FilesLocal.h"
#include "Tarnet/Streams/BigEndianReader.h"

namespace fs = std::filesystem;

namespace Tarnet::Files {
namespace {

char UpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// Names compare equal when they differ only in the case of ASCII letters; other bytes must match.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); i++) {
        if (UpperAscii(a[i]) != UpperAscii(b[i]))
            return false;
    }
    return true;
}

// "::" steps up one folder. Registered paths carry no trailing separator, so this is the parent.
fs::path ParentOf(const fs::path& path)
{
    return path.has_relative_path() ? path.parent_path() : path;
}

// Extends `path` by one colon-path component and tells whether the item exists. The exact name is
// tried first; otherwise the folder is scanned for a name equal up to ASCII case, where a file
// "X.rsrc" also answers to "X" (an item that has only a resource fork). A component followed by a
// colon only matches folders in the scan.
bool LookUpComponent(fs::path& path, std::string_view component, bool more)
{
    fs::path candidate = path / PathFromUtf8(component);
    if (!fs::exists(path)) {
        path = candidate;
        return false;
    }
    if (fs::exists(candidate)) {
        path = candidate;
        return true;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(path)) {
        bool isDirectory = entry.is_directory();
        if (more && !isDirectory)
            continue;
        std::string name = Utf8FromPath(entry.path().filename());
        constexpr std::string_view kForkSuffix = ".rsrc";
        if (!isDirectory && name.size() > kForkSuffix.size() && name.ends_with(kForkSuffix) &&
            entry.is_regular_file())
            name.resize(name.size() - kForkSuffix.size());
        if (EqualIgnoringAsciiCase(name, component)) {
            path /= PathFromUtf8(name);
            return true;
        }
    }
    path = candidate;
    return false;
}

std::ios_base::openmode ModeForPermission(SInt8 permission)
{
    std::ios_base::openmode mode = std::ios_base::binary;
    if (permission & fsRdPerm)
        mode |= std::ios_base::in;
    if (permission & fsWrPerm)
        mode |= std::ios_base::out;
    return mode;
}

bool IsRegularFile(const fs::path& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

} // namespace

HostForkHandle::HostForkHandle(const fs::path& path, std::ios_base::openmode mode, bool unbuffered)
{
    if (unbuffered)
        stream.rdbuf()->pubsetbuf(nullptr, 0); // only takes effect before the file is opened
    stream.open(path, mode);
}

HostVolume::HostVolume(int16_t vRefNum) : vRefNum(vRefNum)
{
    directories.push_back(NormalizedPath(fs::current_path()));
}

OSErr HostVolume::FSMakeFSSpec(int32_t dirID, const char* name, FSSpec* spec)
{
    if (dirID < 0 || size_t(dirID) >= directories.size())
        throw std::runtime_error("HostVolume::FSMakeFSSpec: directory ID not registered.");
    fs::path path = directories[size_t(dirID)];
    bool found = fs::exists(path);

    std::string_view colonPath = name ? name : "";
    if (colonPath.empty())
        throw std::out_of_range("FSMakeFSSpec: empty name");
    // A leading colon means "relative to this folder"; a name without one is read the same way.
    size_t index = colonPath[0] == ':' ? 1 : 0;
    while (index < colonPath.size()) {
        size_t colon = colonPath.find(':', index);
        bool more = colon != std::string_view::npos;
        size_t end = more ? colon : colonPath.size();
        std::string_view component = colonPath.substr(index, end - index);
        if (component.empty())
            path = ParentOf(path);
        else
            found = LookUpComponent(path, component, more);
        index = end + 1;
    }

    MakeSpecFromPath(NormalizedPath(path), spec);
    return found ? noErr : fnfErr;
}

OSErr HostVolume::OpenFork(const FSSpec& spec, ForkKind kind, SInt8 permission,
                           std::unique_ptr<ForkHandle>& fork)
{
    if ((permission & fsRdWrPerm) == 0 || (kind == kResourceFork && (permission & fsWrPerm)))
        return unimpErr;
    fs::path path = HostPath(spec);

    std::unique_ptr<HostForkHandle> handle;
    if (kind == kDataFork) {
        if (!IsRegularFile(path))
            return fnfErr;
        handle = std::make_unique<HostForkHandle>(path, ModeForPermission(permission));
        if (!handle->stream.good())
            return ioErr;
    } else {
        // The resource fork of "N.ter" is the AppleDouble file "N.ter.rsrc" beside it.
        fs::path forkPath = path;
        forkPath += ".rsrc";
        if (!IsRegularFile(forkPath))
            return fnfErr;
        handle = std::make_unique<HostForkHandle>(forkPath, std::ios_base::in | std::ios_base::binary, true);
        if (!handle->stream.good())
            return ioErr;
        uint64_t fileLength = BigEndianReader(handle->stream).Length();
        ForkExtent extent = ReadAppleDoubleHeader(handle->stream, fileLength);
        handle->resourceForkStart = extent.start;
        handle->resourceForkLength = extent.length;
    }
    handle->kind = kind;
    handle->permission = permission;
    handle->spec = spec;
    fork = std::move(handle);
    return noErr;
}

OSErr HostVolume::FSpCreate(const FSSpec& spec, OSType, OSType, ScriptCode)
{
    std::ofstream file(HostPath(spec), std::ios_base::binary | std::ios_base::trunc);
    // Reported, unlike on the original Toolbox, so that a save into an unwritable folder is not
    // taken for success.
    return file.is_open() ? noErr : ioErr;
}

OSErr HostVolume::FSpDelete(const FSSpec& spec)
{
    return fs::remove(HostPath(spec)) ? noErr : fnfErr;
}

OSErr HostVolume::DirCreate(int32_t parentDirID, const char* name, int32_t* createdDirID)
{
    try {
        fs::path path = NormalizedPath(DirectoryPath(parentDirID) / PathFromUtf8(name ? name : ""));
        fs::file_status status = fs::status(path);
        if (!fs::exists(status)) {
            fs::create_directory(path);
            if (createdDirID)
                *createdDirID = GetDirectoryID(path);
            return noErr;
        }
        if (fs::is_directory(status))
            return noErr;
        std::cerr << "DirCreate"
                  << ": a file with the same name already exists: \"" << path.string() << "\"\n";
        return bdNamErr;
    } catch (const std::exception& e) {
        std::cerr << "DirCreate"
                  << " threw " << e.what() << "\n";
        return ioErr;
    }
}

int32_t HostVolume::GetDirectoryID(const fs::path& path)
{
    std::error_code error;
    if (fs::exists(path, error) && !fs::is_directory(path, error))
        std::cerr << "Warning: GetDirectoryID should only be used on directories! \"" << path.string()
                  << "\"\n";
    for (size_t i = 0; i < directories.size(); i++) {
        if (directories[i] == path)
            return int32_t(i);
    }
    directories.push_back(path);
    return int32_t(directories.size() - 1);
}

const fs::path& HostVolume::DirectoryPath(int32_t dirID) const
{
    if (dirID < 0 || size_t(dirID) >= directories.size())
        throw std::out_of_range("directory ID not registered");
    return directories[size_t(dirID)];
}

fs::path HostVolume::HostPath(const FSSpec& spec) const
{
    std::string_view name(spec.name, strnlen(spec.name, sizeof(spec.name)));
    return NormalizedPath(DirectoryPath(spec.parID) / PathFromUtf8(name));
}

void HostVolume::MakeSpecFromPath(const fs::path& path, FSSpec* spec)
{
    FSSpec result{};
    result.vRefNum = vRefNum;
    result.parID = GetDirectoryID(path.parent_path());
    CopyNameToSpec(Utf8FromPath(path.filename()), &result);
    if (spec)
        *spec = result;
}

} // namespace Tarnet::Files
