// Resource files: the typed, numbered blobs in a file's resource fork. Opening a file reads its
// map once; the open files form a chain searched from the current file back to the oldest, and
// every GetResource reads a fresh copy into a new handle. Read-only. Each call leaves its outcome
// in ResError().
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Tarnet/MacTypes.h"

namespace Tarnet {

// Opens the resource fork (read permission only) and makes the file current: its refNum, or -1
// with ResError() holding the open error (fnfErr: no ".rsrc" companion). A damaged fork throws
// std::runtime_error or std::out_of_range naming the fault; the fork is then closed again.
int16_t FSpOpenResFile(const FSSpec* spec, SInt8 permission);
int16_t OpenResFile(const char* name); // a colon path in directory 0 of volume 0

void UseResFile(int16_t refNum);   // makes an open resource file current; rfNumErr if it is none
void CloseResFile(int16_t refNum); // closes the fork and drops the file from the chain
int16_t CurResFile();              // the current file's refNum; -1 when none is open

// A new handle with a copy of the resource, from the current file or an older one; null with
// resNotFound when none has it.
Handle GetResource(ResType type, int16_t id);
void ReleaseResource(Handle resource); // disposes the handle
void DetachResource(Handle resource);  // cuts the handle's link to its file; resNotFound if it had none
OSErr ResError();

// ID, type and name (NUL-terminated, into 256 bytes) of a handle from GetResource; each output may
// be null. resNotFound for a handle without a live link.
void GetResInfo(Handle resource, int16_t* id, ResType* type, char* name);

int Count1Resources(ResType type);          // resources of one type in the current file
int Count1Types();                          // types in the current file
void Get1IndType(ResType* type, int index); // index-th type (from 1) in ascending order, or 0
// GetResource of the index-th ID (from 1, ascending) of a type of the current file; the type
// must exist (else std::out_of_range); an index beyond the count gives null and resNotFound.
Handle Get1IndResource(ResType type, int index);

// One resource of an open file, without its data.
struct ResourceInfo
{
    ResType type;
    int16_t id;
    int32_t size;
    uint8_t attributes;
    std::string name;
};

// Every resource of the open resource file `refNum`, in type then ID order (the entry that wins
// for a repeated type and ID). Empty when no resource file has that refNum.
std::vector<ResourceInfo> ListResources(int16_t refNum);

} // namespace Tarnet
