// VisibilityTests.cpp: frustum culling of bounding boxes and 2D segment crossing.

#include "3D/Math3D.h"

#include <cmath>

Matrix4x4 gWorldToClipMatrix = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

enum
{
    kClipRight = 0x1,
    kClipLeft = 0x2,
    kClipTop = 0x4,
    kClipBottom = 0x8,
    kClipNear = 0x10,
    kClipFar = 0x20,
};

static unsigned ClipBitsOfCorner(const float* v, float x, float y, float z)
{
    float clipX = v[0] * x + v[4] * y + v[8] * z + v[12];
    float clipY = v[1] * x + v[5] * y + v[9] * z + v[13];
    float clipZ = v[2] * x + v[6] * y + v[10] * z + v[14];
    float clipW = v[3] * x + v[7] * y + v[11] * z + v[15];

    // Sides are tested independently: behind the eye w is negative and a corner can be outside both.
    unsigned bits = 0;
    if (clipX > clipW)
        bits |= kClipRight;
    if (clipX < -clipW)
        bits |= kClipLeft;
    if (clipY > clipW)
        bits |= kClipTop;
    if (clipY < -clipW)
        bits |= kClipBottom;
    // The near side is tested against clip z = 0 rather than -w: it also rejects boxes sitting between
    // the eye and the near plane, and anything behind the eye.
    if (clipZ > clipW)
        bits |= kClipFar;
    else if (clipZ < 0.0f)
        bits |= kClipNear;
    return bits;
}

// A box is culled only when all eight corners lie outside the same side of the frustum; a box whose
// corners straddle several sides is kept, which is conservative but never drops a visible object.
bool IsBoxVisible(const BoundingBox* box, const Matrix4x4* localMatrix)
{
    // No known extent means nothing to cull by.
    if (box->isEmpty)
        return true;

    Matrix4x4 localToClip = gWorldToClipMatrix;
    if (localMatrix)
        MatrixMultiply(localMatrix, &gWorldToClipMatrix, &localToClip);
    const float* v = localToClip.value;

    const float xs[2] = {box->minX, box->maxX};
    const float ys[2] = {box->minY, box->maxY};
    const float zs[2] = {box->minZ, box->maxZ};
    unsigned common = ~0u;
    for (int corner = 0; corner < 8; corner++) {
        common &= ClipBitsOfCorner(v, xs[(corner >> 2) & 1], ys[(corner >> 1) & 1], zs[corner & 1]);
        if (common == 0)
            return true;
    }
    return false;
}

// Which side of a line a point lies on, as A*x + B*y + C truncated toward zero: values under one count
// as on the line, so segments that only touch (within rounding) still cross.
static int SideOfLine(float a, float b, float c, const Point2D* p)
{
    return (int)(a * p->x + b * p->y + c);
}

static bool SameStrictSide(int first, int second)
{
    return first != 0 && second != 0 && ((first > 0) == (second > 0));
}

static bool ExtentsOverlap(float a1, float a2, float b1, float b2)
{
    float aLow = std::fmin(a1, a2), aHigh = std::fmax(a1, a2);
    float bLow = std::fmin(b1, b2), bHigh = std::fmax(b1, b2);
    return aHigh >= bLow && bHigh >= aLow;
}

bool SegmentsIntersect2D(const Point2D* a1, const Point2D* a2, const Point2D* b1, const Point2D* b2,
                         float* outX, float* outY)
{
    if (!ExtentsOverlap(a1->x, a2->x, b1->x, b2->x) || !ExtentsOverlap(a1->y, a2->y, b1->y, b2->y))
        return false;

    float lineAX = a2->y - a1->y;
    float lineAY = a1->x - a2->x;
    float lineAC = a2->x * a1->y - a1->x * a2->y;
    if (SameStrictSide(SideOfLine(lineAX, lineAY, lineAC, b1), SideOfLine(lineAX, lineAY, lineAC, b2)))
        return false;

    float lineBX = b2->y - b1->y;
    float lineBY = b1->x - b2->x;
    float lineBC = b2->x * b1->y - b1->x * b2->y;
    if (SameStrictSide(SideOfLine(lineBX, lineBY, lineBC, a1), SideOfLine(lineBX, lineBY, lineBC, a2)))
        return false;

    // Parallel segments that passed the side tests lie on one line and overlap; a1 stands for the contact.
    float denominator = lineAX * lineBY - lineBX * lineAY;
    if (denominator == 0.0f) {
        *outX = a1->x;
        *outY = a1->y;
        return true;
    }

    // Rounded as whole-unit collision coordinates expect: half a unit away from zero.
    float offset = std::fabs(denominator) * 0.5f;
    float numeratorX = lineAY * lineBC - lineBY * lineAC;
    float numeratorY = lineBX * lineAC - lineAX * lineBC;
    *outX = (numeratorX < 0.0f ? numeratorX - offset : numeratorX + offset) / denominator;
    *outY = (numeratorY < 0.0f ? numeratorY - offset : numeratorY + offset) / denominator;
    return true;
}
