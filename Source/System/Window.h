// The game window: its size for a display, full screen, the display it sits on, and the cursor
// around dialogs.
#pragma once

// Asks SDL for the game's OpenGL context (2.0 compatibility profile) and, for msaaLevel > 0,
// 2^msaaLevel samples per pixel, for the next window made.
void RequestOpenGLAttributes(int msaaLevel);

// Window size for a display: two thirds of its usable height at a 1.6 aspect on landscape
// displays, two thirds of its width on portrait ones; 640 x 480 when the display cannot be asked.
void ComputeWindowSize(int display, int* width, int* height);
void WindowSizeForUsableArea(int usableWidth, int usableHeight, int* width, int* height);

// The display the preferences ask for, or display 0 when that one is not connected.
int GetPreferredDisplay();

// Puts the window into or out of desktop full screen per gPrefs.fullscreen; with
// moveToPreferredDisplay, first brings it onto the preferred display.
void ApplyFullscreenPref(bool moveToPreferredDisplay);

// Moves and resizes the window onto the preferred display, centred; nothing if already there.
void PlaceWindowOnChosenDisplay();

// Alt+Enter: flips the full-screen preference and applies it where the window is.
void ToggleFullscreen();

void ShowCursorForDialog(); // releases the mouse and shows the system cursor for a dialog
void HideCursorAgain();     // hides the system cursor once the dialog is gone
