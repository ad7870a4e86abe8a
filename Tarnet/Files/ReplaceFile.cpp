// Replacing a file so that a crash or a full disk never leaves it half written. The host's rename
// replaces the target in one step; before it, the replacement is flushed to the disk and its size
// checked there (a host write error does not come back from FSWrite, so a full disk would
// otherwise pass unnoticed); after it, the folder is flushed so that the rename itself survives.

#include <system_error>

#include "Tarnet/Files/Files.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace Tarnet {
namespace {

// Whether all `expectedLength` bytes of the file are on the disk.
bool IsWholeOnDisk(const fs::path& path, int32_t expectedLength)
{
    std::error_code ec;
#if !defined(_WIN32)
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    bool flushed = ::fsync(fd) == 0;
    ::close(fd);
    if (!flushed)
        return false;
#endif
    return fs::file_size(path, ec) == uintmax_t(expectedLength) && !ec;
}

void FlushFolder([[maybe_unused]] const fs::path& folder)
{
#if !defined(_WIN32)
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

} // namespace

OSErr FSpReplaceFile(const FSSpec* replacement, const FSSpec* target, int32_t expectedLength)
{
    fs::path replacementPath = FSSpecToHostPath(*replacement);
    fs::path targetPath = FSSpecToHostPath(*target);
    std::error_code ec;

    bool complete = IsWholeOnDisk(replacementPath, expectedLength);
    if (complete)
        fs::rename(replacementPath, targetPath, ec);
    if (!complete || ec) {
        fs::remove(replacementPath, ec);
        return ioErr;
    }
    FlushFolder(targetPath.parent_path());
    return noErr;
}

} // namespace Tarnet
