// Alias records, as skeleton files use them to name their model file. Only the target's name is
// used: it is looked up in the folder of the file that holds the alias, so data folders can move.
// The name comes from a data file, so it must stay a plain name in that folder: a path separator or a
// name of dots alone would reach outside it, and is refused with bdNamErr (the classic bad-name result).

#include <iostream>

#include "Tarnet/Files/Files.h"
#include "Tarnet/Memory/Memory.h"
#include "Tarnet/Streams/BigEndianReader.h"
#include "Tarnet/Streams/MemStream.h"

namespace Tarnet {
namespace {

constexpr Size kMinAliasSize = 114;
constexpr uint8_t kMaxTargetNameLength = 63;

// True for a name that names one item of the folder itself: no separator of any host or of colon
// paths, and not "." or ".." (or more dots, which some hosts trim to one of those).
bool IsPlainItemName(const char* name)
{
    bool onlyDots = true;
    for (const char* c = name; *c; c++) {
        if (*c == ':' || *c == '/' || *c == '\\')
            return false;
        if (*c != '.')
            onlyDots = false;
    }
    return !onlyDots;
}

} // namespace

OSErr ResolveAlias(const FSSpec* fromFile, AliasHandle alias, FSSpec* target, Boolean* wasChanged)
{
    if (wasChanged)
        *wasChanged = false;
    if (!fromFile || !alias || !target)
        return paramErr;

    Size size = GetHandleSize(alias);
    if (size < kMinAliasSize) {
        std::cerr << "unexpected size of alias: " << size << "\n";
        return unimpErr;
    }

    memstream stream(*alias, size_t(size));
    BigEndianReader in(stream);
    in.Skip(4); // application type
    uint16_t recordSize = in.ReadBigEndian<uint16_t>();
    uint16_t version = in.ReadBigEndian<uint16_t>();
    uint16_t kind = in.ReadBigEndian<uint16_t>();
    if (recordSize != size) {
        std::cerr << "unexpected size field in alias\n";
        return unimpErr;
    }
    if (version != 2) {
        std::cerr << "unexpected alias version number\n";
        return unimpErr;
    }
    if (kind >= 3) {
        std::cerr << "unsupported alias kind " << kind << "\n";
        return unimpErr;
    }
    in.Skip(28 + 4 + 2 + 2 + 4); // volume name, volume date, signature, drive type, parent ID
    uint8_t nameLength = in.ReadBigEndian<uint8_t>();
    if (nameLength == 0 || nameLength > kMaxTargetNameLength) {
        std::cerr << "unexpected alias target name length " << int(nameLength) << "\n";
        return unimpErr;
    }
    char name[kMaxTargetNameLength + 1] = {};
    in.ReadBytes(name, nameLength);
    if (!IsPlainItemName(name)) {
        std::cerr << "alias target name is not a plain file name: " << name << "\n";
        return bdNamErr;
    }
    return FSMakeFSSpec(fromFile->vRefNum, fromFile->parID, name, target);
}

} // namespace Tarnet
