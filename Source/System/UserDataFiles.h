// The game's own files in the folder "Quorvel2" of the user's preferences folder: the
// preferences and the five saved games. Each file is a text magic, a zero byte, then a raw
// record; the size must be exactly magic length + 1 + record size.
#pragma once

#include <cstdint>

#include "Tarnet/MacTypes.h"

// The result of a file that exists but is not what its name says (wrong size or magic).
inline constexpr Tarnet::OSErr kCorruptUserDataFileErr = -208;

// Finds the user's preferences folder; with `create`, also makes the game's "Quorvel2" folder in
// it (errors ignored). When the folder cannot be found it shows "Warning: Cannot locate the
// Preferences folder." and returns false; the game goes on without saving.
bool LocatePrefsFolder(bool create);

// Reads file `name` into `dest`. A missing file returns fnfErr; a file of the wrong size or magic
// prints "File '<name>' appears to be corrupt!" and returns kCorruptUserDataFileErr. `dest` is
// written only on success.
Tarnet::OSErr LoadUserDataFile(const char* name, const char* magic, int32_t size, void* dest);

// Writes file `name`: the new content goes to a temporary file in the same folder, which replaces
// the old file only once it is completely on disk, so a crash or a full disk at any point leaves
// the previous file intact. Prints "Wrote <name>" on success.
Tarnet::OSErr SaveUserDataFile(const char* name, const char* magic, int32_t size, const void* data);

// Deletes file `name`; true when it was deleted.
bool DeleteUserDataFile(const char* name);
