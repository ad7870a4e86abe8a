// DataFiles.cpp: one reader of whole data files. It sits at the bottom of the game next to the
// memory blocks and alerts, and calls nothing above them.
#include "System/DataFiles.h"

#include "System/Alerts.h"
#include "System/Memory.h"
#include "System/ProgramState.h"
#include "Tarnet/Files/Files.h"

// The block holds the file and one NUL more, and block sizes are 32-bit with a header in front.
static constexpr int32_t kLargestDataFile = 0x7FFFFF00;

char* LoadDataFileFromSpec(const Tarnet::FSSpec* spec, const char* nameForMessages, int32_t* size)
{
    using namespace Tarnet;
    if (size)
        *size = 0;

    int16_t refNum = -1;
    OSErr err = FSpOpenDF(spec, fsRdPerm, &refNum);
    if (err == fnfErr)
        return nullptr;
    if (err != noErr)
        ShowFatalAlert("%s:%d: %s", "LoadDataFile", __LINE__, nameForMessages);

    int32_t length = 0;
    err = GetEOF(refNum, &length);
    if (err != noErr || length < 0 || length > kLargestDataFile) {
        FSClose(refNum);
        ShowFatalAlert("%s:%d: %s", "LoadDataFile", __LINE__, nameForMessages);
    }

    char* data = (char*)AllocPtrClear(length + 1);
    int32_t count = length;
    err = FSRead(refNum, &count, data);
    FSClose(refNum);
    // Reading exactly to the end may report eofErr; only the byte count tells a short read.
    if ((err != noErr && err != eofErr) || count != length) {
        SafeDisposePtr(data);
        ShowFatalAlert("%s:%d: %s", "LoadDataFile", __LINE__, nameForMessages);
    }
    if (size)
        *size = length;
    return data;
}

char* LoadDataFile(const char* colonPath, int32_t* size)
{
    using namespace Tarnet;
    if (size)
        *size = 0;
    FSSpec spec;
    if (FSMakeFSSpec(gDataFolderSpec.vRefNum, gDataFolderSpec.parID, colonPath, &spec) != noErr)
        return nullptr;
    return LoadDataFileFromSpec(&spec, colonPath, size);
}
