// SkeletonAnimation.cpp: starting animations, cross-fading into them, and advancing their time with the
// timed events that stop, loop, reverse, pause them or raise flags on the creature's node.
#include "Skeleton/SkeletonLocal.h"

#include "System/Alerts.h"
#include "System/FrameRate.h"

// The largest keyframe tick of the animation over all joints.
static float AnimationLength(const SkeletonInfoType* info, int animNum)
{
    int32_t length = 0;
    for (int j = 0; j < info->numJoints; j++) {
        for (int k = 0; k < info->keyframeCount[j][animNum]; k++) {
            if (info->keyframes[j][animNum][k].tick > length)
                length = info->keyframes[j][animNum][k].tick;
        }
    }
    return float(length);
}

// The resets shared by starting and cross-fading into an animation.
static void ResetAnimationState(SkeletonInstance* instance, int animNum)
{
    instance->animNum = uint8_t(animNum);
    instance->animTime = 0;
    instance->loopTime = 0;
    instance->pauseTime = 0;
    instance->nextEvent = 0;
    instance->playBackward = false;
    instance->animLength = AnimationLength(instance->info, animNum);
    instance->animStopped = false;
    instance->morphing = false;
    instance->animSpeed = 1.0f;
}

void SetSkeletonAnim(SkeletonInstance* instance, int animNum)
{
    if (!instance)
        return;
    if (animNum < 0 || animNum >= instance->info->animCount)
        ShowFatalAlert("SetSkeletonAnim: illegal animNum");
    ResetAnimationState(instance, animNum);
    PoseSkeletonJoints(instance);
}

void MorphToSkeletonAnim(SkeletonInstance* instance, int animNum, float rate)
{
    if (!instance)
        return;
    if (animNum < 0 || animNum >= instance->info->animCount)
        ShowFatalAlert("MorphToSkeletonAnim: bad anim #");
    ResetAnimationState(instance, animNum);
    instance->morphRate = rate;
    instance->morphing = true;
    instance->morphProgress = 0;

    const SkeletonInfoType* info = instance->info;
    for (int j = 0; j < info->numJoints; j++) {
        instance->morphFrom[j] = instance->pose[j];
        if (info->keyframeCount[j][animNum] > 0)
            instance->morphTo[j] = info->keyframes[j][animNum][0];
        else
            instance->morphTo[j] = instance->pose[j];
    }
    PoseSkeletonJoints(instance);
}

// The first event at or after `time`, or 0 when there is none.
static uint8_t FirstEventAtOrAfter(const SkeletonInstance* instance, float time)
{
    int animNum = instance->animNum;
    for (int e = 0; e < instance->info->eventCount[animNum]; e++) {
        if (float(instance->info->events[animNum][e].time) >= time)
            return uint8_t(e);
    }
    return 0;
}

// Moves the time by one frame, or counts a pause down. A backward run that falls below the loop point is
// mirrored there and either bounces forward or stops.
static void MoveAnimationTime(SkeletonInstance* instance, float dt)
{
    if (instance->pauseTime > 0) {
        instance->pauseTime -= dt;
        return;
    }
    float step = dt * ANIMATION_TICKS_PER_SECOND * instance->animSpeed;
    if (!instance->playBackward) {
        instance->animTime += step;
        return;
    }
    instance->animTime -= step;
    if (instance->animTime < instance->loopTime) {
        instance->animTime = 2.0f * instance->loopTime - instance->animTime;
        if (instance->bounceMode == 2) {
            instance->playBackward = false;
            instance->nextEvent =
                instance->loopTime == 0 ? 0 : FirstEventAtOrAfter(instance, instance->animTime);
        } else {
            instance->animStopped = true;
        }
    }
}

// Applies every event the time has reached. Loops and reversals are jumps; a frame handles at most two,
// so an event that loops onto itself cannot hold the frame forever.
static void ApplyAnimationEvents(ObjNode* node, SkeletonInstance* instance)
{
    const SkeletonInfoType* info = instance->info;
    int animNum = instance->animNum;
    int jumps = 0;
    while (instance->nextEvent < info->eventCount[animNum] &&
           instance->animTime >= float(info->events[animNum][instance->nextEvent].time)) {
        const AnimEventRecord* event = &info->events[animNum][instance->nextEvent];
        float eventTime = float(event->time);
        bool nextEventSet = false;
        switch (event->type) {
        case ANIMEVENT_TYPE_STOP:
            instance->animStopped = true;
            break;
        case ANIMEVENT_TYPE_LOOP:
            jumps++;
            if (instance->loopTime == 0) {
                if (instance->animTime == 0) {
                    instance->animStopped = true;
                } else {
                    instance->animTime -= eventTime;
                    instance->nextEvent = 0;
                    nextEventSet = true;
                }
            } else {
                instance->animTime = instance->animTime - eventTime + instance->loopTime;
                instance->nextEvent = FirstEventAtOrAfter(instance, instance->animTime);
                nextEventSet = true;
            }
            break;
        case ANIMEVENT_TYPE_REVERSE:
            jumps++;
            instance->bounceMode = 2;
            instance->playBackward = true;
            instance->animTime = eventTime - (instance->animTime - eventTime);
            break;
        case ANIMEVENT_TYPE_SETLOOPPOINT:
            instance->loopTime = eventTime;
            break;
        case ANIMEVENT_TYPE_SETFLAG:
        case ANIMEVENT_TYPE_CLEARFLAG:
            if (event->value >= MAX_FLAGS_IN_OBJNODE)
                ShowFatalAlert("Error: ANIMEVENT_TYPE_SETFLAG > MAX_FLAGS_IN_OBJNODE!");
            node->EventFlags[event->value] = event->type == ANIMEVENT_TYPE_SETFLAG ? 1 : 0;
            break;
        case ANIMEVENT_TYPE_PAUSE:
            instance->pauseTime = float(event->value) / ANIMATION_TICKS_PER_SECOND;
            instance->animTime = eventTime;
            break;
        default: // 3 and 5 have no effect
            break;
        }
        if (!nextEventSet)
            instance->nextEvent++;
        if (jumps >= 2)
            break;
    }
}

void AdvanceSkeletonAnimation(ObjNode* node)
{
    SkeletonInstance* instance = node->Skeleton;
    if (!instance)
        return;
    float dt = gFrameSeconds;

    if (instance->morphing) {
        // 1. A cross-fade holds the time still until it completes.
        instance->morphProgress += dt * instance->morphRate;
        if (instance->morphProgress >= 1.0f)
            instance->morphing = false;
    } else {
        // 2. Time moves (or a pause counts down), 3. then the events it reached apply.
        MoveAnimationTime(instance, dt);
        ApplyAnimationEvents(node, instance);
    }

    // 4. The pose of the new time.
    PoseSkeletonJoints(instance);
}
