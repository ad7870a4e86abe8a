// Regenerates the playfield fuzz seeds with the playfield writer. Disabled: run it by hand with
//   QuorvelUnitTests --gtest_also_run_disabled_tests --gtest_filter='FuzzSeeds.*Playfield*'
// after changing the format, and commit the files it writes.

#include "TerrainTestSupport.h"

#include <fstream>

namespace {

// A smooth 256 x 256 JPEG of the generator's quality, small enough for a fuzz seed.
std::vector<uint8_t> GradientSuperTileJpeg()
{
    Image image;
    image.width = image.height = SUPERTILE_TEXTURE_SIZE;
    image.channels = 3;
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++)
            image.pixels.insert(image.pixels.end(), {uint8_t(x), uint8_t(y), uint8_t(128)});
    return EncodeJpeg(image, 88);
}

// The fuzz input: a big-endian length of the companion file, the companion file, the data fork.
void WriteSeed(const char* name, const PlayfieldDescription& p, const char* folderName = "Seeds")
{
    std::vector<uint8_t> fork = BuildPlayfieldResourceFork(p).BuildAppleDouble();
    std::vector<uint8_t> data = BuildPlayfieldDataFork(p);
    std::vector<uint8_t> seed = {uint8_t(fork.size() >> 24), uint8_t(fork.size() >> 16),
                                 uint8_t(fork.size() >> 8), uint8_t(fork.size())};
    seed.insert(seed.end(), fork.begin(), fork.end());
    seed.insert(seed.end(), data.begin(), data.end());
    std::filesystem::path folder =
        std::filesystem::path(QUORVEL_SOURCE_DIR) / "Tests/Fuzz" / folderName / "Playfield";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary)
        .write((const char*)seed.data(), std::streamsize(seed.size()));
}

} // namespace

TEST(FuzzSeeds, DISABLED_WritePlayfieldSeeds)
{
    WriteSeed("one-supertile.bin", FlatPlayfield(1, 1));

    PlayfieldDescription p = FlatPlayfield(2, 1);
    p.superTileGrid[1] = -1;
    p.images.pop_back();
    p.heights[3] = 40.0f;
    p.items = {MakeItem(10, 20, 0), MakeItem(300, 40, 1, 3), MakeItem(400, 100, 3, 2)};
    PlayfieldSpline spline;
    spline.points = {{1, 2}, {3, 4}, {5, 6}, {7, 8}};
    spline.items = {{0.25f, 15, {1, 2, 3, 4}, 0}};
    p.splines.push_back(spline);
    p.fences.push_back({1, {{10, 20}, {30, 40}}});
    p.water.push_back({1, 1, 1, {{0, 0}, {100, 0}, {100, 100}}, {50, 25}});
    p.lineMarkers.push_back({32, 64, 96, 128});
    WriteSeed("every-record.bin", p);

    PlayfieldDescription jpeg = FlatPlayfield(1, 1);
    jpeg.images[0] = GradientSuperTileJpeg();
    WriteSeed("jpeg-supertile.bin", jpeg);

    // Once wrote past the decoder's Huffman tables.
    std::vector<uint8_t>& image = jpeg.images[0];
    for (size_t i = 0; i + 6 < image.size(); i++) {
        if (image[i] == 0xFF && image[i + 1] == 0xC4) {
            image[i + 5] = image[i + 6] = 200; // 400 codes in the first table
            break;
        }
    }
    WriteSeed("jpeg-huffman-table-over-256-codes.bin", jpeg, "Regressions");
}
