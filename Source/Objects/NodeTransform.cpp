// NodeTransform.cpp: the node's local-to-world matrix and the working position and velocity that move
// routines integrate on.
#include <cmath>

#include "Objects/ObjectsLocal.h"
#include "System/Random.h"

Point3D gWorkPos;
Vector3D gWorkVel;

constexpr float kGridCellSize = 1024.0f;

void UpdateGridCell(ObjNode* node)
{
    // Casting truncates toward zero, which is the rounding the segment tests expect.
    node->GridCell[0] = int32_t(node->Position.x / kGridCellSize);
    node->GridCell[1] = int32_t(node->Position.y / kGridCellSize);
    node->GridCell[2] = int32_t(node->Position.z / kGridCellSize);
}

// Product of three axis rotations, applied in the order given.
static void RotateInOrder(Matrix4x4* out, const Matrix4x4* first, const Matrix4x4* second,
                          const Matrix4x4* third)
{
    Matrix4x4 firstTwo;
    MatrixMultiply(first, second, &firstTwo);
    MatrixMultiply(&firstTwo, third, out);
}

// The rotation part of Transform. The order bits are tested in a fixed order, so a node with several
// set gets the first.
static void BuildNodeRotation(const ObjNode* node, Matrix4x4* rotation)
{
    uint32_t flags = node->StatusFlags;
    if (flags & NODEBIT_USE_ROT_MATRIX) {
        *rotation = node->RotMatrix;
        return;
    }
    if (!(flags & (NODEBIT_ROT_XZY | NODEBIT_ROT_YZX | NODEBIT_ROT_ZXY))) {
        MatrixRotateXYZ(rotation, node->Rotation.x, node->Rotation.y, node->Rotation.z);
        return;
    }
    Matrix4x4 aboutX, aboutY, aboutZ;
    MatrixRotateX(&aboutX, node->Rotation.x);
    MatrixRotateY(&aboutY, node->Rotation.y);
    MatrixRotateZ(&aboutZ, node->Rotation.z);
    if (flags & NODEBIT_ROT_XZY)
        RotateInOrder(rotation, &aboutX, &aboutZ, &aboutY);
    else if (flags & NODEBIT_ROT_YZX)
        RotateInOrder(rotation, &aboutY, &aboutZ, &aboutX);
    else
        RotateInOrder(rotation, &aboutZ, &aboutX, &aboutY);
}

void RebuildNodeTransform(ObjNode* node)
{
    if (node->CType == INVALID_NODE_FLAG)
        return;

    Matrix4x4 scale, rotation;
    MatrixScale(&scale, node->Scale.x, node->Scale.y, node->Scale.z);
    BuildNodeRotation(node, &rotation);
    rotation.value[12] = node->Position.x;
    rotation.value[13] = node->Position.y;
    rotation.value[14] = node->Position.z;
    MatrixMultiply(&scale, &rotation, &node->Transform);

    // Everything derived from the transform follows it.
    if (node->TransformObject)
        *MO_GetMatrixData(node->TransformObject) = node->Transform;
    node->WorldPointsValid = 0;
    UpdateGridCell(node);
}

void BeginNodeUpdate(ObjNode* node)
{
    gWorkPos = node->Position;
    gWorkVel = node->Velocity;
}

// Velocity's direction; normalised in double precision so slow nodes still get an exact unit vector.
static void SetMotionDir(ObjNode* node)
{
    double x = gWorkVel.x, y = gWorkVel.y, z = gWorkVel.z;
    if (std::fabs(x) <= kSmallLength && std::fabs(y) <= kSmallLength && std::fabs(z) <= kSmallLength) {
        node->MotionDir = {0.0f, 0.0f, 0.0f};
        return;
    }
    double length = std::sqrt(x * x + y * y + z * z);
    node->MotionDir = {float(x / length), float(y / length), float(z / length)};
}

void CommitNodeUpdate(ObjNode* node)
{
    if (node->CType == INVALID_NODE_FLAG)
        return;
    node->Position = gWorkPos;
    node->Velocity = gWorkVel;
    RebuildNodeTransform(node);
    SetMotionDir(node);
    if (node->HitBoxCount > 0)
        RefreshBoxFromPosition(node);
    MoveShadowNode(node);
}

void RandomizeSpin(ObjNode* node, float amount)
{
    node->SpinRate.x = RandomSigned() * amount;
    node->SpinRate.z = RandomSigned() * amount;
}
