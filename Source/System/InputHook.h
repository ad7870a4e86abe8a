// A routine run at the start of every input poll, before the events are pumped: scripted
// whole-game runs and screen tests feed their input and count frames through it.
#pragma once

void SetPollHook(void (*hook)()); // null: none
// A poll that is not a frame (the loading bar keeps the window answering during a load): the
// hook does not run.
void PollInputBetweenFrames();
