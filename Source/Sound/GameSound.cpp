// The calls of the game sound system, already made at their moments in start-up, fades, pausing
// and shut-down; each does nothing yet.

#include "Sound/GameSound.h"

// PENDING(Sound): load the resident sound bank and open the effect channels.
void InitSoundTools() {}

// PENDING(Sound): silence everything and dispose of the channels and banks.
void ShutdownGameSound() {}

// PENDING(Sound): scale every effect and the song.
void SetSoundMasterScale(float) {}

// PENDING(Sound): stop the current song.
void StopSong() {}

// PENDING(Sound): stop every playing effect.
void SilenceAllEffects() {}
