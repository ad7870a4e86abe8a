// DisplayGroups.cpp: nodes that show a model of a loaded model group.
#include "Objects/DisplayGroups.h"
#include "3D/OGL_Support.h"
#include "3D/TQ3D.h"
#include "Objects/BaseGroup.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"

// True when the group's file is loaded and holds model `type`.
static bool GroupHasModel(int group, int type)
{
    return group >= 0 && group < MAX_TQ3D_GROUPS && gLoadedModelFiles[group] && type >= 0 &&
           type < gNumObjectsInGroupList[group];
}

// Appends the node's model to its BaseGroup and takes the model's bounds.
static void AttachModel(ObjNode* node)
{
    MO_AppendToGroup(node->BaseGroup, gTQ3DModelList[node->ArtGroup][node->ArtIndex]);
    node->ModelBounds = gTQ3DModelBBoxes[node->ArtGroup][node->ArtIndex];
}

ObjNode* MakeNewDisplayGroupObject(ObjectDefinition* def)
{
    def->genre = DISPLAY_GROUP_GENRE;
    ObjNode* node = MakeNewObject(def);
    CreateBaseGroup(node);

    // An emptied slot keeps its old tables, so the slot itself is checked as well as the count.
    if (!GroupHasModel(def->artGroup, def->artIndex))
        ShowFatalAlert("MakeNewDisplayGroupObject: type > gNumObjectsInGroupList[]! group=%d type=%d",
                       def->artGroup, def->artIndex);
    AttachModel(node);
    node->BoundingRadius = gTQ3DModelRadii[node->ArtGroup][node->ArtIndex] * node->Scale.x;
    return node;
}

void ResetDisplayGroupObject(ObjNode* node)
{
    MO_DisposeObjectReference(node->BaseGroup);
    node->BaseGroup = nullptr;
    MO_DisposeObjectReference(node->TransformObject);
    node->TransformObject = nullptr;
    CreateBaseGroup(node);

    if (!GroupHasModel(node->ArtGroup, node->ArtIndex))
        ShowFatalAlert("ResetDisplayGroupObject: type > gNumObjectsInGroupList[]!");
    AttachModel(node);

    MO_FreeWorldMeshes(node->WorldGeometry);
    node->WorldPointsValid = 0;
}

void BoxFromRotatedModelBounds(ObjNode* node, float tweakXZ, float tweakY)
{
    // A skeleton's model is its type's reference model, loaded into the slot after the fixed groups.
    MetaObject* model;
    if (node->Genre == SKELETON_GENRE) {
        int slot = MODEL_GROUP_SKELETONBASE + node->ArtIndex;
        if (slot < MODEL_GROUP_SKELETONBASE || slot >= MAX_TQ3D_GROUPS || !gLoadedModelFiles[slot])
            ShowFatalAlert("BoxFromRotatedModelBounds: no model for skeleton type %d", node->ArtIndex);
        model = gLoadedModelFiles[slot]->root;
    } else {
        if (!GroupHasModel(node->ArtGroup, node->ArtIndex))
            ShowFatalAlert("BoxFromRotatedModelBounds: type > gNumObjectsInGroupList[]! group=%d type=%d",
                           node->ArtGroup, node->ArtIndex);
        model = gTQ3DModelList[node->ArtGroup][node->ArtIndex];
    }

    Matrix4x4 rotation;
    MatrixRotateXYZ(&rotation, node->Rotation.x, node->Rotation.y, node->Rotation.z);
    BoundingBox box;
    MO_CalcBoundingBox(model, &box, &rotation);

    float s = node->Scale.x;
    float a = s * tweakXZ;
    float top = (box.maxY - box.minY) * s * tweakY + s * box.minY; // tweakY keeps the base where it is
    SetSingleCollisionBox(node, top, s * box.minY, a * box.minX, a * box.maxX, a * box.maxZ, a * box.minZ);
}
