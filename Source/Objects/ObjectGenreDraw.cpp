// ObjectGenreDraw.cpp: how DrawObjectList draws a node of each genre that has no DrawProc.
#include "Objects/ObjectsLocal.h"

#include "3D/OGL_Support.h"
#include "Interface/Overlay.h"
#include "Skeleton/Skeleton.h"
#include "System/Alerts.h"

void DrawSkeletonNode(ObjNode* node)
{
    DrawSkinnedMeshes(node);
}

void DrawDisplayGroupNode(ObjNode* node)
{
    if (node->BaseGroup)
        MO_DrawObject(node->BaseGroup);
}

// Draws obj in the 2D overlay shifted by the node's stereo offset. The overlay's material flags are put
// back afterwards: the next node only re-applies the render state that differs from this one's.
static void DrawInOverlay(const ObjNode* node, MetaObject* obj)
{
    uint32_t savedFlagsOverride = gMaterialFlagsOverride;
    OGL_PushState();
    SetOverlayProjection(node->StereoOffset, 1);
    MO_DrawObject(obj);
    OGL_PopState();
    gMaterialFlagsOverride = savedFlagsOverride;
}

void DrawSpriteNode(ObjNode* node)
{
    GAME_ASSERT(node->SpriteObject);
    SpriteRecord* sprite = MO_GetSpriteData(node->SpriteObject);
    sprite->position = node->Position;
    sprite->scaleX = node->Scale.x;
    sprite->scaleY = node->Scale.y;
    sprite->rotation = node->Rotation.y;
    DrawInOverlay(node, node->SpriteObject);
}

void DrawTextMeshNode(ObjNode* node)
{
    GAME_ASSERT(node->BaseGroup);
    DrawInOverlay(node, node->BaseGroup);
}

void DrawQuadMeshNode(ObjNode* node)
{
    if (node->BaseGroup)
        MO_DrawObject(node->BaseGroup);
}
