#include "System/Random.h"

#include <gtest/gtest.h>

TEST(RandomGenerator, SeedZeroGivesTheKnownSequence)
{
    SeedRandom(0);
    EXPECT_EQ(RandomU32(), 0x0CA4B5DDu);
    EXPECT_EQ(RandomU32(), 0x4B0C3FE0u);
    EXPECT_EQ(RandomU32(), 0xECBAB9B9u);
}

TEST(RandomGenerator, ReseedingRestartsTheSequence)
{
    SeedRandom(1234);
    uint32_t first = RandomU32();
    RandomU32();
    SeedRandom(1234);
    EXPECT_EQ(RandomU32(), first);
}

TEST(RandomGenerator, RandomIntStaysInRangeAndUsesTheLow16Bits)
{
    SeedRandom(7);
    for (int i = 0; i < 1000; i++)
        ASSERT_EQ(RandomInt(5, 5), 5);
    for (int i = 0; i < 1000; i++) {
        uint16_t value = RandomInt(10, 20);
        ASSERT_GE(value, 10);
        ASSERT_LE(value, 20);
    }

    SeedRandom(99);
    uint32_t raw = RandomU32();
    SeedRandom(99);
    EXPECT_EQ(RandomInt(0, 65535), uint16_t(raw & 0xFFFF));
}

TEST(RandomGenerator, SignedAndUnitValuesStayInTheirRanges)
{
    SeedRandom(42);
    bool sawZero = false;
    for (int i = 0; i < 100000; i++) {
        float s = RandomSigned();
        ASSERT_GT(s, -1.0f); // -1 itself is never returned
        ASSERT_LE(s, 1.0f);
        float u = RandomUnit();
        ASSERT_GE(u, 0.0f);
        ASSERT_LE(u, 1.0f);
        sawZero |= (s == 0.0f);
    }
    EXPECT_TRUE(sawZero);
}
