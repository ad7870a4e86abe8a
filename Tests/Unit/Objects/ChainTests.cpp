#include "ObjectTestSupport.h"
#include "Support/AlertCapture.h"

class Chains : public ObjectTest
{
};

TEST_F(Chains, AppendedNodesPointBackToTheChainHead)
{
    ObjNode* head = MakeNode(1);
    ObjNode* second = MakeNode(2);
    ObjNode* third = MakeNode(3);
    AppendNodeToChain(head, second);
    AppendNodeToChain(second, third); // appending through a later part still roots at the head
    EXPECT_EQ(head->ChainNext, second);
    EXPECT_EQ(second->ChainNext, third);
    EXPECT_EQ(head->ChainRoot, nullptr);
    EXPECT_EQ(second->ChainRoot, head);
    EXPECT_EQ(third->ChainRoot, head);
    EXPECT_EQ(GetChainTailNode(head), third);
    EXPECT_EQ(GetNodeChainLength(head), 3);
}

TEST_F(Chains, AppendingAPartThatWouldMoveBeforeTheTailIsFatal)
{
    ObjNode* head = MakeNode(5);
    ObjNode* equal = MakeNode(5);
    EXPECT_EQ(FatalAlertMessageOf([&] { AppendNodeToChain(head, equal); }),
              "AppendNodeToChain:1889: newTail->Slot > oldTail->Slot");
    EXPECT_EQ(head->ChainNext, nullptr);
}

TEST_F(Chains, TailSearchCatchesSlotsThatDoNotRise)
{
    ObjNode* head = MakeNode(5);
    ObjNode* lower = MakeNode(4);
    head->ChainNext = lower; // linked by hand, bypassing the append check
    EXPECT_EQ(FatalAlertMessageOf([&] { GetChainTailNode(head); }),
              "GetChainTailNode:1874: node->Slot > pNode->Slot");
    head->ChainNext = nullptr;
}

TEST_F(Chains, NthNodeStopsAtTheEndAndReportsTheNodeBefore)
{
    ObjNode* head = MakeNode(1);
    ObjNode* second = MakeNode(2);
    AppendNodeToChain(head, second);

    ObjNode* prev = second;
    EXPECT_EQ(GetNthChainedNode(head, 0, &prev), head);
    EXPECT_EQ(prev, nullptr);
    EXPECT_EQ(GetNthChainedNode(head, 1, &prev), second);
    EXPECT_EQ(prev, head);
    EXPECT_EQ(GetNthChainedNode(head, 2, &prev), nullptr);
    EXPECT_EQ(prev, second);
    EXPECT_EQ(GetNthChainedNode(head, 1, nullptr), second);
}

TEST_F(Chains, NthNodeRejectsOnlyALowerSlot)
{
    ObjNode* head = MakeNode(5);
    ObjNode* equal = MakeNode(5);
    ObjNode* lower = MakeNode(4);
    head->ChainNext = equal;
    EXPECT_EQ(GetNthChainedNode(head, 1, nullptr), equal);
    equal->ChainNext = lower;
    EXPECT_EQ(FatalAlertMessageOf([&] { GetNthChainedNode(head, 2, nullptr); }),
              "GetNthChainedNode:1845: the game assumes that chained nodes are sorted after their parent");
    head->ChainNext = nullptr;
    equal->ChainNext = nullptr;
}

TEST_F(Chains, CircularChainIsFatalInsteadOfHanging)
{
    ObjNode* a = MakeNode(1);
    ObjNode* b = MakeNode(2);
    a->ChainNext = b;
    b->ChainNext = a;
    EXPECT_EQ(FatalAlertMessageOf([&] { GetNodeChainLength(a); }), "Circular chain?");
    a->ChainNext = nullptr;
    b->ChainNext = nullptr;
}

TEST_F(Chains, DetachedMiddlePartIsSkippedByTheChain)
{
    ObjNode* head = MakeNode(1);
    ObjNode* middle = MakeNode(2);
    ObjNode* tail = MakeNode(3);
    AppendNodeToChain(head, middle);
    AppendNodeToChain(head, tail);
    DetachFromChain(middle);
    EXPECT_EQ(head->ChainNext, tail);
    EXPECT_EQ(tail->ChainRoot, head);
    EXPECT_EQ(GetNodeChainLength(head), 2);
    // Deleting the head now leaves the detached part alive.
    middle->ChainNext = nullptr;
    DisposeObject(head);
    EXPECT_NE(middle->CType, INVALID_NODE_FLAG);
    EXPECT_EQ(tail->CType, INVALID_NODE_FLAG);
}
