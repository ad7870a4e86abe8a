// What the files of the game-sound module share: the channels, the loaded sound blocks and the
// command helpers. Not for the rest of the game.
#pragma once

#include "Sound/GameSound.h"
#include "Tarnet/Sound/Sound.h"

// The Sound Manager ignores this one; it is sent before every start as the sound calls always did.
inline constexpr uint16_t kFlushCmd = 4;

extern Tarnet::SndChannelPtr gEffectChannels[MAX_EFFECT_CHANNELS];
extern Tarnet::SndChannelPtr gMusicChannel;
extern Tarnet::Handle gSndHandles[MAX_EFFECTS]; // null while the effect's bank is not loaded
extern long gSndHeaderOffsets[MAX_EFFECTS];

// Sends one command to a channel at once.
Tarnet::OSErr SendSoundCommand(Tarnet::SndChannelPtr channel, uint16_t command, int16_t param1 = 0,
                               intptr_t param2 = 0);

// The volumeCmd argument: right in the high half, left in the low half, each truncated.
intptr_t PackStereoVolume(float left, float right);
