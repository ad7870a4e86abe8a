// The generated audio of Data/Audio: the main bank's effects (synthesised), the narration bank
// (spoken with eSpeak NG over a music-box bed) and the six songs (composed, sequenced and encoded
// to MP3). ForgeAudio (Forge.h) writes them all; CheckAudio (Check.h) checks them.
#pragma once

#include <string>

#include "DataForge/Writers/AudioWriters.h"

inline constexpr int kEffectRate = 22050;   // effects and narration: mono AIFF
inline constexpr int kSongRate = 44100;     // songs: stereo MP3
inline constexpr int kSongBitRate = 128;    // kbit/s
inline constexpr float kEffectPeak = 0.89f; // about -1 dB full scale
inline constexpr float kLoopPeak = 0.6f;    // looping effects sit lower
inline constexpr int kNarrationLines = 7;   // STORY1 .. STORY7

// The main bank, in effect order (CHANGESELECT .. BADSELECT).
int MainBankEffectCount();
const char* MainBankEffectName(int index);
bool MainBankEffectLoops(int index); // a sustain loop over the whole sound
PCMSound MakeMainBankEffect(int index);

// Narration line 1 .. 7: the story text of that slide, spoken and set over a music box.
PCMSound MakeNarration(int line);

// The songs, by song number 0 .. 5: file name (in Data/Audio) and the rendered stereo music.
inline constexpr int kSongCount = 6;
const char* SongFileName(int song);
PCMSound ComposeSong(int song);
