// A window for tests and tools that draw with the game's renderer and read the pixels back: it
// becomes gGameWindow, with the game's OpenGL attributes and draw context, no anti-aliasing, a
// 24-bit depth buffer and no vsync.
#pragma once

// Opens the window, hidden unless `shown`, and its draw context. False when SDL cannot give one
// (SDL_GetError says why).
bool OpenHiddenWindow(const char* title, int width, int height, bool shown = false);

// Disposes of the draw context and the window and shuts SDL's video down; nothing when no window
// is open.
void CloseHiddenWindow();
