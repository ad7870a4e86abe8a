// Matrices.cpp: building, multiplying and inverting 4x4 matrices.
//
// Storage is column-major: element (row r, column c) is value[c * 4 + r], so value[12..14] is the
// translation and a point transforms as x' = v0*x + v4*y + v8*z + v12.

#include "3D/Math3D.h"

#include <cmath>
#include <cstring>

static float Sine(float angle)
{
    return (float)std::sin((double)angle);
}

static float Cosine(float angle)
{
    return (float)std::cos((double)angle);
}

static Vector3D Cross(const Vector3D& a, const Vector3D& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

static float Dot(const Vector3D& a, const Vector3D& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

static Vector3D Difference(const Point3D* a, const Point3D* b)
{
    return {a->x - b->x, a->y - b->y, a->z - b->z};
}

static void SetColumn(Matrix4x4* m, int column, const Vector3D& v)
{
    m->value[column * 4 + 0] = v.x;
    m->value[column * 4 + 1] = v.y;
    m->value[column * 4 + 2] = v.z;
}

static void ClearMatrix(Matrix4x4* m)
{
    std::memset(m->value, 0, sizeof(m->value));
}

void MatrixIdentity(Matrix4x4* m)
{
    ClearMatrix(m);
    m->value[0] = m->value[5] = m->value[10] = m->value[15] = 1.0f;
}

void MatrixTranslate(Matrix4x4* m, float x, float y, float z)
{
    MatrixIdentity(m);
    m->value[12] = x;
    m->value[13] = y;
    m->value[14] = z;
}

void MatrixScale(Matrix4x4* m, float sx, float sy, float sz)
{
    ClearMatrix(m);
    m->value[0] = sx;
    m->value[5] = sy;
    m->value[10] = sz;
    m->value[15] = 1.0f;
}

void MatrixRotateX(Matrix4x4* m, float angle)
{
    float s = Sine(angle), c = Cosine(angle);
    MatrixIdentity(m);
    m->value[5] = c;
    m->value[6] = s;
    m->value[9] = -s;
    m->value[10] = c;
}

void MatrixRotateY(Matrix4x4* m, float angle)
{
    float s = Sine(angle), c = Cosine(angle);
    MatrixIdentity(m);
    m->value[0] = c;
    m->value[2] = -s;
    m->value[8] = s;
    m->value[10] = c;
}

void MatrixRotateZ(Matrix4x4* m, float angle)
{
    float s = Sine(angle), c = Cosine(angle);
    MatrixIdentity(m);
    m->value[0] = c;
    m->value[1] = s;
    m->value[4] = -s;
    m->value[5] = c;
}

// Written out rather than multiplied: every object builds one of these per frame.
void MatrixRotateXYZ(Matrix4x4* m, float rx, float ry, float rz)
{
    float sx = Sine(rx), cx = Cosine(rx);
    float sy = Sine(ry), cy = Cosine(ry);
    float sz = Sine(rz), cz = Cosine(rz);

    ClearMatrix(m);
    m->value[0] = cz * cy;
    m->value[1] = cy * sz;
    m->value[2] = -sy;
    m->value[4] = -sz * cx + sy * sx * cz;
    m->value[5] = cz * cx + sy * sx * sz;
    m->value[6] = cy * sx;
    m->value[8] = sx * sz + cx * sy * cz;
    m->value[9] = -sx * cz + cx * sy * sz;
    m->value[10] = cy * cx;
    m->value[15] = 1.0f;
}

void MatrixRotateAxis(Matrix4x4* m, const Vector3D* axis, float angle)
{
    float x = axis->x, y = axis->y, z = axis->z;
    float c = Cosine(angle), s = Sine(angle), t = 1.0f - c;

    ClearMatrix(m);
    m->value[0] = x * x * t + c;
    m->value[1] = x * y * t + z * s;
    m->value[2] = x * z * t - y * s;
    m->value[4] = x * y * t - z * s;
    m->value[5] = y * y * t + c;
    m->value[6] = y * z * t + x * s;
    m->value[8] = x * z * t + y * s;
    m->value[9] = y * z * t - x * s;
    m->value[10] = z * z * t + c;
    m->value[15] = 1.0f;
}

void MatrixRotateAboutPoint(Matrix4x4* m, const Point3D* pivot, float rx, float ry, float rz)
{
    Matrix4x4 work;
    MatrixTranslate(m, -pivot->x, -pivot->y, -pivot->z);
    MatrixRotateXYZ(&work, rx, ry, rz);
    MatrixMultiply(m, &work, m);
    MatrixTranslate(&work, pivot->x, pivot->y, pivot->z);
    MatrixMultiply(m, &work, m);
}

void MatrixLookAtView(Matrix4x4* m, const Point3D* from, const Point3D* to, const Vector3D* up)
{
    Vector3D eye = {from->x, from->y, from->z};
    Vector3D forward = Difference(to, from), side;
    Normalize3(&forward, &forward);
    CrossNormalized(&forward, up, &side);
    Vector3D trueUp = Cross(side, forward);

    ClearMatrix(m);
    m->value[0] = side.x;
    m->value[4] = side.y;
    m->value[8] = side.z;
    m->value[1] = trueUp.x;
    m->value[5] = trueUp.y;
    m->value[9] = trueUp.z;
    m->value[2] = -forward.x;
    m->value[6] = -forward.y;
    m->value[10] = -forward.z;
    m->value[12] = -Dot(side, eye);
    m->value[13] = -Dot(trueUp, eye);
    m->value[14] = Dot(forward, eye);
    m->value[15] = 1.0f;
}

void MatrixPerspective(Matrix4x4* m, float fovY, float aspect, float nearZ, float farZ)
{
    float k = (float)(1.0 / std::tan((double)fovY * 0.5));

    ClearMatrix(m);
    m->value[0] = k / aspect;
    m->value[5] = k;
    m->value[10] = (nearZ + farZ) / (nearZ - farZ);
    m->value[11] = -1.0f;
    m->value[14] = 2.0f * farZ * nearZ / (nearZ - farZ);
}

void MatrixPaneViewport(Matrix4x4* m, int paneWidth, int paneHeight)
{
    float halfWidth = (float)paneWidth * 0.5f;
    float halfHeight = (float)paneHeight * 0.5f;

    ClearMatrix(m);
    m->value[0] = halfWidth;
    m->value[12] = halfWidth;
    m->value[5] = -halfHeight;
    m->value[13] = halfHeight;
    m->value[10] = 1.0f;
    m->value[15] = 1.0f;
}

void MatrixOrientAlong(Matrix4x4* m, const Vector3D* direction)
{
    Vector3D side = {-direction->z, 0.0f, direction->x};
    Normalize3(&side, &side);
    // Straight up or down has no horizontal part to derive a side from; any horizontal side keeps
    // the matrix a rotation instead of collapsing the model onto a line.
    if (side.x == 0.0f && side.z == 0.0f)
        side = {1.0f, 0.0f, 0.0f};
    Vector3D localUp;
    CrossNormalized(&side, direction, &localUp);

    ClearMatrix(m);
    SetColumn(m, 0, side);
    SetColumn(m, 1, localUp);
    SetColumn(m, 2, {-direction->x, -direction->y, -direction->z});
    m->value[15] = 1.0f;
}

void MatrixOrientToward(Matrix4x4* m, const Vector3D* up, const Point3D* from, const Point3D* to)
{
    Vector3D back = Difference(from, to), side, localUp;
    Normalize3(&back, &back);
    CrossNormalized(up, &back, &side);
    CrossNormalized(&back, &side, &localUp);

    ClearMatrix(m);
    SetColumn(m, 0, side);
    SetColumn(m, 1, localUp);
    SetColumn(m, 2, back);
    m->value[12] = from->x;
    m->value[13] = from->y;
    m->value[14] = from->z;
    m->value[15] = 1.0f;
}

void MatrixAlignToNormal(Matrix4x4* m, const Vector3D* normal, const Point3D* p1, const Point3D* p2)
{
    Vector3D forward = Difference(p1, p2), side, localUp;
    Normalize3(&forward, &forward);
    CrossNormalized(normal, &forward, &side);
    CrossNormalized(&forward, &side, &localUp);
    // Column 2 comes from the slope normal itself, not from the corrected up axis, so the model's
    // depth axis lies in the slope.
    Vector3D depth = Cross(*normal, side);

    ClearMatrix(m);
    SetColumn(m, 0, side);
    SetColumn(m, 1, localUp);
    SetColumn(m, 2, {-depth.x, -depth.y, -depth.z});
    m->value[15] = 1.0f;
}

void Matrix2DRotate(Matrix3x3* m, float angle)
{
    float s = Sine(angle), c = Cosine(angle);
    std::memset(m->value, 0, sizeof(m->value));
    m->value[0] = c;
    m->value[1] = s;
    m->value[3] = -s;
    m->value[4] = c;
    m->value[8] = 1.0f;
}

void MatrixMultiply(const Matrix4x4* first, const Matrix4x4* second, Matrix4x4* out)
{
    // Built in a local so out may alias either input.
    Matrix4x4 product;
    for (int column = 0; column < 4; column++) {
        for (int row = 0; row < 4; row++) {
            float sum = 0.0f;
            for (int k = 0; k < 4; k++)
                sum += second->value[k * 4 + row] * first->value[column * 4 + k];
            product.value[column * 4 + row] = sum;
        }
    }
    *out = product;
}

// Gauss-Jordan elimination on [in | I], pivoting on the largest magnitude in each column.
void MatrixInvert(const Matrix4x4* in, Matrix4x4* out)
{
    float left[4][4], right[4][4];
    for (int row = 0; row < 4; row++) {
        for (int column = 0; column < 4; column++) {
            left[row][column] = in->value[column * 4 + row];
            right[row][column] = (row == column) ? 1.0f : 0.0f;
        }
    }

    for (int column = 0; column < 4; column++) {
        int pivotRow = column;
        for (int row = column + 1; row < 4; row++) {
            if (std::fabs(left[row][column]) > std::fabs(left[pivotRow][column]))
                pivotRow = row;
        }
        float pivot = left[pivotRow][column];
        if (pivot == 0.0f) {
            MatrixIdentity(out);
            return;
        }
        for (int k = 0; k < 4; k++) {
            float swap = left[column][k];
            left[column][k] = left[pivotRow][k];
            left[pivotRow][k] = swap;
            swap = right[column][k];
            right[column][k] = right[pivotRow][k];
            right[pivotRow][k] = swap;
        }
        for (int k = 0; k < 4; k++) {
            left[column][k] /= pivot;
            right[column][k] /= pivot;
        }
        for (int row = 0; row < 4; row++) {
            if (row == column)
                continue;
            float factor = left[row][column];
            if (factor == 0.0f)
                continue;
            for (int k = 0; k < 4; k++) {
                left[row][k] -= factor * left[column][k];
                right[row][k] -= factor * right[column][k];
            }
        }
    }

    for (int row = 0; row < 4; row++) {
        for (int column = 0; column < 4; column++)
            out->value[column * 4 + row] = right[row][column];
    }
}
