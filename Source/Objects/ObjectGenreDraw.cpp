// ObjectGenreDraw.cpp: how DrawObjectList draws a node of each genre that has no DrawProc.
#include "Objects/ObjectsLocal.h"

// Skinned meshes arrive with skeletal animation; until then a skeleton node draws nothing.
void DrawSkeletonNode(ObjNode*) {}

void DrawDisplayGroupNode(ObjNode* node)
{
    if (node->BaseGroup)
        MO_DrawObject(node->BaseGroup);
}

// Sprites arrive with the sprite groups and the overlay projection; until then nothing is drawn.
void DrawSpriteNode(ObjNode*) {}

// Text meshes arrive with the font atlases and the overlay projection; until then nothing is drawn.
void DrawTextMeshNode(ObjNode*) {}

void DrawQuadMeshNode(ObjNode* node)
{
    if (node->BaseGroup)
        MO_DrawObject(node->BaseGroup);
}
