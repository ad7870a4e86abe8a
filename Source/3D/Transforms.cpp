// Transforms.cpp: taking points and vectors through matrices, and screen points back into the world.
//
// Every routine reads its whole input before writing, so out may be the same record as the input.

#include "3D/Math3D.h"

static void TransformOne(const Point3D* p, const float* v, Point3D* out)
{
    float x = p->x, y = p->y, z = p->z;
    out->x = v[0] * x + v[4] * y + v[8] * z + v[12];
    out->y = v[1] * x + v[5] * y + v[9] * z + v[13];
    out->z = v[2] * x + v[6] * y + v[10] * z + v[14];
}

void TransformPoint(const Point3D* p, const Matrix4x4* m, Point3D* out)
{
    TransformOne(p, m->value, out);
}

void TransformPointProjective(const Point3D* p, const Matrix4x4* m, Point3D* out)
{
    const float* v = m->value;
    float x = p->x, y = p->y, z = p->z;
    float w = v[3] * x + v[7] * y + v[11] * z + v[15];
    TransformOne(p, v, out);
    // A point on the eye plane has no projection; leaving it undivided keeps infinities out of the
    // callers' arithmetic.
    if (w != 0.0f) {
        float inverseW = 1.0f / w;
        out->x *= inverseW;
        out->y *= inverseW;
        out->z *= inverseW;
    }
}

// Skinning and picking push thousands of points a frame through here, so the loop is unrolled by four.
void TransformPoints(const Point3D* in, const Matrix4x4* m, Point3D* out, int count)
{
    const float* v = m->value;
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        TransformOne(&in[i + 0], v, &out[i + 0]);
        TransformOne(&in[i + 1], v, &out[i + 1]);
        TransformOne(&in[i + 2], v, &out[i + 2]);
        TransformOne(&in[i + 3], v, &out[i + 3]);
    }
    for (; i < count; i++)
        TransformOne(&in[i], v, &out[i]);
}

void TransformVector(const Vector3D* v, const Matrix4x4* m, Vector3D* out)
{
    const float* e = m->value;
    float x = v->x, y = v->y, z = v->z;
    Vector3D turned = {e[0] * x + e[4] * y + e[8] * z, e[1] * x + e[5] * y + e[9] * z,
                       e[2] * x + e[6] * y + e[10] * z};
    Normalize3(&turned, out);
}

void TransformPoints2D(const Point2D* in, const Matrix3x3* m, Point2D* out, int count)
{
    const float* v = m->value;
    for (int i = 0; i < count; i++) {
        float x = in[i].x, y = in[i].y;
        out[i].x = v[0] * x + v[3] * y + v[6];
        out[i].y = v[1] * x + v[4] * y + v[7];
    }
}

// Screen y is not flipped here: callers pass y in the same direction as their viewport transform.
void Unproject(const Point3D* screen, const Matrix4x4* first, const Matrix4x4* second,
               const Point2D* viewportOrigin, const Vector2D* viewportSize, Point3D* out)
{
    Matrix4x4 inverse;
    MatrixMultiply(first, second, &inverse);
    MatrixInvert(&inverse, &inverse);

    Point3D device = {(screen->x - viewportOrigin->x) / viewportSize->x * 2.0f - 1.0f,
                      (screen->y - viewportOrigin->y) / viewportSize->y * 2.0f - 1.0f,
                      screen->z * 2.0f - 1.0f};
    TransformPointProjective(&device, &inverse, out);
}
