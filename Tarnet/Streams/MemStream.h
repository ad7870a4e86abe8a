// A read-only stream over a caller-owned range of bytes, for parsing records that are already in
// memory (alias records, 'snd ' resources) with the same readers as files. Nothing is copied: the
// bytes must outlive the stream.
#pragma once

#include <cstddef>
#include <istream>
#include <streambuf>

namespace Tarnet {

// Positions run from 0 to the length; a seek outside that range fails and leaves the position.
class membuf : public std::streambuf
{
public:
    membuf(const void* begin, size_t length);

protected:
    pos_type seekoff(off_type offset, std::ios_base::seekdir origin, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type position, std::ios_base::openmode which) override;
};

class memstream : public std::iostream
{
public:
    memstream(const void* begin, size_t length);

private:
    membuf buffer;
};

} // namespace Tarnet
