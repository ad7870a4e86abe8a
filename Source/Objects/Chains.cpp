// Chains.cpp: multi-part objects (a body and its attachments) linked through ChainNext, and visibility.
//
// Every node of a chain has a strictly greater Slot than the node before it, so the parts are moved and
// drawn after the part they hang on. The walks below check that order as they go.
#include "Objects/ObjectsLocal.h"
#include "System/Alerts.h"

constexpr int kMaxChainLength = 32768; // a longer chain can only be a loop

ObjNode* GetChainTailNode(ObjNode* node)
{
    ObjNode* tail = node;
    while (tail->ChainNext) {
        if (!(tail->ChainNext->Slot > tail->Slot))
            FatalAssertion("GetChainTailNode", 1874, "node->Slot > pNode->Slot");
        tail = tail->ChainNext;
    }
    return tail;
}

void AppendNodeToChain(ObjNode* head, ObjNode* node)
{
    ObjNode* oldTail = GetChainTailNode(head);
    if (!(node->Slot > oldTail->Slot))
        FatalAssertion("AppendNodeToChain", 1889, "newTail->Slot > oldTail->Slot");
    oldTail->ChainNext = node;
    node->ChainRoot = head->ChainRoot ? head->ChainRoot : head;
}

int GetNodeChainLength(ObjNode* node)
{
    int length = 0;
    for (ObjNode* part = node; part; part = part->ChainNext) {
        if (++length > kMaxChainLength)
            ShowFatalAlert("Circular chain?");
    }
    return length;
}

ObjNode* GetNthChainedNode(ObjNode* head, int n, ObjNode** prev)
{
    ObjNode* before = nullptr;
    ObjNode* part = head;
    for (int i = 0; i < n && part; i++) {
        if (part->ChainNext && part->ChainNext->Slot < part->Slot)
            FatalAssertion("GetNthChainedNode", 1845,
                           "the game assumes that chained nodes are sorted after their parent");
        before = part;
        part = part->ChainNext;
    }
    if (prev)
        *prev = before;
    return part;
}

void DetachFromChain(ObjNode* node)
{
    for (ObjNode* part = node->ChainRoot; part; part = part->ChainNext) {
        if (part == node)
            continue;
        if (part->ChainNext == node)
            part->ChainNext = node->ChainNext;
        if (part->ChainRoot == node)
            part->ChainRoot = node->ChainNext;
    }
}

void HideChain(ObjNode* node)
{
    for (ObjNode* part = node; part; part = part->ChainNext)
        part->StatusFlags |= NODEBIT_INVISIBLE;
}

void ShowChain(ObjNode* node)
{
    for (ObjNode* part = node; part; part = part->ChainNext)
        part->StatusFlags &= ~NODEBIT_INVISIBLE;
}

void SetNodeVisible(ObjNode* node, bool visible)
{
    if (visible)
        node->StatusFlags &= ~NODEBIT_INVISIBLE;
    else
        node->StatusFlags |= NODEBIT_INVISIBLE;
}
