// The 2D overlay space every 2D drawer uses (HUD, menus, sprites, fades): a logical 640 x 480
// screen divided by the HUD scale and fitted into the current pane, y growing downward.
#pragma once

extern float gOverlayInvScale; // 1 / the scale of the last SetOverlayProjection
extern float gOverlayLeft;     // the pane's edges in overlay units; left and top are negative when
extern float gOverlayRight;    // the pane is wider or taller than 4:3
extern float gOverlayTop;
extern float gOverlayBottom;

// Lighting, face culling and depth test off, textures clamped and always blended; projection
// over the current pane's viewport; model-view identity. In stereo the edges shift by eyeOffset
// (left eye -, right eye +).
void SetOverlayProjection(float eyeOffset, float scale);

// The overlay edges SetOverlayProjection(_, scale) gives pane (gNumPanes: the full window), without
// touching OpenGL; input maps the mouse with it.
void GetOverlayRect(int pane, float scale, float* top, float* bottom, float* left, float* right);
