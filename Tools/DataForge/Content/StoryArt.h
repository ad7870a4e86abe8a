// The illustrations of the story: its nine slides, the win slide and the logo.
#pragma once

#include "DataForge/Content/Canvas2D.h"

Canvas StorySlide(int index); // 0 .. 8, 512 x 512, opaque
Canvas WinSlide();            // 512 x 512, opaque
Canvas Logo();                // 1024 x 256, with alpha
Canvas GameIcon();            // 256 x 256, with alpha: the desktop icon
