// ObjectDispose.cpp: deleting nodes.
//
// A deleted node is unlinked at once but its memory is only reused after the frame's move pass (the
// purge), so routines that still hold the pointer can see CType == INVALID_NODE_FLAG instead of a reused
// record. At most MAX_PENDING_PURGES deletions are held; the next one purges at once.
#include "Objects/ObjectsLocal.h"
#include "System/Memory.h"

static ObjNode* gDeletedNodes[MAX_PENDING_PURGES];
static int gNumDeletedNodes = 0;

static void ReleaseMetaObject(MetaObject** object)
{
    if (*object) {
        MO_DisposeObjectReference(*object);
        *object = nullptr;
    }
}

static void HoldForPurge(ObjNode* node)
{
    gDeletedNodes[gNumDeletedNodes++] = node;
    if (gNumDeletedNodes >= MAX_PENDING_PURGES)
        PurgeDeletedNodes();
}

void DisposeObject(ObjNode* node)
{
    if (!node || node->CType == INVALID_NODE_FLAG)
        return;

    // 1. The node's own clean-up runs while everything it may look at still exists.
    if (node->DestroyProc)
        node->DestroyProc(node);

    // 2. Attachments, the shadow and the twitch driver (which reads its puppet every frame) go with it.
    DisposeObject(node->ChainNext);
    DisposeObject(node->Shadow);
    DisposeObject(node->TwitchDriver);

    // 3. What the genre owns.
    if (node->Genre == SKELETON_GENRE && node->Skeleton) {
        FreeNodeSkeleton(node);
        node->Skeleton = nullptr;
    } else if (node->Genre == SPRITE_GENRE) {
        ReleaseMetaObject(&node->SpriteObject);
    }

    // 4. Effects and sound the node owns.
    for (int16_t& sparkle : node->SparkleSlots) {
        if (sparkle != -1) {
            ReleaseNodeSparkle(sparkle);
            sparkle = -1;
        }
    }
    for (int16_t& contrail : node->ContrailIndices) {
        if (contrail != -1) {
            ReleaseNodeContrail(contrail);
            contrail = -1;
        }
    }
    StopNodeLoopSound(node);

    // 5. Render-graph references and the picking cache.
    ReleaseMetaObject(&node->BaseGroup);
    ReleaseMetaObject(&node->TransformObject);
    MO_FreeWorldMeshes(node->WorldGeometry);
    node->WorldPointsValid = 0;

    // 6. Out of the list (the move pass steps past it if it was next).
    if (!(node->StatusFlags & NODEBIT_UNLINKED))
        UnlinkNodeFromList(node);

    // 7. The level items it came from may make it again.
    if (node->TerrainItem)
        ReleaseTerrainItem(node);
    if (node->StatusFlags & NODEBIT_SPLINE_DRIVEN)
        RemoveNodeFromSplineList(node);

    // 8. Marked deleted; the memory stays valid until the purge.
    node->CType = INVALID_NODE_FLAG;
    node->Stamp = 0;
    HoldForPurge(node);
}

void PurgeDeletedNodes()
{
    int kept = 0;
    for (int i = 0; i < gNumDeletedNodes; i++) {
        ObjNode* node = gDeletedNodes[i];
        // A purge forced by a full list during the move pass must not free the node being moved: the
        // pass reads it again after its move routine returns.
        if (node == gMovingNode) {
            gDeletedNodes[kept++] = node;
            continue;
        }
        FreeNodeMemory(node);
        gLiveNodeCount--;
    }
    gNumDeletedNodes = kept;
}

void ForgetDeletedNodes()
{
    // Pool entries are about to be marked free anyway; only heap nodes hold memory of their own.
    for (int i = 0; i < gNumDeletedNodes; i++) {
        if (gDeletedNodes[i]->PoolIndex < 0)
            SafeDisposePtr(gDeletedNodes[i]);
    }
    gNumDeletedNodes = 0;
}

void DisposeAllObjects()
{
    while (gObjectListHead)
        DisposeObject(gObjectListHead);
    PurgeDeletedNodes();
}
