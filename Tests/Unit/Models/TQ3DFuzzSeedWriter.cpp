// Regenerates the model-file fuzz seeds. Disabled: run it by hand with
//   QuorvelUnitTests --gtest_also_run_disabled_tests --gtest_filter='FuzzSeeds.*TQ3D*'
// after changing the format, and commit the files it writes.

#include <gtest/gtest.h>

#include <filesystem>

#include "Unit/Models/TQ3DBytes.h"
#include "Window/RenderTestImages.h"

namespace {

void WriteSeed(const char* name, const TQ3DBytes& file)
{
    std::filesystem::path folder = std::filesystem::path(QUORVEL_SOURCE_DIR) / "Tests/Fuzz/Seeds/TQ3D";
    std::filesystem::create_directories(folder);
    WriteFile(folder / name, file.bytes);
}

TEST(FuzzSeeds, DISABLED_WriteTQ3DSeeds)
{
    WriteSeed("one-triangle.tq3d", TQ3DBytes().Triangle().End());

    TQ3DBytes groups;
    groups.Material(MO_MATERIAL_FLAG_TEXTURED).Diffuse(1, 0.5f, 0.25f, 1);
    groups.TextureMap(2, 2, TQ3D_PIXELS_RGBA, std::vector<uint8_t>(16, 0x80));
    groups.Material(MO_MATERIAL_FLAG_ALWAYS_BLEND);
    groups.GroupStart().Triangle(1, 1, 0).GroupStart().Triangle(2, 1, 1).GroupEnd().GroupEnd();
    groups.Geometry(4, 2, 1, 1).Points({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0});
    groups.Colors({255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 9, 9, 9, 128});
    groups.Triangles({0, 1, 2, 0, 2, 3}).Box(0, 0, 0, 1, 1, 0, false);
    WriteSeed("materials-groups-colors.tq3d", groups.End());

    std::vector<uint8_t> mask(8 * 8, 0xC0);
    TQ3DBytes jpeg;
    jpeg.Material(MO_MATERIAL_FLAG_TEXTURED).JpegTextureMap(8, 8, SolidJpeg(8, 8, 30, 160, 60), mask);
    WriteSeed("jpeg-with-mask.tq3d", jpeg.Triangle(1, 1, 0).End());

    TQ3DBytes packed;
    packed.Material(MO_MATERIAL_FLAG_TEXTURED | MO_MATERIAL_FLAG_CLAMP_U);
    packed.TextureMap(2, 1, TQ3D_PIXELS_1555_REVERSED, {0xFF, 0x7F, 0x00, 0x80});
    packed.TextureMap(1, 1, TQ3D_PIXELS_8888_REVERSED, {1, 2, 3, 4});
    WriteSeed("packed-pixel-formats.tq3d", packed.Triangle(1, 1, 0).End());
}

} // namespace
