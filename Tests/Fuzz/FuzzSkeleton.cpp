// Feeds arbitrary bytes to the skeleton loader as a skeleton file and its reference model: a big-endian
// uint32 length L, then L bytes of the skeleton's ".rsrc" companion (AppleDouble header and resource fork),
// then the model file its alias should name ("fuzz.tq3d"). The loader runs as the game runs it, without a
// draw context (textures decoded and dropped); a creature that loads is made, played a little and freed.
// Every fault must end in a fatal alert (thrown here, with a presenter installed) or the host layer's
// exception, never a crash; everything is freed after each input so the leak checker sees a clean slate.

#include <cstdint>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "3D/OGL_Support.h"
#include "3D/TQ3D.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "Tarnet/Tarnet.h"

namespace {

void QuietPresenter(const char*, bool) {}

GameViewInfo gStandInView;

std::filesystem::path ScratchFolder()
{
    static std::filesystem::path folder = [] {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("quorvel-fuzz-skeleton-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        Tarnet::Startup();
        SetAlertPresenter(QuietPresenter);
        MO_InitMetaObjectList();
        TQ3D_InitContainers();
        InitSkeletonManager();
        InitObjectPool();
        gSkeletonTexturesUploaded = false;
        gGameViewInfoPtr = &gStandInView;
        OGL_InitVertexArrayMemory();
        return path;
    }();
    return folder;
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
    std::filesystem::path folder = ScratchFolder();
    size_t forkLength = (size_t(data[0]) << 24) | (size_t(data[1]) << 16) | (size_t(data[2]) << 8) | data[3];
    if (forkLength > size - 4)
        forkLength = size - 4;
    WriteBytes(folder / "fuzz.skeleton.rsrc", data + 4, forkLength);
    WriteBytes(folder / "fuzz.tq3d", data + 4 + forkLength, size - 4 - forkLength);

    Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(folder / "fuzz.skeleton");
    try {
        gLoadedSkeletons[0] = LoadSkeletonFromSpec(&spec, 0);
        gSkeletonMeshCount[0] = gLoadedSkeletons[0]->meshCount;
        if (gLoadedSkeletons[0]->animCount > 0) {
            ObjectDefinition def = {};
            def.slot = 100;
            def.scale = 1;
            gFrameSeconds = 1.0f / 30;
            ObjNode* node = MakeNewSkeletonBaseData(&def);
            for (int frame = 0; frame < 20; frame++) {
                AdvanceSkeletonAnimation(node);
                UpdateSkinnedGeometry(node);
            }
        }
    } catch (const std::exception&) {
        // Refusing a damaged file is the expected outcome.
    }
    DisposeAllObjects();
    FreeAllSkeletonFiles(-1);
    TQ3D_DisposeAllContainers();
    return 0;
}
