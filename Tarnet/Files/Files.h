// Files, folders and paths in the Toolbox's shape: an FSSpec names an item by volume, parent
// directory ID and name; forks open into 16-bit refNums; expected failures come back as OSErr.
// The only volume (0) is the host file system; directory IDs are handed out as directories are met.
// Colon paths (":models:Global.tq3d") resolve folder by folder, matching names case-insensitively,
// and a file's resource fork lives beside it as "<name>.rsrc" in AppleDouble form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "Tarnet/MacTypes.h"

namespace Tarnet {

// Resolves `name` (a colon path; "::" steps up a folder; a trailing colon names the folder itself)
// relative to directory `dirID`: noErr if the item exists, fnfErr if not (the FSSpec is filled in
// either way, so it can be created); nsvErr for a bad volume.
OSErr FSMakeFSSpec(int16_t vRefNum, int32_t dirID, const char* name, FSSpec* spec);

// Open a fork: the data fork is the plain file, the resource fork its ".rsrc" companion, read-only.
// Permission fsRdPerm, fsWrPerm (truncates the data fork) or fsRdWrPerm. On failure *refNum is -1.
OSErr FSpOpenDF(const FSSpec* spec, SInt8 permission, int16_t* refNum);
OSErr FSpOpenRF(const FSSpec* spec, SInt8 permission, int16_t* refNum);

OSErr FSClose(int16_t refNum); // rfNumErr for a bad refNum, fnOpnErr for refNum 0

// Read or write *count bytes at the mark; *count becomes the bytes done. FSRead returns eofErr
// when it reached the end; paramErr for a negative count; ioErr / wrPermErr without permission.
OSErr FSRead(int16_t refNum, int32_t* count, void* buffer);
OSErr FSRead(int16_t refNum, long* count, void* buffer);
OSErr FSWrite(int16_t refNum, int32_t* count, const void* buffer);
OSErr FSWrite(int16_t refNum, long* count, const void* buffer);

OSErr GetEOF(int16_t refNum, int32_t* length); // the fork's length; the mark stays where it was
OSErr GetEOF(int16_t refNum, long* length);
OSErr GetFPos(int16_t refNum, int32_t* mark);
OSErr GetFPos(int16_t refNum, long* mark);
// Moves the mark (fsFromStart, fsFromLEOF, fsFromMark); before the start gives posErr; another
// mode throws std::invalid_argument.
OSErr SetFPos(int16_t refNum, int16_t posMode, int32_t offset);

// Creates the file empty (truncating an existing one); creator, type and script are not stored.
OSErr FSpCreate(const FSSpec* spec, OSType creator, OSType fileType, ScriptCode scriptTag);
OSErr FSpDelete(const FSSpec* spec); // noErr if removed, fnfErr if it was not there

// Not in the Toolbox: replaces the closed file `target` by the closed file `replacement` (in the
// same folder) in one step, once the replacement is wholly on the disk and `expectedLength` bytes
// long, so a crash at any point leaves either the old file or the new one complete. On failure the
// replacement is removed, the target is left as it was, and the result is ioErr.
OSErr FSpReplaceFile(const FSSpec* replacement, const FSSpec* target, int32_t expectedLength);

// Creates folder `name` in `parentDirID`: noErr also when it already exists (then *createdDirID
// is left alone), bdNamErr when a file is in the way, ioErr when the host failed.
OSErr DirCreate(int16_t vRefNum, int32_t parentDirID, const char* name, int32_t* createdDirID);
OSErr DirCreate(int16_t vRefNum, int32_t parentDirID, const char* name, long* createdDirID);
OSErr DirCreate(int16_t vRefNum, int32_t parentDirID, const char* name, std::nullptr_t);

// Finds the per-user preferences folder (kPreferencesFolderType on kOnSystemDisk; on Linux
// $XDG_CONFIG_HOME, else ~/.config), creating it when asked. Other kinds give fnfErr.
OSErr FindFolder(int16_t vRefNum, OSType folderType, Boolean createFolder, int16_t* foundVRefNum,
                 int32_t* foundDirID);
OSErr FindFolder(int16_t vRefNum, OSType folderType, Boolean createFolder, int16_t* foundVRefNum,
                 long* foundDirID);

// Resolves an alias record to the item of the stored name in the folder of `fromFile`. Records
// that are not version-2 file or folder aliases give unimpErr with a message on standard error.
OSErr ResolveAlias(const FSSpec* fromFile, AliasHandle alias, FSSpec* target, Boolean* wasChanged);

// The FSSpec of a host path on volume 0 (the path is made absolute first). Like FindFolder, it
// starts the file part of the layer if that has not happened yet.
FSSpec HostPathToFSSpec(const std::filesystem::path& path);

// The host path an FSSpec names; throws std::out_of_range for an unknown volume or directory.
std::filesystem::path FSSpecToHostPath(const FSSpec& spec);

} // namespace Tarnet
