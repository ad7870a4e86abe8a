// Vectors.cpp: lengths, normalisation, products, distances and comparisons of points and vectors.
//
// Every normalisation treats a vector no longer than kSmallLength as having no direction and yields zero,
// so callers can test for "no direction" instead of dividing by a near-zero length.

#include "3D/Math3D.h"

#include <cmath>

static float SquareRoot(float value)
{
    return (float)std::sqrt((double)value);
}

static float ClampUnit(float value)
{
    if (value > 1.0f)
        return 1.0f;
    if (value < -1.0f)
        return -1.0f;
    return value;
}

float VectorLength(const Vector3D* v)
{
    return SquareRoot(v->x * v->x + v->y * v->y + v->z * v->z);
}

void Normalize3(const Vector3D* v, Vector3D* out)
{
    float length = VectorLength(v);
    if (length <= kSmallLength) {
        *out = {0.0f, 0.0f, 0.0f};
        return;
    }
    *out = {v->x / length, v->y / length, v->z / length};
}

void Normalize3XYZ(float x, float y, float z, Vector3D* out)
{
    if (std::fabs(x) <= kSmallLength && std::fabs(y) <= kSmallLength && std::fabs(z) <= kSmallLength) {
        *out = {0.0f, 0.0f, 0.0f};
        return;
    }
    float length = SquareRoot(x * x + y * y + z * z);
    *out = {x / length, y / length, z / length};
}

void Normalize2(const Vector2D* v, Vector2D* out)
{
    float length = SquareRoot(v->x * v->x + v->y * v->y);
    if (length <= kSmallLength) {
        *out = {0.0f, 0.0f};
        return;
    }
    *out = {v->x / length, v->y / length};
}

void CrossNormalized(const Vector3D* a, const Vector3D* b, Vector3D* out)
{
    Vector3D cross = {a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x};
    Normalize3(&cross, out);
}

float DotClamped(const Vector3D* a, const Vector3D* b)
{
    return ClampUnit(a->x * b->x + a->y * b->y + a->z * b->z);
}

float Dot2Clamped(const Vector2D* a, const Vector2D* b)
{
    return ClampUnit(a->x * b->x + a->y * b->y);
}

float Cross2(const Vector2D* a, const Vector2D* b)
{
    return a->x * b->y - a->y * b->x;
}

// Only the upper end is clamped; a negative t extrapolates away from b.
void LerpNormalized(const Vector3D* a, const Vector3D* b, float t, Vector3D* out)
{
    if (t > 1.0f)
        t = 1.0f;
    float keep = 1.0f - t;
    Vector3D blend = {keep * a->x + t * b->x, keep * a->y + t * b->y, keep * a->z + t * b->z};
    Normalize3(&blend, out);
}

float Distance2D(const Point2D* a, const Point2D* b)
{
    float dx = b->x - a->x, dy = b->y - a->y;
    return SquareRoot(dx * dx + dy * dy);
}

float Distance3D(const Point3D* a, const Point3D* b)
{
    float dx = b->x - a->x, dy = b->y - a->y, dz = b->z - a->z;
    return SquareRoot(dx * dx + dy * dy + dz * dz);
}

static bool PointsWithin(const Point3D* a, const Point3D* b, float tolerance)
{
    return std::fabs(a->x - b->x) < tolerance && std::fabs(a->y - b->y) < tolerance &&
           std::fabs(a->z - b->z) < tolerance;
}

bool PointsEqual(const Point3D* a, const Point3D* b)
{
    return PointsWithin(a, b, kSmallLength);
}

bool PointsNearlyEqual(const Point3D* a, const Point3D* b)
{
    return PointsWithin(a, b, kNearlyEqualTolerance);
}

void Reflect2D(const Vector2D* v, const Vector2D* n, Vector2D* out)
{
    float length = SquareRoot(v->x * v->x + v->y * v->y);
    Vector2D unit = {0.0f, 0.0f};
    if (length > kSmallLength)
        unit = {v->x / length, v->y / length};

    float twiceDot = 2.0f * (n->x * unit.x + n->y * unit.y);
    Vector2D bounced = {unit.x - twiceDot * n->x, unit.y - twiceDot * n->y};
    Normalize2(&bounced, &bounced);
    *out = {bounced.x * length, bounced.y * length};
}

void PlaneFromTriangle(const Point3D triangle[3], PlaneEquation* out)
{
    const Point3D& p0 = triangle[0];
    const Point3D& p1 = triangle[1];
    const Point3D& p2 = triangle[2];
    Vector3D edgeA = {p2.x - p1.x, p2.y - p1.y, p2.z - p1.z};
    Vector3D edgeB = {p0.x - p1.x, p0.y - p1.y, p0.z - p1.z};
    Vector3D normal = {edgeA.y * edgeB.z - edgeA.z * edgeB.y, edgeA.z * edgeB.x - edgeA.x * edgeB.z,
                       edgeA.x * edgeB.y - edgeA.y * edgeB.x};

    // A sliver has no trustworthy normal; keeping the caller's previous plane is safer than a zero one.
    float length = VectorLength(&normal);
    if (length < kSmallLength)
        return;

    normal = {normal.x / length, normal.y / length, normal.z / length};
    out->normal = normal;
    out->constant = -(normal.x * p2.x + normal.y * p2.y + normal.z * p2.z);
}
