#include "3D/OGL_Support.h"
#include "Objects/ObjNode.h"
#include "System/Fades.h"
#include "System/FrameRate.h"

#include <gtest/gtest.h>

class FadeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitObjectPool();
        gFrameSeconds = 0.1f;
    }
    void TearDown() override
    {
        DisposeAllObjects();
        ResetFrameRate();
    }

    static int CountNodesInSlot(int slot)
    {
        int count = 0;
        for (ObjNode* node = gObjectListHead; node; node = node->NextInList)
            count += node->Slot == slot;
        return count;
    }
};

TEST_F(FadeTest, FadeInBrightensWithFrameTimeAndRemovesItselfWhenDone)
{
    ObjNode* fade = StartFade(kFadeFlags_In, 2.0f);
    EXPECT_FLOAT_EQ(gFadeLevel, 0.0f);
    EXPECT_EQ(fade->Slot, 7000);

    MoveObjects();
    EXPECT_NEAR(gFadeLevel, 0.2f, 1e-6f);

    for (int i = 0; i < 10; i++)
        MoveObjects();
    EXPECT_FLOAT_EQ(gFadeLevel, 1.0f);
    EXPECT_EQ(CountNodesInSlot(7000), 0);
}

TEST_F(FadeTest, FinishedFadeOutStaysFrozenHoldingTheScreenBlack)
{
    ObjNode* fade = StartFade(0, 5.0f);
    EXPECT_FLOAT_EQ(gFadeLevel, 1.0f);
    for (int i = 0; i < 5; i++)
        MoveObjects();
    EXPECT_FLOAT_EQ(gFadeLevel, 0.0f);
    EXPECT_EQ(CountNodesInSlot(7000), 1);
    EXPECT_TRUE(fade->StatusFlags & NODEBIT_FROZEN);
}

TEST_F(FadeTest, StartingAFadeWhileOneExistsReusesTheNodeAndThawsIt)
{
    ObjNode* first = StartFade(0, 10.0f);
    for (int i = 0; i < 3; i++)
        MoveObjects();
    ASSERT_TRUE(first->StatusFlags & NODEBIT_FROZEN);

    ObjNode* second = StartFade(kFadeFlags_In, 1.0f);
    EXPECT_EQ(second, first);
    EXPECT_EQ(CountNodesInSlot(7000), 1);
    EXPECT_FALSE(second->StatusFlags & NODEBIT_FROZEN);

    MoveObjects();
    EXPECT_GT(gFadeLevel, 0.0f);
}

TEST_F(FadeTest, FadeIsDrawnOnlyInTheChosenPane)
{
    gNumPanes = 2;
    EXPECT_EQ(StartFade(kFadeFlags_P1Only, 1)->PaneIndex, 0);
    EXPECT_EQ(StartFade(kFadeFlags_P2Only, 1)->PaneIndex, 1);
    ObjNode* overlay = StartFade(0, 1);
    EXPECT_EQ(overlay->PaneIndex, 2); // the full-window overlay pass
    EXPECT_TRUE(overlay->StatusFlags & NODEBIT_PANE_ONLY);
    gNumPanes = 1;
}
