// quorvel-data rsrc FILE: opens FILE's resource fork exactly as the game does and lists it, one
// line per resource in type then ID order:   'Hedr' 1000 48 "name"
// Bytes outside printable ASCII, quotes and backslashes in types and names are written as \xNN,
// \' / \" and \\.

#include <cstdio>
#include <string>

#include "Commands.h"
#include "Tarnet/Tarnet.h"

namespace {

std::string Escaped(const std::string& text, char quote)
{
    std::string out;
    for (unsigned char c : text) {
        if (c == uint8_t(quote) || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[5];
            std::snprintf(hex, sizeof(hex), "\\x%02X", c);
            out += hex;
        } else {
            out += char(c);
        }
    }
    return out;
}

std::string TypeText(Tarnet::ResType type)
{
    std::string chars{char(type >> 24), char(type >> 16), char(type >> 8), char(type)};
    return Escaped(chars, '\'');
}

} // namespace

int RunRsrcCommand(const CommandArgs& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: quorvel-data rsrc FILE\n");
        return 2;
    }
    const std::string& file = args[0];

    // Files and resources only (HostPathToFSSpec starts them): a listing opens no audio device.
    Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(file);
    int16_t refNum;
    try {
        refNum = Tarnet::FSpOpenResFile(&spec, Tarnet::fsRdPerm);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorvel-data rsrc: %s: %s\n", file.c_str(), e.what());
        Tarnet::Shutdown();
        return 1;
    }
    if (refNum < 0) {
        Tarnet::OSErr error = Tarnet::ResError();
        std::fprintf(stderr, "quorvel-data rsrc: %s: cannot open the resource fork %s.rsrc (error %d%s)\n",
                     file.c_str(), file.c_str(), error, error == Tarnet::fnfErr ? ", file not found" : "");
        Tarnet::Shutdown();
        return 1;
    }

    for (const Tarnet::ResourceInfo& resource : Tarnet::ListResources(refNum)) {
        std::printf("'%s' %d %d \"%s\"\n", TypeText(resource.type).c_str(), resource.id, resource.size,
                    Escaped(resource.name, '"').c_str());
    }
    Tarnet::CloseResFile(refNum);
    Tarnet::Shutdown();
    return std::fflush(stdout) == 0 ? 0 : 1;
}
