// The Toolbox's basic types and result codes, shared by every part of the host layer.
#pragma once

#include <cstdint>

namespace Tarnet {

using OSErr = int16_t;
using OSType = uint32_t; // four characters, the first in the most significant byte
using ResType = OSType;
using ScriptCode = int16_t;
using Boolean = bool;
using SInt8 = int8_t;
using Size = int32_t;
using Ptr = char*;
using Handle = Ptr*;
using AliasHandle = Handle;

// A 64-bit count stored as two 32-bit words, the low word first.
struct UnsignedWide
{
    uint32_t lo;
    uint32_t hi;
};

// Names a file or folder: volume, parent directory ID and the item's name as NUL-terminated UTF-8
// (at most 255 bytes). Copied by value.
struct FSSpec
{
    int16_t vRefNum;
    int32_t parID;
    char name[256];
};

// Turns "pref" into 'pref'.
constexpr OSType OSTypeFrom(const char (&code)[5])
{
    return (OSType(uint8_t(code[0])) << 24) | (OSType(uint8_t(code[1])) << 16) |
           (OSType(uint8_t(code[2])) << 8) | OSType(uint8_t(code[3]));
}

// Result codes.
inline constexpr OSErr noErr = 0;
inline constexpr OSErr unimpErr = -4;     // unsupported permission, alias form or feature
inline constexpr OSErr nsvErr = -35;      // no such volume
inline constexpr OSErr ioErr = -36;       // host I/O failure, or a read on a fork not opened for reading
inline constexpr OSErr bdNamErr = -37;    // a file stands where a directory should be created
inline constexpr OSErr fnOpnErr = -38;    // refNum allocated but no fork open on it
inline constexpr OSErr eofErr = -39;      // read reached the end of the fork
inline constexpr OSErr posErr = -40;      // tried to move the mark before the start of the fork
inline constexpr OSErr tmfoErr = -42;     // too many open forks
inline constexpr OSErr fnfErr = -43;      // file not found
inline constexpr OSErr dupFNErr = -48;    // the folder's path names something that is not a folder
inline constexpr OSErr paramErr = -50;    // bad argument
inline constexpr OSErr rfNumErr = -51;    // bad refNum
inline constexpr OSErr wrPermErr = -61;   // write on a fork not opened for writing
inline constexpr OSErr memFullErr = -108; // out of memory
inline constexpr OSErr resNotFound = -192;
inline constexpr OSErr mapReadErr = -199; // the resource map is damaged

// Fork permissions.
inline constexpr SInt8 fsCurPerm = 0; // not supported
inline constexpr SInt8 fsRdPerm = 1;
inline constexpr SInt8 fsWrPerm = 2;
inline constexpr SInt8 fsRdWrPerm = 3;

// SetFPos origins.
inline constexpr int16_t fsFromStart = 1;
inline constexpr int16_t fsFromLEOF = 2;
inline constexpr int16_t fsFromMark = 3;

// FindFolder.
inline constexpr int16_t kOnSystemDisk = -32768;
inline constexpr OSType kPreferencesFolderType = OSTypeFrom("pref");
inline constexpr Boolean kCreateFolder = true;
inline constexpr Boolean kDontCreateFolder = false;

} // namespace Tarnet
