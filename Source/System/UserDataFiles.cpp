// Reading and writing the game's own files through the host layer's file calls.
//
// A file is never overwritten in place. The new content is written to "<name>.new" beside it,
// which the host layer's FSpReplaceFile puts in the old file's place only once all of it is on
// the disk.

#include "System/UserDataFiles.h"

#include "System/Alerts.h"
#include "System/Log.h"
#include "System/Memory.h"
#include "Tarnet/Files/Files.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

using namespace Tarnet;

static constexpr const char* kGameFolderName = "Quorvel2";
static constexpr int kMaxMagicLength = 63; // the magic buffer is 64 bytes with its zero
static constexpr const char* kTemporarySuffix = ".new";

static void WarnPrefsFolderMissing()
{
    ShowAlert("Warning: Cannot locate the Preferences folder.");
}

// Finds the preferences folder, warning when it cannot be found.
static OSErr FindPrefsFolder(int16_t* vRefNum, int32_t* dirID)
{
    OSErr err = FindFolder(kOnSystemDisk, kPreferencesFolderType, kDontCreateFolder, vRefNum, dirID);
    if (err != noErr)
        WarnPrefsFolderMissing();
    return err;
}

bool LocatePrefsFolder(bool create)
{
    try {
        int16_t vRefNum;
        int32_t dirID;
        if (FindPrefsFolder(&vRefNum, &dirID) != noErr)
            return false;
        if (create)
            DirCreate(vRefNum, dirID, kGameFolderName, nullptr);
        return true;
    } catch (const std::filesystem::filesystem_error&) {
        WarnPrefsFolderMissing();
        return false;
    }
}

// The FSSpec of file `name` in the game's folder, making that folder when asked.
static OSErr MakeGameFileSpec(const char* name, bool createFolder, FSSpec* spec)
{
    int16_t vRefNum;
    int32_t dirID;
    OSErr err = FindPrefsFolder(&vRefNum, &dirID);
    if (err != noErr)
        return err;
    if (createFolder)
        DirCreate(vRefNum, dirID, kGameFolderName, nullptr);

    char path[256];
    int length = std::snprintf(path, sizeof(path), ":%s:%s", kGameFolderName, name);
    if (length < 0 || length >= int(sizeof(path)))
        return bdNamErr;
    return FSMakeFSSpec(vRefNum, dirID, path, spec);
}

static OSErr ReportCorrupt(const char* name)
{
    LogLine(kLogInfo, "File '%s' appears to be corrupt!", name);
    return kCorruptUserDataFileErr;
}

// Checks the length and magic of an open file, then reads its record into dest.
static OSErr ReadCheckedRecord(int16_t refNum, const char* name, const char* magic, int32_t size, void* dest)
{
    int32_t magicLength = int32_t(std::strlen(magic));
    int32_t eof = 0;
    if (GetEOF(refNum, &eof) != noErr || eof != size + magicLength + 1)
        return ReportCorrupt(name);

    char fileMagic[kMaxMagicLength + 1];
    int32_t count = magicLength + 1;
    if (FSRead(refNum, &count, fileMagic) != noErr || count != magicLength + 1 ||
        std::memcmp(fileMagic, magic, size_t(magicLength)) != 0)
        return ReportCorrupt(name);

    void* record = AllocPtr(size);
    count = size;
    OSErr err = FSRead(refNum, &count, record);
    // Reading exactly to the end may report eofErr; only a short read is a fault.
    if ((err != noErr && err != eofErr) || count != size) {
        SafeDisposePtr(record);
        return ReportCorrupt(name);
    }
    std::memcpy(dest, record, size_t(size));
    SafeDisposePtr(record);
    return noErr;
}

OSErr LoadUserDataFile(const char* name, const char* magic, int32_t size, void* dest)
{
    if (std::strlen(magic) >= size_t(kMaxMagicLength))
        FatalAssertion("LoadUserDataFile", 1315, "magicLength < (long) sizeof(fileMagic)");

    try {
        FSSpec spec;
        OSErr err = MakeGameFileSpec(name, false, &spec);
        if (err != noErr)
            return err;

        int16_t refNum;
        err = FSpOpenDF(&spec, fsRdPerm, &refNum);
        if (err != noErr)
            return err;
        err = ReadCheckedRecord(refNum, name, magic, size, dest);
        FSClose(refNum);
        return err;
    } catch (const std::filesystem::filesystem_error&) {
        // A folder the host will not let us look into: treat it as missing and go on.
        WarnPrefsFolderMissing();
        return ioErr;
    }
}

// Creates the temporary file and writes the magic, its zero byte and the record into it.
static OSErr WriteTemporaryFile(const FSSpec& temporary, const char* magic, int32_t size, const void* data)
{
    OSErr err = FSpCreate(&temporary, OSTypeFrom("QRV2"), OSTypeFrom("Pref"), -1);
    if (err != noErr)
        return err;

    int16_t refNum;
    err = FSpOpenDF(&temporary, fsRdWrPerm, &refNum);
    if (err != noErr)
        return err;

    int32_t count = int32_t(std::strlen(magic)) + 1;
    err = FSWrite(refNum, &count, magic);
    if (err == noErr) {
        count = size;
        err = FSWrite(refNum, &count, data);
    }
    FSClose(refNum);
    return err;
}

OSErr SaveUserDataFile(const char* name, const char* magic, int32_t size, const void* data)
{
    try {
        FSSpec final;
        OSErr err = MakeGameFileSpec(name, true, &final);
        if (err != noErr && err != fnfErr)
            return err;

        char temporaryName[256];
        std::snprintf(temporaryName, sizeof(temporaryName), "%s%s", name, kTemporarySuffix);
        FSSpec temporary;
        err = MakeGameFileSpec(temporaryName, false, &temporary);
        if (err != noErr && err != fnfErr)
            return err;

        err = WriteTemporaryFile(temporary, magic, size, data);
        if (err != noErr) {
            FSpDelete(&temporary);
            return err;
        }
        err = FSpReplaceFile(&temporary, &final, int32_t(std::strlen(magic)) + 1 + size);
        if (err != noErr)
            return err;

        LogLine(kLogInfo, "Wrote %s", final.name);
        return noErr;
    } catch (const std::filesystem::filesystem_error&) {
        WarnPrefsFolderMissing();
        return ioErr;
    }
}

bool DeleteUserDataFile(const char* name)
{
    try {
        FSSpec spec;
        if (MakeGameFileSpec(name, true, &spec) != noErr)
            return false;
        return FSpDelete(&spec) == noErr;
    } catch (const std::filesystem::filesystem_error&) {
        WarnPrefsFolderMissing();
        return false;
    }
}
