// BaseGroup.cpp: the render group of a drawable node.
#include "Objects/BaseGroup.h"
#include "3D/MetaObjects.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"

void CreateBaseGroup(ObjNode* node)
{
    MetaObject* group = MO_CreateNewObjectOfType(MO_TYPE_GROUP, 0, nullptr);
    if (!group)
        ShowFatalAlert("CreateBaseGroup: MO_CreateNewObjectOfType failed!");
    node->BaseGroup = group;

    // A zero scale would make the transform singular and the model vanish into a point.
    if (node->Scale.x == 0 || node->Scale.y == 0 || node->Scale.z == 0)
        ShowFatalAlert("CreateBaseGroup: A scale component == 0");

    Matrix4x4 scale, rotation, translation, scaledAndRotated;
    MatrixScale(&scale, node->Scale.x, node->Scale.y, node->Scale.z);
    MatrixRotateXYZ(&rotation, node->Rotation.x, node->Rotation.y, node->Rotation.z);
    MatrixTranslate(&translation, node->Position.x, node->Position.y, node->Position.z);
    MatrixMultiply(&scale, &rotation, &scaledAndRotated);
    MatrixMultiply(&scaledAndRotated, &translation, &node->Transform);

    // The node keeps the creator's reference as TransformObject; the group takes its own.
    MetaObject* transform = MO_CreateNewObjectOfType(MO_TYPE_MATRIX, 0, &node->Transform);
    if (!transform)
        ShowFatalAlert("CreateBaseGroup: MO_CreateNewObjectOfType/Matrix Failed!");
    MO_AttachToGroupStart(group, transform);
    node->TransformObject = transform;
}
