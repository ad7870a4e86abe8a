// Codec selection by four-character code.

#include <cstring>
#include <stdexcept>

#include "Tarnet/Sound/Codecs.h"

namespace Tarnet::Sound {

std::string FourCCText(OSType code)
{
    static const char kPrintable[] = "!#$%&'()+,-.;=@[]^_{}`";
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = char((code >> shift) & 0xFF);
        bool alphanumeric = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        text += alphanumeric || (c != 0 && std::strchr(kPrintable, c)) ? c : '?';
    }
    return text;
}

std::unique_ptr<Codec> MakeCodec(OSType codecCode)
{
    switch (codecCode) {
    case 0:
    case OSTypeFrom("MAC3"):
        return std::make_unique<MACE>();
    case OSTypeFrom("ima4"):
        return std::make_unique<IMA4>();
    case OSTypeFrom("ulaw"):
        return std::make_unique<xlaw>(false);
    case OSTypeFrom("alaw"):
        return std::make_unique<xlaw>(true);
    default:
        throw std::runtime_error("Unknown audio codec: " + FourCCText(codecCode));
    }
}

} // namespace Tarnet::Sound
