// SkeletonPose.cpp: a creature's pose at its animation time: keyframe interpolation with easing through the
// acceleration curve, cross-fades between two poses, and each joint's matrix.
#include "Skeleton/SkeletonLocal.h"

#include "System/Alerts.h"

#include <algorithm>
#include <cmath>

float AccelerationCurve(float x)
{
    // Written so that a NaN fails too: its table index would be undefined.
    if (!(x <= 1.0f))
        ShowFatalAlert(" AccelerationPercent > 1.0");
    if (!(x >= 0.0f))
        ShowFatalAlert(" AccelerationPercent < 0");
    float value = gAccelerationCurve[int(x * float(ACCELERATION_CURVE_SIZE - 1))];
    if (value > 1.0f)
        ShowFatalAlert(" gAccelerationCurve > 1.0");
    if (value < 0.0f)
        ShowFatalAlert(" gAccelerationCurve < 0");
    return value;
}

// Scales are either all 1 or uniform: a non-unit blend takes the z components for all three axes.
static Vector3D BlendScale(const Vector3D* a, const Vector3D* b, float weightA, float weightB)
{
    if (a->x == 1.0f && b->x == 1.0f)
        return {1.0f, 1.0f, 1.0f};
    float s = weightA * a->z + weightB * b->z;
    return {s, s, s};
}

static void BlendPose(const KeyframeRecord* a, const KeyframeRecord* b, float weightA, float weightB,
                      KeyframeRecord* out)
{
    out->position.x = weightA * a->position.x + weightB * b->position.x;
    out->position.y = weightA * a->position.y + weightB * b->position.y;
    out->position.z = weightA * a->position.z + weightB * b->position.z;
    out->rotation.x = weightA * a->rotation.x + weightB * b->rotation.x;
    out->rotation.y = weightA * a->rotation.y + weightB * b->rotation.y;
    out->rotation.z = weightA * a->rotation.z + weightB * b->rotation.z;
    out->scale = BlendScale(&a->scale, &b->scale, weightA, weightB);
}

void InterpolateKeyframes(const KeyframeRecord* a, const KeyframeRecord* b, float time, KeyframeRecord* out)
{
    float c = (time - float(a->tick)) / (float(b->tick) - float(a->tick)); // weight of b
    float d = 1.0f - c;                                                    // weight of a
    bool easeOutOfA = a->easing == KEYFRAME_EASE_BOTH || a->easing == KEYFRAME_EASE_OUT;
    bool easeIntoB = b->easing == KEYFRAME_EASE_BOTH || b->easing == KEYFRAME_EASE_IN;

    if (easeOutOfA && easeIntoB) {
        d = AccelerationCurve(d);
        c = 1.0f - d;
    } else if (easeIntoB) {
        // The first half of the curve: slow at a, then full speed into b.
        float e = 2.0f * AccelerationCurve(d / 2.0f);
        if (e > 1.0f) {
            d = 1.0f;
            c = 0.0f;
        } else {
            d = std::max(0.0f, e);
            c = 1.0f - d;
        }
    } else if (easeOutOfA) {
        float e = 2.0f * AccelerationCurve(c / 2.0f);
        if (e > 1.0f) {
            c = 1.0f;
            d = 0.0f;
        } else {
            c = std::max(0.0f, e);
            d = 1.0f - c;
        }
    }
    out->tick = int32_t(time);
    out->easing = 0;
    BlendPose(a, b, d, c, out);
}

void BuildJointMatrix(const KeyframeRecord* pose, Matrix4x4* out)
{
    Matrix4x4 rotation;
    MatrixRotateXYZ(&rotation, pose->rotation.x, pose->rotation.y, pose->rotation.z);
    if (pose->scale.x == 1.0f && pose->scale.y == 1.0f && pose->scale.z == 1.0f) {
        *out = rotation;
        out->value[12] = pose->position.x;
        out->value[13] = pose->position.y;
        out->value[14] = pose->position.z;
        return;
    }
    Matrix4x4 scaleThenMove;
    MatrixScale(&scaleThenMove, pose->scale.x, pose->scale.y, pose->scale.z);
    scaleThenMove.value[12] = pose->position.x;
    scaleThenMove.value[13] = pose->position.y;
    scaleThenMove.value[14] = pose->position.z;
    MatrixMultiply(&rotation, &scaleThenMove, out);
}

// Sets the joint's pose from its keyframes at the instance's time; false when it has none.
static bool PoseJointFromKeyframes(SkeletonInstance* instance, int joint)
{
    const SkeletonInfoType* info = instance->info;
    int count = info->keyframeCount[joint][instance->animNum];
    if (count == 0)
        return false;
    const KeyframeRecord* keys = info->keyframes[joint][instance->animNum];
    int tick = int(std::floor(instance->animTime));
    KeyframeRecord* pose = &instance->pose[joint];

    for (int k = 0; k < count; k++) {
        if (keys[k].tick == tick) {
            *pose = keys[k];
            return true;
        }
    }
    for (int k = 0; k < count; k++) {
        if (keys[k].tick > tick) {
            if (k == 0)
                *pose = keys[0];
            else
                InterpolateKeyframes(&keys[k - 1], &keys[k], instance->animTime, pose);
            return true;
        }
    }
    *pose = keys[count - 1];
    return true;
}

void PoseSkeletonJoints(SkeletonInstance* instance)
{
    if (instance->jointsExternal)
        return;
    const SkeletonInfoType* info = instance->info;
    for (int j = 0; j < info->numJoints; j++) {
        if (instance->morphing) {
            float p = instance->morphProgress;
            BlendPose(&instance->morphFrom[j], &instance->morphTo[j], 1.0f - p, p, &instance->pose[j]);
        } else if (!PoseJointFromKeyframes(instance, j)) {
            break; // a joint without keyframes ends the pose update here
        }
        BuildJointMatrix(&instance->pose[j], &instance->jointMatrices[j]);
    }
}
