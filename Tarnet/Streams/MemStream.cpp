#include "Tarnet/Streams/MemStream.h"

namespace Tarnet {

membuf::membuf(const void* begin, size_t length)
{
    // The get area is the whole range; the put area stays empty, so writes fail.
    char* first = const_cast<char*>(static_cast<const char*>(begin));
    setg(first, first, first + length);
}

membuf::pos_type membuf::seekoff(off_type offset, std::ios_base::seekdir origin,
                                 std::ios_base::openmode which)
{
    if (!(which & std::ios_base::in))
        return pos_type(off_type(-1));
    off_type length = egptr() - eback();
    off_type base = origin == std::ios_base::beg   ? 0
                    : origin == std::ios_base::cur ? gptr() - eback()
                                                   : length;
    off_type target = base + offset;
    if (target < 0 || target > length)
        return pos_type(off_type(-1));
    setg(eback(), eback() + target, egptr());
    return pos_type(target);
}

membuf::pos_type membuf::seekpos(pos_type position, std::ios_base::openmode which)
{
    return seekoff(off_type(position), std::ios_base::beg, which);
}

memstream::memstream(const void* begin, size_t length) : std::iostream(nullptr), buffer(begin, length)
{
    rdbuf(&buffer);
}

} // namespace Tarnet
