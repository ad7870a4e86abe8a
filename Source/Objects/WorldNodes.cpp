// WorldNodes.cpp: the world nodes (slots below SLOT_OF_FIRST_NON_WORLD) in list order, as an array.
//
// Collision, shadow and picking scans test every world node several times a frame. Walking the list,
// each node's cache miss has to wait for the node before it to arrive; from an array a scan can ask for
// nodes a few places ahead while it tests the current one. The array is rebuilt only when a world node
// has been linked or unlinked since it was last built, which is rare within a frame.
#include <vector>

#include "Objects/ObjectsLocal.h"

static std::vector<ObjNode*> gWorldNodes;
static bool gWorldNodesStale = true;

void NoteListChangedAt(const ObjNode* node)
{
    if (!node || node->Slot < SLOT_OF_FIRST_NON_WORLD)
        gWorldNodesStale = true;
}

ObjNode* const* WorldNodesInListOrder(int* count)
{
    if (gWorldNodesStale) {
        gWorldNodes.clear();
        for (ObjNode* node = gObjectListHead; node && node->Slot < SLOT_OF_FIRST_NON_WORLD;
             node = node->NextInList)
            gWorldNodes.push_back(node);
        gWorldNodesStale = false;
    }
    *count = int(gWorldNodes.size());
    return gWorldNodes.data();
}
