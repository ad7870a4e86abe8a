// Positional effects: one listener per player pane, left and right volumes from the distance and
// direction to the nearest listener, and looping effects that objects keep aimed at themselves.

#include "Sound/SoundLocal.h"

#include <cmath>

#include "3D/OGL_Support.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"
#include "System/ProgramState.h"

using namespace Tarnet;

SoundListener gListeners[MAX_LISTENERS];

// Full volume up to this distance, then falling as 1 / distance.
static constexpr float kFullVolumeDistance = 700.0f;
// Below this a sound is not worth a channel.
static constexpr int32_t kInaudibleVolume = 5;
// The ear sits this far in front of the camera, nearer what the player looks at.
static constexpr float kEarAhead = 300.0f;

// (x, z) normalised, or (0, 0) when both are near zero (straight above or below).
static void FlatDirection(float x, float z, float* outX, float* outZ)
{
    if (std::fabs(x) <= 0.0001f && std::fabs(z) <= 0.0001f) {
        *outX = 0;
        *outZ = 0;
        return;
    }
    float length = std::sqrt(x * x + z * z);
    *outX = x / length;
    *outZ = z / length;
}

static float Distance(const Point3D* a, const Point3D* b)
{
    float dx = a->x - b->x, dy = a->y - b->y, dz = a->z - b->z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void PlaceListeners()
{
    if (!gGameViewInfoPtr)
        return;
    int panes = gNumPanes < 1 ? 1 : gNumPanes > MAX_LISTENERS ? MAX_LISTENERS : gNumPanes;
    for (int p = 0; p < panes; p++) {
        const CameraPlacement* camera = &gGameViewInfoPtr->cameras[p];
        Vector3D facing = {camera->target.x - camera->eye.x, camera->target.y - camera->eye.y,
                           camera->target.z - camera->eye.z};
        if (std::fabs(facing.x) <= 0.0001f && std::fabs(facing.y) <= 0.0001f &&
            std::fabs(facing.z) <= 0.0001f) {
            facing = {0, 0, 0};
        } else {
            float length = std::sqrt(facing.x * facing.x + facing.y * facing.y + facing.z * facing.z);
            facing = {facing.x / length, facing.y / length, facing.z / length};
        }
        gListeners[p].facing = facing;
        gListeners[p].ear = {camera->eye.x + kEarAhead * facing.x, camera->eye.y + kEarAhead * facing.y,
                             camera->eye.z + kEarAhead * facing.z};
    }
}

void CalcPositionalVolumes(int16_t effectNum, const Point3D* where, float volumeAdjust, int32_t* leftVolume,
                           int32_t* rightVolume)
{
    // 1. The nearer listener hears it (the first on a tie).
    const SoundListener* listener = &gListeners[0];
    float distance = Distance(where, &gListeners[0].ear);
    if (gNumPanes >= 2) {
        float distance1 = Distance(where, &gListeners[1].ear);
        if (distance1 < distance) {
            distance = distance1;
            listener = &gListeners[1];
        }
    }

    // 2. Loudness from the distance and the effect's own reach (numbers past the table are refused
    //    later by PlayEffect_Parms; they must not read past it here).
    float refVolume = effectNum >= 0 && effectNum < NUM_EFFECTS ? kEffectTable[effectNum].refVolume : 1.0f;
    float volume = kFullVolumeDistance / distance * refVolume;
    if (!(volume <= 1.0f)) // also catches a sound exactly at the ear (infinite)
        volume = 1.0f;
    int32_t gain = int32_t(volume * float(kFullVolume) * volumeAdjust);
    if (gain <= kInaudibleVolume) {
        *leftVolume = 0;
        *rightVolume = 0;
        return;
    }

    // 3. Balance from the angle between where the listener looks and where the sound is, on the ground plane.
    float dirX, dirZ, faceX, faceZ;
    FlatDirection(where->x - listener->ear.x, where->z - listener->ear.z, &dirX, &dirZ);
    FlatDirection(listener->facing.x, listener->facing.z, &faceX, &faceZ);
    float dot = dirX * faceX + dirZ * faceZ;
    dot = dot < -1.0f ? -1.0f : dot > 1.0f ? 1.0f : dot;
    float sideways = 1.0f - std::fabs(dot);
    float cross = dirX * faceZ - dirZ * faceX;

    float g = float(gain);
    if (cross > 0) {
        *leftVolume = int32_t(g + sideways * g);
        *rightVolume = int32_t(g - sideways * g);
    } else {
        *leftVolume = int32_t(g - sideways * g);
        *rightVolume = int32_t(g + sideways * g);
    }
}

int16_t PlayEffectAtRate(int16_t effectNum, const Point3D* where, uint32_t rateMultiplier, float volumeAdjust)
{
    if (effectNum >= MAX_EFFECTS)
        ShowFatalAlert("Illegal sound number %d!", effectNum);

    int32_t left, right;
    CalcPositionalVolumes(effectNum, where, volumeAdjust, &left, &right);
    if (left + right == 0)
        return -1;

    int16_t channel = PlayEffect_Parms(effectNum, uint32_t(left), uint32_t(right), rateMultiplier);
    if (channel >= 0)
        gEffectChannelInfo[channel].volumeAdjust = volumeAdjust;
    return channel;
}

int16_t PlayEffectAt(int16_t effectNum, const Point3D* where)
{
    return PlayEffectAtRate(effectNum, where, kNormalRate, 1.0f);
}

bool FollowEffectChannel(int16_t effectNum, int16_t* channel, const Point3D* where)
{
    if (*channel < 0 || *channel >= gEffectChannelCount)
        return true;

    // Another effect took the channel over: this one is long gone.
    EffectChannelInfo* info = &gEffectChannelInfo[*channel];
    if (info->effectNum != effectNum) {
        *channel = -1;
        return true;
    }
    if (!IsEffectChannelBusy(*channel))
        return true;
    if (!where)
        return false;

    int32_t left, right;
    CalcPositionalVolumes(effectNum, where, info->volumeAdjust, &left, &right);
    if (left + right != 0) {
        SetEffectChannelVolume(*channel, float(left), float(right));
        return false;
    }

    // Out of hearing: free the channel for others; the owner starts the sound again when it comes back.
    SendSoundCommand(gEffectChannels[*channel], kFlushCmd);
    SendSoundCommand(gEffectChannels[*channel], quietCmd);
    info->effectNum = -1;
    *channel = -1;
    return false;
}

// Deleting a node stops the looping effect it owns.
static void StopNodeLoopSound(ObjNode* node)
{
    StopEffectChannel(&node->LoopChannel);
}

void RegisterNodeLoopSoundStopper()
{
    SetNodeLoopSoundStopper(StopNodeLoopSound);
}
