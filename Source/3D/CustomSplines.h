// CustomSplines.h: smooth paths made at run time (the wormhole travel). A natural cubic spline through a
// handful of nubs, one unit of parameter per span, sampled into a dense point list held in one of 40
// slots until its user releases it.
#pragma once

#include <cstdint>

#include "3D/Math3D.h"

constexpr int MAX_CUSTOM_SPLINES = 40;

struct CustomSplineSlot
{
    bool inUse;
    int32_t numPoints;
    Point3D* points; // numPoints samples along the path; owned by the slot
};

extern CustomSplineSlot gCustomSplines[MAX_CUSTOM_SPLINES];

// Samples pointsPerSpan points on each span (the last nub itself is never a sample) into the first free
// slot and returns its index; -1 when every slot is in use, or for fewer than 3 nubs or no samples.
int16_t GenerateCustomSpline(int16_t numNubs, const Point3D* nubs, int32_t pointsPerSpan);
void ReleaseCustomSpline(int16_t slot); // frees the slot's points; a free or unknown slot is left alone
void ReleaseAllCustomSplines();         // every slot (level end)
void ClearCustomSplineTable();          // forgets every slot without freeing anything (level start)
