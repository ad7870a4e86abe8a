// Whole data files. Every reader that takes a data file in one piece (texts, images, models) loads
// it through here, so "missing", "unreadable" and "cut short" mean the same thing everywhere.
#pragma once

#include <cstdint>

#include "System/ProgramState.h" // gDataFolderSpec, the base of every colon data path
#include "Tarnet/MacTypes.h"

// The whole data fork of the file a colon path names (relative to the data folder) in a new
// zero-filled block of its size + 1 bytes, the last one a NUL, so a text can be walked as a string.
// Null when the file does not exist. A file that exists but cannot be opened or read whole is fatal
// ("LoadDataFile:<line>: <path>"). *size (may be null) gets the file's size. Free the block with
// SafeDisposePtr.
char* LoadDataFile(const char* colonPath, int32_t* size);

// As LoadDataFile for a file already named by a file spec (FSSpec); `nameForMessages` names it in
// the fatal alert.
char* LoadDataFileFromSpec(const Tarnet::FSSpec* spec, const char* nameForMessages, int32_t* size);
