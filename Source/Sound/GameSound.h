// Game sound: effects and songs. The mixer, codecs and channels beneath it are not in the game yet;
// until they are, these calls keep their places in start-up, fades and shut-down and do nothing.
#pragma once

void InitSoundTools();                 // loads the resident sound bank and opens the effect channels
void ShutdownGameSound();              // silences everything and disposes channels and banks
void SetSoundMasterScale(float scale); // 0..1 multiplier on every effect and the song (fades)
void StopSong();                       // stops the current song
void SilenceAllEffects();              // stops every playing effect
