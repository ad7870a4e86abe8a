// ObjectMove.cpp: the per-frame move pass.
//
// Move routines may create and delete nodes while the pass runs. The pass remembers the node it will
// visit next, and unlinking or linking a node next to the moving one keeps that pointer right, so a
// deleted node is never visited and a node created after the moving one is moved in the same frame.
#include "Objects/ObjectsLocal.h"
#include "System/Alerts.h"
#include "System/Pause.h"

ObjNode* gMovingNode = nullptr;
ObjNode* gMoveNextNode = nullptr;

static void MoveOneNode(ObjNode* node)
{
    // While paused only the nodes of the pause screen itself run.
    if (gPaused && !(node->StatusFlags & NODEBIT_RUNS_WHEN_PAUSED))
        return;

    // The pose is advanced first so the move routine reads this frame's joints.
    if (node->Skeleton)
        AdvanceNodeAnimation(node);

    // Frozen nodes keep still; spline-driven ones are moved by the spline system instead.
    if (!(node->StatusFlags & (NODEBIT_FROZEN | NODEBIT_SPLINE_DRIVEN)) && node->MoveProc) {
        StoreOldBoxes(node); // collision compares the boxes after the move with these
        node->MoveProc(node);
    }

    // The skin follows where the routine left the node; the routine may have deleted it or its skeleton.
    if (node->CType != INVALID_NODE_FLAG && node->Skeleton)
        SkinNodeGeometry(node);
}

void MoveObjects()
{
    for (ObjNode* node = gObjectListHead; node; node = gMoveNextNode) {
        // A deleted node still in the list means the list is corrupt.
        if (node->CType == INVALID_NODE_FLAG)
            ShowFatalAlert("MoveObjects: CType == INVALID_NODE_FLAG");
        gMovingNode = node;
        gMoveNextNode = node->NextInList;
        MoveOneNode(node);
    }
    gMovingNode = nullptr;
    gMoveNextNode = nullptr;

    // Nothing holds a pointer to this frame's deleted nodes any more.
    PurgeDeletedNodes();
}
