// Regenerates the resource-fork fuzz seeds with the fork writer. Disabled: run it by hand with
//   QuorvelUnitTests --gtest_also_run_disabled_tests --gtest_filter='FuzzSeeds.*'
// after changing the writer, and commit the files it writes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Tarnet/Resources/ResourceForkWriter.h"

using namespace Tarnet;

namespace {

void WriteSeed(const char* name, const ResourceForkWriter& writer)
{
    std::filesystem::path folder =
        std::filesystem::path(QUORVEL_SOURCE_DIR) / "Tests/Fuzz/Seeds/ResourceFork";
    std::filesystem::create_directories(folder);
    writer.WriteAppleDouble(folder / name);
}

TEST(FuzzSeeds, DISABLED_WriteResourceForkSeeds)
{
    WriteSeed("empty.rsrc", ResourceForkWriter());

    ResourceForkWriter one;
    one.Add(OSTypeFrom("Hedr"), 1000, {0, 1, 2, 3, 4, 5, 6, 7});
    WriteSeed("one-resource.rsrc", one);

    ResourceForkWriter named;
    named.Add(OSTypeFrom("Hedr"), 1000, {1, 2, 3, 4}, "header");
    named.Add(OSTypeFrom("Hedr"), -1, {}, "");
    named.Add(OSTypeFrom("alis"), 1000, std::vector<uint8_t>(114, 0x41), "model");
    named.Add(OSTypeFrom("snd "), 128, std::vector<uint8_t>(40, 0x80));
    WriteSeed("types-and-names.rsrc", named);

    ResourceForkWriter finder;
    finder.SetFinderInfo(OSTypeFrom("Skel"), OSTypeFrom("Qrv2"));
    finder.Add(OSTypeFrom("Bone"), 1000, {9, 9, 9});
    finder.Add(OSTypeFrom("Bone"), 1000, {8}, "later wins");
    WriteSeed("finder-info-and-duplicate.rsrc", finder);
}

} // namespace
