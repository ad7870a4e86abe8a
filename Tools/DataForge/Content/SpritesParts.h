// Drawn parts that several sprite modules use: emblems, gauge symbols, weapon icons, silhouettes.
#pragma once

#include "DataForge/Content/Canvas2D.h"

// A pterosaur seen from above with spread wings, `span` pixels wide, centred on (cx, cy).
void DrawWingedEmblem(Canvas& canvas, float cx, float cy, float span, CanvasColor color);
// The same seen from the side in flight (wings raised by `wingLift`, -1..1), for silhouettes.
void DrawPterosaurProfile(Canvas& canvas, float cx, float cy, float span, float wingLift, CanvasColor color);
// Symbol of a gauge: 0 health (cross), 1 fuel (flame), 2 shield; `size` is the half width.
void DrawGaugeSymbol(Canvas& canvas, int symbol, float cx, float cy, float size, CanvasColor color);
// The 128 x 128 icon of weapon 0 (stun gun), 1 (flare), 2 (missile), 3 (sonic scream), 4 (bomb).
Canvas WeaponIcon(int weapon);
// A pine tree silhouette standing on (cx, baseY).
void DrawPine(Canvas& canvas, float cx, float baseY, float height, CanvasColor color);
