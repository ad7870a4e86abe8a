// Screen fades. The fade is one object node drawn last (slot 7000) as a black quad over the
// overlay; there is never more than one.
#pragma once

struct ObjNode;

#include "System/ProgramState.h" // gFadeLevel

enum
{
    kFadeFlags_In = 0x1,      // fade in (else out)
    kFadeFlags_P1Only = 0x10, // restrict to pane 0
    kFadeFlags_P2Only = 0x20, // restrict to pane 1
};

// Starts a fade in or out that runs with the move pass; reuses the fade node if there is one.
ObjNode* StartFade(int flags, float speed);

// Fades the overlay to black at speed 3 while drawing with drawRoutine, and returns when black.
void FadeOutAndWait(void (*drawRoutine)(), void (*moveRoutine)());
