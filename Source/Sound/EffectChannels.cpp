// The effect channels: starting an effect on the next free channel in rotation, and the calls that
// stop, re-aim and query a channel afterwards.

#include "Sound/SoundLocal.h"

#include "System/Alerts.h"
#include "System/Input.h"

using namespace Tarnet;

SndChannelPtr gEffectChannels[MAX_EFFECT_CHANNELS];
EffectChannelInfo gEffectChannelInfo[MAX_EFFECT_CHANNELS];
int gEffectChannelCount = 0;
int gLastEffectChannel = -1;

OSErr SendSoundCommand(SndChannelPtr channel, uint16_t command, int16_t param1, intptr_t param2)
{
    SndCommand cmd;
    cmd.cmd = command;
    cmd.param1 = param1;
    cmd.param2 = param2;
    return SndDoImmediate(channel, &cmd);
}

intptr_t PackStereoVolume(float left, float right)
{
    uint32_t leftBits = uint32_t(int32_t(left)) & 0xFFFF;
    uint32_t rightBits = uint32_t(int32_t(right)) & 0xFFFF;
    return intptr_t((rightBits << 16) | leftBits);
}

static bool IsValidChannel(int16_t channel)
{
    return channel >= 0 && channel < gEffectChannelCount;
}

// The first channel after the one used last (wrapping) that answers its status call and is idle;
// -1 when the scan comes round to where it began.
static int FindFreeEffectChannel()
{
    if (gEffectChannelCount == 0)
        return -1;
    int start = gLastEffectChannel + 1;
    if (start >= gEffectChannelCount)
        start = 0;
    int channel = start;
    do {
        SCStatus status;
        if (SndChannelStatus(gEffectChannels[channel], sizeof(status), &status) == noErr &&
            !status.scChannelBusy)
            return channel;
        channel = (channel + 1) % gEffectChannelCount;
    } while (channel != start);
    return -1;
}

int16_t PlayEffect_Parms(int16_t effectNum, uint32_t leftVolume, uint32_t rightVolume,
                         uint32_t rateMultiplier)
{
    GAME_ASSERT(effectNum >= 0);
    GAME_ASSERT(effectNum < MAX_EFFECTS);
    if (gEffectChannelCount == 0)
        return -1; // the sound is not started: tools and tests that run gameplay without it stay silent
    if (!gSndHandles[effectNum])
        FatalAssertion(__func__, __LINE__, "sound effect wasn't loaded!");

    // 1. A free channel, or the effect is dropped.
    int channel = FindFreeEffectChannel();
    if (channel < 0)
        return -1;
    gLastEffectChannel = channel;
    SndChannelPtr chan = gEffectChannels[channel];

    // 2. Whatever the channel held is gone before the new sound goes in.
    if (SendSoundCommand(chan, kFlushCmd) != noErr || SendSoundCommand(chan, quietCmd) != noErr)
        return -1;

    // 3. Volume first, so the first samples already play at it; the sound plays from its block in place.
    OSErr volumeErr = SendSoundCommand(
        chan, volumeCmd, 0,
        PackStereoVolume(float(leftVolume) * gEffectsVolume, float(rightVolume) * gEffectsVolume));
    SendSoundCommand(chan, bufferCmd, 0, intptr_t(*gSndHandles[effectNum] + gSndHeaderOffsets[effectNum]));
    if (volumeErr != noErr)
        return -1;
    SendSoundCommand(chan, rateMultiplierCmd, 0, intptr_t(int32_t(rateMultiplier)));

    // 4. Remember what plays there, so followers can tell when the channel is taken over.
    EffectChannelInfo* info = &gEffectChannelInfo[channel];
    info->effectNum = effectNum;
    info->leftVolume = float(leftVolume);
    info->rightVolume = float(rightVolume);
    return int16_t(channel);
}

int16_t PlayEffectCentered(int16_t effectNum)
{
    return PlayEffect_Parms(effectNum, kFullVolume, kFullVolume, kNormalRate);
}

int16_t StopEffectChannel(int16_t* channel)
{
    if (IsValidChannel(*channel)) {
        SendSoundCommand(gEffectChannels[*channel], kFlushCmd);
        SendSoundCommand(gEffectChannels[*channel], quietCmd);
        gEffectChannelInfo[*channel].effectNum = -1;
    }
    *channel = -1;
    return -1;
}

bool StopEffectChannelIfPlaying(int16_t* channel, int16_t effectNum)
{
    if (!IsValidChannel(*channel) || gEffectChannelInfo[*channel].effectNum != effectNum)
        return false;
    StopEffectChannel(channel);
    return true;
}

void SilenceAllEffects()
{
    for (int i = 0; i < gEffectChannelCount; i++) {
        SendSoundCommand(gEffectChannels[i], kFlushCmd);
        SendSoundCommand(gEffectChannels[i], quietCmd);
        gEffectChannelInfo[i].effectNum = -1;
    }
}

void SetEffectChannelVolume(int16_t channel, float leftVolume, float rightVolume)
{
    if (!IsValidChannel(channel))
        return;
    SendSoundCommand(gEffectChannels[channel], volumeCmd, 0,
                     PackStereoVolume(leftVolume * gEffectsVolume, rightVolume * gEffectsVolume));
    gEffectChannelInfo[channel].leftVolume = leftVolume;
    gEffectChannelInfo[channel].rightVolume = rightVolume;
}

void SetEffectChannelRate(int16_t channel, uint32_t rateMultiplier)
{
    if (IsValidChannel(channel))
        SendSoundCommand(gEffectChannels[channel], rateMultiplierCmd, 0, intptr_t(int32_t(rateMultiplier)));
}

bool IsEffectChannelBusy(int16_t channel)
{
    if (!IsValidChannel(channel))
        return false;
    SCStatus status;
    if (SndChannelStatus(gEffectChannels[channel], sizeof(status), &status) != noErr)
        return false;
    return status.scChannelBusy != 0;
}

void RumbleForEffect(int16_t effectNum, int player)
{
    if (effectNum < 0 || effectNum >= NUM_EFFECTS)
        return;
    const EffectDefinition& effect = kEffectTable[effectNum];
    if (effect.rumbleMillis != 0)
        Rumble(effect.rumbleLow, effect.rumbleHigh, effect.rumbleMillis, player);
}
