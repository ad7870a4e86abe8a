// CustomSplines.cpp: natural cubic splines through a few nubs, sampled densely.
//
// Per axis, span i runs a[i] + b[i]u + c[i]u^2 + e[i]u^3 for u in [0, 1); the second derivatives
// vanish at both ends (c[0] = c[n-1] = 0) and the inner c solve the tridiagonal system
// c[i-1] + 4c[i] + c[i+1] = 3(a[i+1] - 2a[i] + a[i-1]).
#include <cstring>

#include "3D/CustomSplines.h"
#include "System/Alerts.h"
#include "System/Memory.h"

CustomSplineSlot gCustomSplines[MAX_CUSTOM_SPLINES];

constexpr float kOneThird = 0.33333334f;
constexpr int kMinNubs = 3;

// The coefficients of one axis; a, b, c, e and the scratch r, diagonal each hold n values.
static void FitAxis(int n, const float* a, float* b, float* c, float* e, float* r, float* diagonal)
{
    c[0] = c[n - 1] = 0;
    for (int i = 1; i < n - 1; i++)
        r[i] = 3.0f * (a[i + 1] - 2.0f * a[i] + a[i - 1]);
    // Forward elimination: diagonal 4, off-diagonals 1.
    diagonal[1] = 4.0f;
    for (int i = 2; i < n - 1; i++) {
        float factor = 1.0f / diagonal[i - 1];
        diagonal[i] = 4.0f - factor;
        r[i] -= factor * r[i - 1];
    }
    // Back substitution.
    for (int i = n - 2; i >= 1; i--)
        c[i] = (r[i] - (i + 1 < n - 1 ? c[i + 1] : 0.0f)) / diagonal[i];
    for (int i = 0; i < n - 1; i++) {
        b[i] = a[i + 1] - a[i] - (2.0f * c[i] + c[i + 1]) * kOneThird;
        e[i] = (c[i + 1] - c[i]) * kOneThird;
    }
}

int16_t GenerateCustomSpline(int16_t numNubs, const Point3D* nubs, int32_t pointsPerSpan)
{
    if (numNubs < kMinNubs || pointsPerSpan <= 0 || !nubs)
        return -1; // no curve to fit, or nothing to sample
    int16_t slot = -1;
    for (int16_t i = 0; i < MAX_CUSTOM_SPLINES && slot < 0; i++) {
        if (!gCustomSplines[i].inUse)
            slot = i;
    }
    if (slot < 0)
        return -1;

    int n = numNubs;
    int64_t maxPoints = int64_t(pointsPerSpan) * n;
    if (maxPoints * int64_t(sizeof(Point3D)) > INT32_MAX)
        ShowFatalAlert("GenerateCustomSpline: %d nubs x %d points per span is too many", n, pointsPerSpan);
    CustomSplineSlot* spline = &gCustomSplines[slot];
    spline->inUse = true;

    // Working arrays: per axis a, b, c, e, plus the solver's scratch.
    float* work = (float*)AllocPtrClear(int32_t(sizeof(float)) * n * 18);
    Point3D* points = (Point3D*)AllocPtrClear(int32_t(maxPoints * int64_t(sizeof(Point3D))));
    float *a[3], *b[3], *c[3], *e[3];
    float* r = work + 16 * n;
    float* diagonal = work + 17 * n;
    for (int axis = 0; axis < 3; axis++) {
        a[axis] = work + (axis * 4 + 0) * n;
        b[axis] = work + (axis * 4 + 1) * n;
        c[axis] = work + (axis * 4 + 2) * n;
        e[axis] = work + (axis * 4 + 3) * n;
        for (int i = 0; i < n; i++)
            a[axis][i] = axis == 0 ? nubs[i].x : (axis == 1 ? nubs[i].y : nubs[i].z);
        FitAxis(n, a[axis], b[axis], c[axis], e[axis], r, diagonal);
    }

    int32_t count = 0;
    float step = 1.0f / float(pointsPerSpan);
    for (int i = 0; i < n - 1; i++) {
        for (float u = 0; double(u) < 0.9999; u += step) {
            if (count >= maxPoints)
                ShowFatalAlert("GenerateCustomSpline: numPoints >= maxPoints");
            float value[3];
            for (int axis = 0; axis < 3; axis++)
                value[axis] = ((e[axis][i] * u + c[axis][i]) * u + b[axis][i]) * u + a[axis][i];
            points[count++] = {value[0], value[1], value[2]};
        }
    }

    SafeDisposePtr(work);
    spline->points = points;
    spline->numPoints = count;
    return slot;
}

void ReleaseCustomSpline(int16_t slot)
{
    if (slot < 0 || slot >= MAX_CUSTOM_SPLINES || !gCustomSplines[slot].inUse)
        return;
    SafeDisposePtr(gCustomSplines[slot].points);
    gCustomSplines[slot] = {false, 0, nullptr};
}

void ReleaseAllCustomSplines()
{
    for (int16_t i = 0; i < MAX_CUSTOM_SPLINES; i++)
        ReleaseCustomSpline(i);
}

void ClearCustomSplineTable()
{
    memset(gCustomSplines, 0, sizeof(gCustomSplines));
}
