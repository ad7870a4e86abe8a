// Handles with checked headers, PtrToHand and block copies.

#include <gtest/gtest.h>

#include <cstring>

#include "Tarnet/Memory/Memory.h"

using namespace Tarnet;

namespace {

// The validity word sits 8 bytes before the master pointer field the handle points at.
uint32_t& ValidityWord(Handle h)
{
    return *reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(h) - 8);
}

TEST(Handles, ZeroSizeIsValidAndNegativeSizeThrows)
{
    Handle empty = NewHandle(0);
    ASSERT_NE(empty, nullptr);
    EXPECT_NE(*empty, nullptr);
    EXPECT_EQ(GetHandleSize(empty), 0);
    DisposeHandle(empty);
    try {
        NewHandle(-1);
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "trying to alloc negative size handle");
    }
    EXPECT_THROW(NewPtr(-1), std::invalid_argument);
}

TEST(Handles, ClearFormsAreZeroFilledAndDataIsAligned)
{
    for (Handle h : {NewHandleClear(16), NewHandleSysClear(16)}) {
        EXPECT_EQ(GetHandleSize(h), 16);
        for (int i = 0; i < 16; i++)
            EXPECT_EQ((*h)[i], 0);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(*h) % 16, 0u);
        DisposeHandle(h);
    }
    OSErr error = -1;
    Handle temp = TempNewHandle(4, &error);
    EXPECT_EQ(error, noErr);
    DisposeHandle(temp);
}

TEST(Handles, NullHandlesAreIgnoredOnDispose)
{
    DisposeHandle(nullptr);
    Ptr nothing = nullptr;
    DisposeHandle(&nothing);
}

TEST(Handles, DamagedOrDeadValidityWordIsCaught)
{
    Handle h = NewHandle(8);
    uint32_t live = ValidityWord(h);
    ValidityWord(h) = 0x12345678;
    try {
        GetHandleSize(h);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "corrupted ptr/handle");
    }
    EXPECT_THROW(DisposeHandle(h), std::runtime_error);
    ValidityWord(h) = 0x44454144; // 'DEAD'
    try {
        DisposeHandle(h);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "ptr/handle double free?");
    }
    ValidityWord(h) = live;
    DisposeHandle(h);
}

TEST(Handles, PtrToHandCopiesAndRejectsBadArguments)
{
    Handle h = nullptr;
    EXPECT_EQ(PtrToHand("hello", &h, 5), noErr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetHandleSize(h), 5);
    EXPECT_EQ(std::memcmp(*h, "hello", 5), 0);
    DisposeHandle(h);

    EXPECT_EQ(PtrToHand(nullptr, &h, 0), noErr);
    EXPECT_EQ(GetHandleSize(h), 0);
    DisposeHandle(h);

    EXPECT_EQ(PtrToHand(nullptr, &h, 5), paramErr);
    EXPECT_EQ(PtrToHand("x", &h, -1), paramErr);
    EXPECT_EQ(PtrToHand("x", nullptr, 1), paramErr);
}

TEST(Handles, ResizingIsReportedAsMissing)
{
    Handle h = NewHandle(4);
    testing::internal::CaptureStderr();
    EXPECT_THROW(SetHandleSize(h, 8), std::runtime_error);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("SetHandleSize"), std::string::npos);
    EXPECT_EQ(GetHandleSize(h), 4);
    DisposeHandle(h);
}

} // namespace
