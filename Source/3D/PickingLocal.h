// PickingLocal.h: what the picking files share among themselves. Not for the rest of the game.
#pragma once

#include "3D/Picking.h"

// The nearest hit found so far; distance starts at the query's no-hit distance.
struct PickHit
{
    Point3D point;
    Vector3D normal;
    float distance;
};

// Every triangle of the mesh in index order; a strictly nearer crossing replaces *best. planes may be
// null (computed per triangle). True when any triangle was crossed, nearer or not.
bool SegmentAgainstMesh(const PickSegment* segment, const Vector3D* direction,
                        const VertexArrayGeometry* mesh, const PlaneEquation* planes, PickHit* best);
bool RayAgainstMesh(const PickRay* ray, const VertexArrayGeometry* mesh, const PlaneEquation* planes,
                    PickHit* best);
// Copies a hit to whichever outputs are given.
void ReportPickHit(const PickHit* hit, Point3D* outPoint, Vector3D* outNormal, float* outDistance);
// The unit direction from start to end; false for a segment too short to have one.
bool SegmentDirection(const PickSegment* segment, Vector3D* direction);
