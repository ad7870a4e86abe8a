#include "Support/AlertCapture.h"
#include "System/Memory.h"

#include <gtest/gtest.h>

#include <cstring>

// The header sits just before the payload: cookie, total size, two tags, all native order.
static const uint32_t* HeaderWords(void* payload)
{
    return static_cast<const uint32_t*>(payload) - 4;
}

TEST(TaggedBlocks, AllocationsAreCountedWithTheirHeaders)
{
    int32_t blocks = gLiveBlockCount;
    int64_t bytes = gLiveBlockBytes;

    void* a = AllocPtr(100);
    void* b = AllocPtrClear(0);
    EXPECT_EQ(gLiveBlockCount, blocks + 2);
    EXPECT_EQ(gLiveBlockBytes, bytes + 116 + 16);

    EXPECT_EQ(HeaderWords(a)[0], FourCharCode("FACE"));
    EXPECT_EQ(int32_t(HeaderWords(a)[1]), 116);
    EXPECT_EQ(HeaderWords(a)[2], FourCharCode("PTR3"));
    EXPECT_EQ(HeaderWords(a)[3], FourCharCode("PTR4"));
    EXPECT_EQ(HeaderWords(b)[2], FourCharCode("PTC3"));
    EXPECT_EQ(HeaderWords(b)[3], FourCharCode("PTC4"));

    SafeDisposePtr(a);
    SafeDisposePtr(b);
    EXPECT_EQ(gLiveBlockCount, blocks);
    EXPECT_EQ(gLiveBlockBytes, bytes);
}

TEST(TaggedBlocks, ClearedBlockIsZeroFilled)
{
    auto* bytes = static_cast<uint8_t*>(AllocPtrClear(4096));
    bool allZero = true;
    for (int i = 0; i < 4096; i++)
        allZero &= bytes[i] == 0;
    EXPECT_TRUE(allZero);
    SafeDisposePtr(bytes);
}

TEST(TaggedBlocks, ReallocKeepsContentsAndAdjustsOnlyTheByteTotal)
{
    auto* text = static_cast<char*>(AllocPtr(6));
    std::memcpy(text, "hello", 6);
    int32_t blocks = gLiveBlockCount;
    int64_t bytes = gLiveBlockBytes;

    text = static_cast<char*>(ReallocPtr(text, 4000));
    EXPECT_STREQ(text, "hello");
    EXPECT_EQ(gLiveBlockCount, blocks);
    EXPECT_EQ(gLiveBlockBytes, bytes + 4000 - 6);
    EXPECT_EQ(HeaderWords(text)[2], FourCharCode("REA3"));
    EXPECT_EQ(HeaderWords(text)[3], FourCharCode("REA4"));
    SafeDisposePtr(text);
}

TEST(TaggedBlocks, ReallocOfNullAllocatesLikeAllocPtr)
{
    int32_t blocks = gLiveBlockCount;
    void* p = ReallocPtr(nullptr, 10);
    EXPECT_EQ(gLiveBlockCount, blocks + 1);
    EXPECT_EQ(HeaderWords(p)[2], FourCharCode("PTR3"));
    SafeDisposePtr(p);
}

TEST(TaggedBlocks, DisposingNullDoesNothing)
{
    int32_t blocks = gLiveBlockCount;
    SafeDisposePtr(nullptr);
    EXPECT_EQ(gLiveBlockCount, blocks);
}

TEST(TaggedBlocks, ForeignOrDamagedPointersAreFatalBeforeReachingTheHeap)
{
    alignas(16) uint8_t notABlock[64] = {};
    EXPECT_EQ(FatalAlertMessageOf([&] { SafeDisposePtr(notABlock + 16); }),
              "SafeDisposePtr:318: cookiePtr[0] == 'FACE'");
    EXPECT_EQ(FatalAlertMessageOf([&] { ReallocPtr(notABlock + 16, 32); }),
              "ReallocPtr:292: cookiePtr[0] == 'FACE'");
}

TEST(TaggedBlocks, NegativeAndImpossibleSizesAreFatal)
{
    EXPECT_EQ(FatalAlertMessageOf([] { AllocPtr(-1); }), "AllocPtr:229: size >= 0");
    EXPECT_EQ(FatalAlertMessageOf([] { AllocPtrClear(-5); }), "AllocPtrClear:253: size >= 0");
    EXPECT_EQ(FatalAlertMessageOf([] { ReallocPtr(nullptr, -1); }), "ReallocPtr:277: newSize >= 0");
    // The header would overflow a 32-bit size: out of memory, not a wrapped tiny block.
    EXPECT_EQ(FatalAlertMessageOf([] { AllocPtr(INT32_MAX); }), "AllocPtr:234: p");
}
