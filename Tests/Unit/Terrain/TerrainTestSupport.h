// Small playfields written with the data generator's writer and read back through the game's reader,
// with the host layer started, the vertex-array pools made and a stand-in game view for the lights and
// cameras (no draw context: images are decoded and assembled, not uploaded).
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "3D/OGL_Support.h"
#include "DataForge/Writers/BigEndianWriter.h"
#include "DataForge/Writers/ImageWriter.h"
#include "DataForge/Writers/PlayfieldWriter.h"
#include "Support/AlertCapture.h"
#include "Support/TempFolder.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/TerrainLocal.h"

// A 256 x 256 image of one colour, rows top first, as the generator writes them.
inline std::vector<uint8_t> SolidSuperTileImage(uint8_t r, uint8_t g, uint8_t b)
{
    Image image;
    image.width = image.height = SUPERTILE_TEXTURE_SIZE;
    image.channels = 4;
    image.pixels.resize(size_t(image.width) * image.height * 4);
    for (size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = r;
        image.pixels[i + 1] = g;
        image.pixels[i + 2] = b;
        image.pixels[i + 3] = 255;
    }
    return EncodePng(image);
}

inline PlayfieldItem MakeItem(uint32_t xMap, uint32_t zMap, uint16_t type, uint8_t p0 = 0, uint8_t p1 = 0)
{
    PlayfieldItem item = {xMap, zMap, type, {p0, p1, 0, 0}, 0};
    return item;
}

// A flat map of wide x deep supertiles, every cell with its own image, one start item for player 0.
inline PlayfieldDescription FlatPlayfield(int wide, int deep)
{
    PlayfieldDescription p;
    p.mapWidth = wide * TILES_PER_SUPERTILE;
    p.mapDepth = deep * TILES_PER_SUPERTILE;
    p.heightDivisor = 1.0f;
    p.heights.assign(size_t(p.mapWidth + 1) * (p.mapDepth + 1), 0.0f);
    static std::vector<uint8_t> image = SolidSuperTileImage(40, 160, 60);
    for (int i = 0; i < wide * deep; i++) {
        p.superTileGrid.push_back(int16_t(i));
        p.images.push_back(image);
    }
    p.items.push_back(MakeItem(100, 100, 0));
    return p;
}

class TerrainTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Tarnet::Startup();
        gPrefs.reducedDetail = 0;
        std::memset(&view, 0, sizeof(view));
        view.isActive = true;
        view.ambientColor[0] = view.ambientColor[1] = view.ambientColor[2] = 0.4f;
        view.lightCount = 1;
        view.lightDirection[0] = {0.0f, -1.0f, 0.0f};
        view.lightColor[0][0] = view.lightColor[0][1] = view.lightColor[0][2] = 0.6f;
        gGameViewInfoPtr = &view;
        gNumPanes = 1;
        OGL_InitVertexArrayMemory();
        InitTerrainManager();
        std::memset(gMapItemAddRoutines, 0, sizeof(gMapItemAddRoutines));
    }
    void TearDown() override
    {
        FreeTerrainData();
        std::memset(gMapItemAddRoutines, 0, sizeof(gMapItemAddRoutines));
        OGL_DisposeVertexArrayMemory();
        gGameViewInfoPtr = nullptr;
        gNumPanes = 1;
        Tarnet::Shutdown();
    }

    // Writes p, letting `tweak` add resources to the fork first (a later resource of the same type and
    // ID replaces the written one), then reads it the way the game does, without textures; the
    // supertile meshes are made too.
    void Load(const PlayfieldDescription& p,
              const std::function<void(Tarnet::ResourceForkWriter&)>& tweak = {})
    {
        std::filesystem::path path = temp.Path() / "test.ter";
        WriteFileBytes(path, BuildPlayfieldDataFork(p));
        Tarnet::ResourceForkWriter fork = BuildPlayfieldResourceFork(p);
        if (tweak)
            tweak(fork);
        fork.WriteAppleDouble(temp.Path() / "test.ter.rsrc");
        Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(path);
        LoadPlayfieldData(&spec, kPlayfieldImages_DecodeOnly);
        CreateSuperTileMemoryList();
    }

    // The message of the fatal alert Load raised, or "".
    std::string LoadFatal(const PlayfieldDescription& p,
                          const std::function<void(Tarnet::ResourceForkWriter&)>& tweak = {})
    {
        return FatalAlertMessageOf([&] { Load(p, tweak); });
    }

    void PlaceCamera(int player, float x, float z) { view.cameras[player].eye = {x, 500.0f, z}; }

    GameViewInfo view;
    TempFolder temp;
};
