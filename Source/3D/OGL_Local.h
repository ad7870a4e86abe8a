// OGL_Local.h: what the OpenGL support files share among themselves and nobody else needs.
#pragma once

#include "3D/OGL_Support.h"

constexpr int OGL_STATE_STACK_DEPTH = 20;

// The one door every cached capability change goes through: issues glEnable / glDisable and counts it.
void OGL_IssueCapability(GLenum capability, bool enable);

void OGL_GetCurrentColor(float* rgba);           // the cached current colour
void OGL_GetBlendFunc(GLenum* src, GLenum* dst); // the cached blend factors

// Counts one submitted batch of primitives in this frame's statistics.
void OGL_CountDrawCall();

// Clears the per-frame statistics; the scene draw calls it when a frame begins.
void OGL_ResetFrameStats();

// Stereo colour conversion of pixels about to be uploaded (no-op when stereo is off or the layout is
// unknown).
void OGL_ConvertTextureToStereo(void* pixels, int width, int height, GLenum format, GLenum type);

// Colour anaglyph of one colour given as 0..255 channels, in place.
void OGL_ColorToAnaglyph(uint8_t* r, uint8_t* g, uint8_t* b);
// Monochrome anaglyph of one colour given as 0..255 channels, in place.
void OGL_ColorToGreyAnaglyph(uint8_t* r, uint8_t* g, uint8_t* b);
void OGL_BuildGreyCurve(); // the brightness curve of the monochrome anaglyph

// Sets the projection and model-view of pane (viewport already set) from its camera slot.
void OGL_ApplyPaneCamera(int pane, int x, int y, int width, int height);

// Statistics text of the debug overlay; drawn at the end of the frame.
void OGL_DrawStatistics();
