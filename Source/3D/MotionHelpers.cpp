// MotionHelpers.cpp: frame-time damping of velocities and headings on the ground plane.
// The node turning helpers live in TurnHelpers.cpp so this file needs no object records.

#include "3D/Math3D.h"
#include "System/FrameRate.h"

#include <cmath>

// Scales x, y, z (y may be null) down by friction * frame time. Friction only ever slows a vector: once
// it would remove more than the whole length the vector stops, it never flips round.
static float DampComponents(float* x, float* y, float* z, float friction)
{
    float squared = *x * *x + *z * *z + (y ? *y * *y : 0.0f);
    float length = (float)std::sqrt((double)squared);
    if (length <= kSmallLength) {
        *x = *z = 0.0f;
        if (y)
            *y = 0.0f;
        return 0.0f;
    }

    float newLength = length - friction * gFrameSeconds;
    if (newLength < 0.0f) {
        *x = *z = 0.0f;
        if (y)
            *y = 0.0f;
        return newLength;
    }

    float scale = newLength / length;
    *x *= scale;
    *z *= scale;
    if (y)
        *y *= scale;
    return scale;
}

float DampVector3(Vector3D* v, float friction)
{
    return DampComponents(&v->x, &v->y, &v->z, friction);
}

float DampVectorXZ(Vector3D* v, float friction)
{
    return DampComponents(&v->x, nullptr, &v->z, friction);
}

float DecayTowardZero(float value, float amount)
{
    if (value > 0.0f) {
        value -= amount;
        return value < 0.0f ? 0.0f : value;
    }
    if (value < 0.0f) {
        value += amount;
        return value > 0.0f ? 0.0f : value;
    }
    return value;
}

float HeadingFromTo(float oldAngle, float fromX, float fromZ, float toX, float toZ)
{
    float dx = toX - fromX, dz = toZ - fromZ;
    if (std::fabs(dx) <= kSmallLength && std::fabs(dz) <= kSmallLength)
        return oldAngle;

    Vector2D direction = {dx, dz};
    Normalize2(&direction, &direction);
    if (direction.x == 0.0f && direction.y == 0.0f)
        return oldAngle;

    // Rotation 0 faces -Z, so the angle is measured from -Z; acos alone cannot tell left from right.
    float clampedForward = -direction.y;
    if (clampedForward > 1.0f)
        clampedForward = 1.0f;
    if (clampedForward < -1.0f)
        clampedForward = -1.0f;
    float angle = (float)std::acos((double)clampedForward);
    if (direction.x > 0.0f)
        angle = PI2 - angle;
    return angle;
}
