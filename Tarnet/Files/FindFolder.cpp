// The per-user preferences folder.
//   Linux and other Unix hosts: $XDG_CONFIG_HOME if it is set to an absolute path, else ~/.config
//   macOS: ~/Library/Application Support
//   Windows: the roaming application-data known folder

#include <cstdlib>
#include <stdexcept>

#include "Tarnet/Files/Files.h"
#include "Tarnet/Files/FilesLocal.h"

#if defined(_WIN32)
#include <knownfolders.h>
#include <shlobj.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace Tarnet {
namespace {

#if !defined(_WIN32)
fs::path HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    throw std::runtime_error("FindFolder: cannot find the home folder");
}
#endif

fs::path PreferencesFolder()
{
#if defined(_WIN32)
    PWSTR folder = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder))) {
        CoTaskMemFree(folder);
        throw std::runtime_error("FindFolder: cannot find the application-data folder");
    }
    fs::path path(folder);
    CoTaskMemFree(folder);
    return path;
#elif defined(__APPLE__)
    return HomeFolder() / "Library" / "Application Support";
#else
    // Relative values are invalid under the base-directory convention and are ignored.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && *configHome && fs::path(configHome).is_absolute())
        return configHome;
    return HomeFolder() / ".config";
#endif
}

template <typename DirID>
OSErr FindFolderImpl(int16_t vRefNum, OSType folderType, Boolean createFolder, int16_t* foundVRefNum,
                     DirID* foundDirID)
{
    if (vRefNum != kOnSystemDisk)
        throw std::runtime_error("FindFolder only supports kOnSystemDisk");
    if (folderType != kPreferencesFolderType)
        return fnfErr;
    // kOnSystemDisk names no volume number, so the layer's volume may be made here first.
    Files::StartupFiles();
    Files::HostVolume* volume = Files::GetHostVolume(0);

    fs::path folder = Files::NormalizedPath(PreferencesFolder());
    if (fs::exists(folder)) {
        if (!fs::is_directory(folder))
            return dupFNErr;
    } else if (createFolder) {
        fs::create_directories(folder);
    }
    if (foundVRefNum)
        *foundVRefNum = 0;
    if (foundDirID)
        *foundDirID = DirID(volume->GetDirectoryID(folder));
    return noErr;
}

} // namespace

OSErr FindFolder(int16_t vRefNum, OSType folderType, Boolean createFolder, int16_t* foundVRefNum,
                 int32_t* foundDirID)
{
    return FindFolderImpl(vRefNum, folderType, createFolder, foundVRefNum, foundDirID);
}

OSErr FindFolder(int16_t vRefNum, OSType folderType, Boolean createFolder, int16_t* foundVRefNum,
                 long* foundDirID)
{
    return FindFolderImpl(vRefNum, folderType, createFolder, foundVRefNum, foundDirID);
}

} // namespace Tarnet
