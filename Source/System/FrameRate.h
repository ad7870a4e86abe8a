// Frame timing. Every per-frame change of position, angle, timer or animation is multiplied by
// gFrameSeconds, which CalcFrameRate measures once per displayed frame.
#pragma once

extern float gFrameRate;    // smoothed frames per second, never below 13
extern float gFrameSeconds; // 1 / gFrameRate, so never above 1/13 s
// Above 0 (scripted play with a fixed step): every frame counts as exactly this many seconds.
extern float gFixedFrameSeconds;

// Measures the frame just finished and updates gFrameRate / gFrameSeconds. Caps the game at 300
// frames per second by waiting. In time-demo mode every frame counts as exactly 1/40 s.
void CalcFrameRate();

// Puts the measurement back to its start-up state (rates 13, history of eight 60s) and measures
// the next frame from now.
void ResetFrameRate();
