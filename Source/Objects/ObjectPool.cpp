// ObjectPool.cpp: node storage, creation and the slot-ordered list.
//
// Nodes come from a static pool so that play does not allocate; when the pool is exhausted the heap takes
// over, so creation never fails. Every node starts as a copy of the template node, which holds the
// defaults that are not zero.
#include <cstring>

#include "Objects/ObjectsLocal.h"
#include "System/Memory.h"
#include "System/Random.h"

ObjNode* gObjectListHead = nullptr;
int gLiveNodeCount = 0;
int gPeakNodeCount = 0;
ObjNode* gLastCreatedNode = nullptr;

static ObjNode gNodePool[OBJ_POOL_SIZE];
static ObjNode gTemplateNode;

// No pool entry below this index is free, so the search for the first free entry can start here.
static int gFirstMaybeFreeIndex = 0;

static void BuildTemplateNode()
{
    ObjNode* node = &gTemplateNode;
    memset(node, 0, sizeof(*node));
    node->BoundingRadius = DEFAULT_BOUNDING_RADIUS;
    node->ModelBounds.isEmpty = true;
    node->SkinnedBounds.isEmpty = true;
    node->Tint = {1.0f, 1.0f, 1.0f, 1.0f};
    node->LoopChannel = -1;
    node->ExtraChannel = -1;
    for (int16_t& sparkle : node->SparkleSlots)
        sparkle = -1;
    node->SplineObjectIndex = -1;
    node->ContrailIndices[0] = -1;
    node->ContrailIndices[1] = -1;
    node->VertexArrayPool = DEFAULT_VERTEX_ARRAY_POOL;
}

void InitObjectManager()
{
    InitObjectPool();
}

void InitObjectPool()
{
    ForgetDeletedNodes();
    for (ObjNode& entry : gNodePool)
        entry.PoolInUse = 0;
    gFirstMaybeFreeIndex = 0;
    BuildTemplateNode();
    gObjectListHead = nullptr;
    NoteListChangedAt(nullptr);
    gLiveNodeCount = 0;
}

// The first free pool entry, or a fresh heap node when all are taken.
static ObjNode* AllocateNode(int16_t* poolIndex)
{
    for (int i = gFirstMaybeFreeIndex; i < OBJ_POOL_SIZE; i++) {
        if (!gNodePool[i].PoolInUse) {
            gFirstMaybeFreeIndex = i + 1;
            *poolIndex = int16_t(i);
            return &gNodePool[i];
        }
    }
    gFirstMaybeFreeIndex = OBJ_POOL_SIZE;
    *poolIndex = -1;
    return static_cast<ObjNode*>(AllocPtrClear(sizeof(ObjNode)));
}

void FreeNodeMemory(ObjNode* node)
{
    if (node->PoolIndex < 0) {
        SafeDisposePtr(node);
        return;
    }
    node->PoolInUse = 0;
    if (node->PoolIndex < gFirstMaybeFreeIndex)
        gFirstMaybeFreeIndex = node->PoolIndex;
}

// A component of exactly 0 would make the transform singular.
static float NonZeroScale(float scale)
{
    return scale == 0.0f ? 0.0001f : scale;
}

ObjNode* MakeNewObject(const ObjectDefinition* def)
{
    // Storage: pool first, heap when the pool is full.
    int16_t poolIndex;
    ObjNode* node = AllocateNode(&poolIndex);

    // Defaults, then what the definition says.
    *node = gTemplateNode;
    node->PoolIndex = poolIndex;
    node->PoolInUse = 1;
    node->Stamp = RandomU32();
    node->Slot = uint16_t(def->slot);
    node->ArtIndex = def->artIndex;
    node->ArtGroup = def->artGroup;
    node->MoveProc = def->moveProc;
    node->DrawProc = def->drawProc;
    if (def->statusFlags & NODEBIT_SPLINE_DRIVEN)
        node->SplineMoveProc = def->moveProc;
    node->Genre = def->genre;
    node->Position = def->position;
    node->OldPosition = def->position;
    node->InitPosition = def->position;
    node->StatusFlags = def->statusFlags | NODEBIT_UNLINKED; // not in the list until linked below
    UpdateGridCell(node);
    node->Rotation.y = def->rotationY;
    float scale = NonZeroScale(def->scale);
    node->Scale = {scale, scale, scale};

    // Into the list at its slot.
    LinkNodeBySlot(node);

    // Accounting.
    gLastCreatedNode = node;
    gLiveNodeCount++;
    if (gLiveNodeCount > gPeakNodeCount)
        gPeakNodeCount = gLiveNodeCount;
    return node;
}

// ---------------------------------------------------------------------------------------------------------
// The list
// ---------------------------------------------------------------------------------------------------------

void LinkNodeBySlot(ObjNode* node)
{
    if (!gObjectListHead || node->Slot < gObjectListHead->Slot) {
        node->PrevInList = nullptr;
        node->NextInList = gObjectListHead;
        if (gObjectListHead)
            gObjectListHead->PrevInList = node;
        gObjectListHead = node;
    } else {
        // After every node of lower or equal slot, so equal slots keep their creation order.
        ObjNode* before = gObjectListHead;
        while (before->NextInList && before->NextInList->Slot <= node->Slot)
            before = before->NextInList;
        node->PrevInList = before;
        node->NextInList = before->NextInList;
        if (before->NextInList)
            before->NextInList->PrevInList = node;
        before->NextInList = node;
    }
    node->StatusFlags &= ~NODEBIT_UNLINKED;
    NoteListChangedAt(node);

    // A node that lands between the node being moved and the one the move pass visits next would be
    // skipped this frame; it belongs after the moving node, so the pass must visit it next.
    if (gMovingNode && node->NextInList == gMoveNextNode && node->Slot >= gMovingNode->Slot)
        gMoveNextNode = node;
}

void UnlinkNodeFromList(ObjNode* node)
{
    if (node == gMoveNextNode)
        gMoveNextNode = node->NextInList;

    if (node->PrevInList)
        node->PrevInList->NextInList = node->NextInList;
    else
        gObjectListHead = node->NextInList;
    if (node->NextInList)
        node->NextInList->PrevInList = node->PrevInList;

    // The node keeps its own links: a pass that is standing on it (a draw routine deleting its own node)
    // can still step on to the node that followed it.
    node->StatusFlags |= NODEBIT_UNLINKED;
    NoteListChangedAt(node);
}

void UnlinkObject(ObjNode* node, bool recursive)
{
    if (!node)
        return;
    if (!(node->StatusFlags & NODEBIT_UNLINKED))
        UnlinkNodeFromList(node);
    if (!recursive)
        return;
    UnlinkObject(node->ChainNext, true);
    UnlinkObject(node->Shadow, true);
}

void RelinkObject(ObjNode* node, bool recursive)
{
    if (!node)
        return;
    // A deleted node sits in the purge list and must never come back.
    if ((node->StatusFlags & NODEBIT_UNLINKED) && node->CType != INVALID_NODE_FLAG)
        LinkNodeBySlot(node);
    if (!recursive)
        return;
    RelinkObject(node->ChainNext, true);
    RelinkObject(node->Shadow, true);
}
