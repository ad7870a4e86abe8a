#include "3D/OGL_Support.h"
#include "Support/AlertCapture.h"
#include "System/Memory.h"

#include <gtest/gtest.h>

#include <cstdint>

// The pools live with a game view; these tests make and free them directly.
class VertexArrayPools : public ::testing::Test
{
protected:
    void SetUp() override { OGL_InitVertexArrayMemory(); }
    void TearDown() override { OGL_DisposeVertexArrayMemory(); }
};

TEST_F(VertexArrayPools, SizesRoundUpToSixteenBytes)
{
    uint8_t* a = (uint8_t*)OGL_AllocVertexArrayMemory(1, 8);
    uint8_t* b = (uint8_t*)OGL_AllocVertexArrayMemory(17, 8);
    uint8_t* c = (uint8_t*)OGL_AllocVertexArrayMemory(16, 8);
    EXPECT_EQ(b - a, 16);
    EXPECT_EQ(c - b, 32);
    EXPECT_EQ((uintptr_t)a % 16, 0u);
}

TEST_F(VertexArrayPools, FreedGapIsReusedByTheFirstRequestThatFits)
{
    uint8_t* a = (uint8_t*)OGL_AllocVertexArrayMemory(64, 3);
    uint8_t* b = (uint8_t*)OGL_AllocVertexArrayMemory(64, 3);
    uint8_t* c = (uint8_t*)OGL_AllocVertexArrayMemory(64, 3);
    (void)c;
    OGL_FreeVertexArrayMemory(b, 3);

    // Too big for the gap: goes after the last allocation.
    uint8_t* big = (uint8_t*)OGL_AllocVertexArrayMemory(128, 3);
    EXPECT_GT(big, c);
    // Fits: placed in the gap left by b.
    uint8_t* fits = (uint8_t*)OGL_AllocVertexArrayMemory(48, 3);
    EXPECT_EQ(fits, a + 64);
}

TEST_F(VertexArrayPools, FirstGapThatFitsWinsOverALaterTighterOne)
{
    uint8_t* p[5];
    for (int i = 0; i < 5; i++)
        p[i] = (uint8_t*)OGL_AllocVertexArrayMemory(i == 1 ? 256 : 64, 2);
    OGL_FreeVertexArrayMemory(p[1], 2); // a 256-byte gap early in the block
    OGL_FreeVertexArrayMemory(p[3], 2); // a 64-byte gap later, a tighter fit

    EXPECT_EQ(OGL_AllocVertexArrayMemory(64, 2), p[1]);
}

TEST_F(VertexArrayPools, RequestPastTheBlockEndIsFatalNamingThePool)
{
    OGL_AllocVertexArrayMemory(7000000, 2);
    std::string message = FatalAlertMessageOf([] { OGL_AllocVertexArrayMemory(2000000, 2); });
    EXPECT_EQ(message, "OGL_AllocVertexArrayMemory:  Master Block is full! Type 2");
    // The failed request took nothing: a request that fits still succeeds.
    EXPECT_NE(OGL_AllocVertexArrayMemory(900000, 2), nullptr);
}

TEST_F(VertexArrayPools, BadTypesAndForeignPointersAreFatal)
{
    EXPECT_EQ(FatalAlertMessageOf([] { OGL_AllocVertexArrayMemory(16, 10); }),
              "OGL_AllocVertexArrayMemory: illegal type");
    EXPECT_EQ(FatalAlertMessageOf([] { OGL_FreeVertexArrayMemory(nullptr, 10); }),
              "OGL_FreeVertexArrayMemory: illegal type");
    void* a = OGL_AllocVertexArrayMemory(16, 4);
    EXPECT_EQ(FatalAlertMessageOf([a] { OGL_FreeVertexArrayMemory(a, 5); }),
              "OGL_FreeVertexArrayMemory: no matching pointer found!");
    OGL_FreeVertexArrayMemory(a, 4);
    EXPECT_EQ(FatalAlertMessageOf([a] { OGL_FreeVertexArrayMemory(a, 4); }),
              "OGL_FreeVertexArrayMemory: no matching pointer found!");
}

TEST(VertexArrayPoolLifetime, PoolsAreUsableOnlyWhileAViewHoldsThem)
{
    EXPECT_EQ(FatalAlertMessageOf([] { OGL_AllocVertexArrayMemory(16, 0); }),
              "OGL_AllocVertexArrayMemory: not initialized");
    OGL_InitVertexArrayMemory();
    EXPECT_EQ(FatalAlertMessageOf([] { OGL_InitVertexArrayMemory(); }),
              "OGL_InitVertexArrayMemory: memory already allocated.");
    OGL_DisposeVertexArrayMemory();
    EXPECT_EQ(FatalAlertMessageOf([] { OGL_DisposeVertexArrayMemory(); }),
              "OGL_DisableVertexArrayRanges: VAR already off.");
}

TEST(VertexArrayPoolLifetime, ForgottenAllocationsDoNotLeakWhenThePoolsGo)
{
    int32_t blocks = gLiveBlockCount;
    OGL_InitVertexArrayMemory();
    OGL_AllocVertexArrayMemory(100, 3);
    OGL_AllocVertexArrayMemory(100, 6);
    OGL_DisposeVertexArrayMemory();
    EXPECT_EQ(gLiveBlockCount, blocks);
}
