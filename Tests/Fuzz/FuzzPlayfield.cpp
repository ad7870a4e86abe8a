// Feeds arbitrary bytes to the playfield reader as a level file's two forks: a big-endian uint32
// length L, then L bytes of the ".rsrc" companion (AppleDouble header and resource fork), then the
// data fork of supertile image records. The reader runs as the game runs it, images decoded and
// assembled, without a draw context. Every fault must end in a fatal alert (thrown here, with a presenter
// installed) or the host layer's exception, never a crash; everything is freed after each input so that the
// leak checker sees a clean slate.

#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "System/Alerts.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/TerrainLocal.h"

namespace {

void QuietPresenter(const char*, bool) {}

std::filesystem::path ScratchFile()
{
    static std::filesystem::path file = [] {
        std::filesystem::path folder =
            std::filesystem::temp_directory_path() / ("quorvel-fuzz-playfield-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        Tarnet::Startup();
        SetAlertPresenter(QuietPresenter);
        InitTerrainManager();
        return folder / "fuzz.ter";
    }();
    return file;
}

void WriteBytes(const std::filesystem::path& path, const uint8_t* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    std::filesystem::path file = ScratchFile();
    size_t forkLength = (size_t(data[0]) << 24) | (size_t(data[1]) << 16) | (size_t(data[2]) << 8) | data[3];
    if (forkLength > size - 4)
        forkLength = size - 4;
    WriteBytes(file.string() + ".rsrc", data + 4, forkLength);
    WriteBytes(file, data + 4 + forkLength, size - 4 - forkLength);

    Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(file);
    try {
        LoadPlayfieldData(&spec, kPlayfieldImages_DecodeOnly);
    } catch (const std::exception&) {
        // Refusing a damaged file is the expected outcome.
    }
    FreeTerrainData();
    return 0;
}
