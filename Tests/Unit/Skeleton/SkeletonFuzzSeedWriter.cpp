// Regenerates the skeleton fuzz seeds with the skeleton writer. Disabled: run it by hand with
//   QuorvelUnitTests --gtest_also_run_disabled_tests --gtest_filter='FuzzSeeds.*Skeleton*'
// after changing the format, and commit the files it writes.

#include "SkeletonTestSupport.h"

#include <fstream>

namespace {

// The fuzz input: a big-endian length of the companion file, the companion file, the model file.
void WriteSeed(const char* name, TestSkeleton t)
{
    t.skeleton.modelFileName = "fuzz.tq3d";
    std::vector<uint8_t> fork = BuildSkeletonResourceFork(t.skeleton, t.model).BuildAppleDouble();
    std::vector<uint8_t> model = SerializeTQ3D(t.model);
    std::vector<uint8_t> seed = {uint8_t(fork.size() >> 24), uint8_t(fork.size() >> 16),
                                 uint8_t(fork.size() >> 8), uint8_t(fork.size())};
    seed.insert(seed.end(), fork.begin(), fork.end());
    seed.insert(seed.end(), model.begin(), model.end());
    std::filesystem::path folder = std::filesystem::path(QUORVEL_SOURCE_DIR) / "Tests/Fuzz/Seeds/Skeleton";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary)
        .write((const char*)seed.data(), std::streamsize(seed.size()));
}

} // namespace

TEST(FuzzSeeds, DISABLED_WriteSkeletonSeeds)
{
    WriteSeed("two-joints.bin", TestSkeleton());

    TestSkeleton t;
    t.skeleton.animations[0].events = {{5, ANIMEVENT_TYPE_SETLOOPPOINT, 0},
                                       {10, ANIMEVENT_TYPE_PAUSE, 3},
                                       {20, ANIMEVENT_TYPE_REVERSE, 0},
                                       {25, ANIMEVENT_TYPE_SETFLAG, 2},
                                       {30, ANIMEVENT_TYPE_LOOP, 0}};
    t.skeleton.animations[0].keyframes[1][1].easing = KEYFRAME_EASE_BOTH;
    t.skeleton.animations[0].keyframes[1][1].scale = {2, 2, 2};
    t.skeleton.animations.push_back(t.skeleton.animations[0]);
    t.skeleton.animations[1].events = {{8, ANIMEVENT_TYPE_STOP, 0}};
    WriteSeed("events-and-easing.bin", t);
}
