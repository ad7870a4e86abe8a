// TurnHelpers.cpp: turning nodes toward targets at a limited rate (enemies, turrets, the player).
//
// Both helpers clamp the step to the angle that remains, so a fast turn lands exactly on the target
// instead of oscillating around it from frame to frame.

#include "3D/Math3D.h"
#include "Objects/ObjNode.h"
#include "System/FrameRate.h"

#include <cmath>

float TurnTowardOnY(ObjNode* node, const Point3D* from, float targetX, float targetZ, float turnSpeed,
                    bool addTargetOffset, float* outCross)
{
    if (!from)
        from = &node->Position;
    if (addTargetOffset) {
        // The node's aim offset doubles as its target offset on the ground plane.
        targetX += node->HomingOffset.x;
        targetZ += node->HomingOffset.z;
    }

    Vector2D direction = {targetX - from->x, targetZ - from->z};
    Normalize2(&direction, &direction);
    if (direction.x == 0.0f && direction.y == 0.0f)
        return 0.0f;

    float heading = node->Rotation.y;
    Vector2D facing = {(float)-std::sin((double)heading), (float)-std::cos((double)heading)};
    float remaining = (float)std::acos((double)Dot2Clamped(&facing, &direction));
    float cross = Cross2(&facing, &direction);

    float step = 0.0f;
    if (turnSpeed != 0.0f) {
        step = std::fmin(turnSpeed * gFrameSeconds, remaining);
        // A positive cross means the target is clockwise seen from above, which is a decreasing heading.
        if (cross > 0.0f)
            step = -step;
        node->Rotation.y = heading + step;
    }

    if (outCross)
        *outCross = cross;
    return remaining - std::fabs(step);
}

float TurnTowardOnX(ObjNode* node, const Point3D* from, const Point3D* target, float turnSpeed)
{
    if (!from)
        from = &node->Position;

    Vector3D direction;
    Normalize3XYZ(target->x - from->x, target->y - from->y, target->z - from->z, &direction);
    if (direction.x == 0.0f && direction.y == 0.0f)
        return 0.0f;

    // The current aim keeps the target's horizontal direction and only differs in pitch, so the angle
    // between them is purely the pitch error.
    float pitch = node->Rotation.x;
    Vector3D current;
    Normalize3XYZ(direction.x, (float)std::sin((double)pitch), direction.z, &current);
    float remaining = (float)std::acos((double)DotClamped(&current, &direction));

    Vector3D sideAxis, towardTarget;
    CrossNormalized(&current, &direction, &sideAxis);
    CrossNormalized(&sideAxis, &current, &towardTarget);

    float step = 0.0f;
    if (turnSpeed != 0.0f) {
        step = std::fmin(remaining, turnSpeed * gFrameSeconds);
        if (towardTarget.y < 0.0f)
            step = -step;
        node->Rotation.x = pitch + step;
    }
    return remaining - std::fabs(step);
}
