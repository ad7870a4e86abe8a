// Opening, reading, writing, positioning and closing forks through refNums.

#include <limits>
#include <stdexcept>
#include <streambuf>

#include "Tarnet/Files/Files.h"
#include "Tarnet/Files/FilesLocal.h"
#include "Tarnet/Files/RefNumTable.h"

namespace Tarnet::Files {
extern RefNumTable gRefNums;
}

namespace Tarnet {

using namespace Tarnet::Files;

namespace {

// The open fork of a refNum, or the error a call on it reports. Never throws: a bad refNum is an
// expected failure for these calls.
OSErr LookUpFork(int16_t refNum, ForkHandle** fork)
{
    if (!gRefNums.IsAllocated(refNum))
        return rfNumErr;
    *fork = gRefNums.Slot(refNum).get();
    return *fork ? noErr : fnOpnErr;
}

// Positions go through the stream buffer, whose single file position is the fork's mark for both
// reading and writing, whatever the stream's state flags say.
std::streambuf& Buffer(ForkHandle* fork)
{
    return *fork->Stream().rdbuf();
}

int64_t Mark(ForkHandle* fork)
{
    return int64_t(Buffer(fork).pubseekoff(0, std::ios_base::cur, std::ios_base::in | std::ios_base::out));
}

OSErr OpenFork(const FSSpec* spec, ForkKind kind, SInt8 permission, int16_t* refNum)
{
    if (gRefNums.Count() >= RefNumTable::kMaxAllocated)
        return tmfoErr;
    Volume* volume = spec ? GetVolume(spec->vRefNum) : nullptr;
    if (!volume)
        return nsvErr;

    int16_t newRefNum = gRefNums.Allocate();
    OSErr result;
    try {
        result = volume->OpenFork(*spec, kind, permission, gRefNums.Slot(newRefNum));
    } catch (...) {
        // A damaged fork header throws; the refNum must not stay taken by a fork that is not open.
        gRefNums.Slot(newRefNum).reset();
        gRefNums.Free(newRefNum);
        throw;
    }
    if (result != noErr) {
        gRefNums.Slot(newRefNum).reset();
        gRefNums.Free(newRefNum);
        newRefNum = -1;
    }
    if (refNum)
        *refNum = newRefNum;
    return result;
}

template <typename Count> OSErr ReadFork(int16_t refNum, Count* count, void* buffer)
{
    if (!count || *count < 0)
        return paramErr;
    ForkHandle* fork;
    if (OSErr error = LookUpFork(refNum, &fork))
        return error;
    if (!(fork->permission & fsRdPerm))
        return ioErr;
    std::streamsize wanted = std::streamsize(*count);
    std::streamsize got = wanted > 0 ? Buffer(fork).sgetn(static_cast<char*>(buffer), wanted) : 0;
    *count = Count(got);
    return got < wanted ? eofErr : noErr;
}

template <typename Count> OSErr WriteFork(int16_t refNum, Count* count, const void* buffer)
{
    if (!count || *count < 0)
        return paramErr;
    ForkHandle* fork;
    if (OSErr error = LookUpFork(refNum, &fork))
        return error;
    if (!(fork->permission & fsWrPerm))
        return wrPermErr;
    std::streamsize wanted = std::streamsize(*count);
    std::streamsize written = wanted > 0 ? Buffer(fork).sputn(static_cast<const char*>(buffer), wanted) : 0;
    // A short write (disk full, I/O error) is reported: a saved game must not be taken as written.
    if (written < wanted) {
        *count = Count(written);
        return ioErr;
    }
    return noErr;
}

template <typename Length> OSErr ForkLength(int16_t refNum, Length* length)
{
    ForkHandle* fork;
    if (OSErr error = LookUpFork(refNum, &fork))
        return error;
    std::streambuf& buffer = Buffer(fork);
    auto mark = buffer.pubseekoff(0, std::ios_base::cur, std::ios_base::in | std::ios_base::out);
    auto end = buffer.pubseekoff(0, std::ios_base::end, std::ios_base::in | std::ios_base::out);
    buffer.pubseekpos(mark, std::ios_base::in | std::ios_base::out);
    if (int64_t(end) < 0)
        return ioErr;
    if (length)
        *length = Length(int64_t(end));
    return noErr;
}

template <typename Position> OSErr ForkMark(int16_t refNum, Position* mark)
{
    ForkHandle* fork;
    if (OSErr error = LookUpFork(refNum, &fork))
        return error;
    int64_t position = Mark(fork);
    if (position < 0)
        return ioErr;
    if (mark)
        *mark = Position(position);
    return noErr;
}

} // namespace

OSErr FSpOpenDF(const FSSpec* spec, SInt8 permission, int16_t* refNum)
{
    return OpenFork(spec, kDataFork, permission, refNum);
}

OSErr FSpOpenRF(const FSSpec* spec, SInt8 permission, int16_t* refNum)
{
    return OpenFork(spec, kResourceFork, permission, refNum);
}

OSErr FSClose(int16_t refNum)
{
    ForkHandle* fork;
    if (OSErr error = LookUpFork(refNum, &fork))
        return error;
    gRefNums.Slot(refNum).reset(); // closes the host file
    gRefNums.Free(refNum);
    return noErr;
}

OSErr FSRead(int16_t refNum, int32_t* count, void* buffer)
{
    return ReadFork(refNum, count, buffer);
}

OSErr FSRead(int16_t refNum, long* count, void* buffer)
{
    return ReadFork(refNum, count, buffer);
}

OSErr FSWrite(int16_t refNum, int32_t* count, const void* buffer)
{
    return WriteFork(refNum, count, buffer);
}

OSErr FSWrite(int16_t refNum, long* count, const void* buffer)
{
    return WriteFork(refNum, count, buffer);
}

OSErr GetEOF(int16_t refNum, int32_t* length)
{
    return ForkLength(refNum, length);
}

OSErr GetEOF(int16_t refNum, long* length)
{
    return ForkLength(refNum, length);
}

OSErr GetFPos(int16_t refNum, int32_t* mark)
{
    return ForkMark(refNum, mark);
}

OSErr GetFPos(int16_t refNum, long* mark)
{
    return ForkMark(refNum, mark);
}

OSErr SetFPos(int16_t refNum, int16_t posMode, int32_t offset)
{
    ForkHandle* fork;
    if (OSErr error = LookUpFork(refNum, &fork))
        return error;
    std::ios_base::seekdir origin;
    switch (posMode) {
    case fsFromStart:
        origin = std::ios_base::beg;
        break;
    case fsFromLEOF:
        origin = std::ios_base::end;
        break;
    case fsFromMark:
        origin = std::ios_base::cur;
        break;
    default:
        throw std::invalid_argument("SetFPos: unsupported posMode");
    }
    std::streambuf& buffer = Buffer(fork);
    auto mark = buffer.pubseekoff(0, std::ios_base::cur, std::ios_base::in | std::ios_base::out);
    auto moved = buffer.pubseekoff(offset, origin, std::ios_base::in | std::ios_base::out);
    // The host refuses a position before the start; report it and keep the old mark.
    if (int64_t(moved) < 0) {
        buffer.pubseekpos(mark, std::ios_base::in | std::ios_base::out);
        return posErr;
    }
    fork->Stream().clear();
    return noErr;
}

} // namespace Tarnet
