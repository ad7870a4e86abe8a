// Placeholders until the sound system lands: the screens already call these at the right moments.

#include "Sound/GameSound.h"

void InitSoundTools() {}

void ShutdownGameSound() {}

void SetSoundMasterScale(float) {}

void StopSong() {}

void SilenceAllEffects() {}
