// Camera.h: each player's pane camera. A lagging chase camera behind and above the player looks at a
// point ahead of it and banks with it; the camera need toggles a cockpit view; the camera circles a
// player falling to death, backs away from a dust devil and watches the exit wormhole at the end of
// a level. The camera positions are also the centres of the supertile windows.
#pragma once

#include <cstdint>

#include "3D/Math3D.h"

constexpr int CAMERA_MODE_CHASE = 0;
constexpr int CAMERA_MODE_COCKPIT = 1;

extern float gCameraLookLag;          // look-at follow rate, per second
extern float gCameraChaseLag;         // position follow rate, per second; grows back to 2
extern uint8_t gCameraMode[2];        // per player: CAMERA_MODE_...
extern bool gCameraOrbit[2];          // circle the player (a falling death)
extern bool gCameraWatchExit;         // look from above the exit wormhole
extern Point3D gExitWormholePosition; // where gCameraWatchExit looks from

void ResetCamera(int player); // straight behind the player (or off the start wormhole while arriving)
void MoveCameras();           // every frame of play, after the objects moved; nothing in the time demo
// One chase step toward target: per axis (target - from) x rate x dt, never past the target.
void StepToward(Point3D* from, const Point3D* target, float rate, float dt);
