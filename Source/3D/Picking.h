// Picking.h: exact geometry picking. Where does a line segment first cross the drawn triangles of the
// world, and where does a ray first strike them? Four kinds of geometry can be picked: the meshes of
// world objects (skinned meshes of skeleton nodes, a cached world-space copy of display groups), the
// terrain's supertile meshes, the fences and the water patches.
//
// Every hit reports the hit point, the plane normal of the triangle struck (for its vertex order, as
// PlaneFromTriangle gives it) and the distance t from the start along the unit direction. Only strictly
// nearer hits replace earlier ones, so equal distances go to the first met: list order of nodes, then
// mesh order, then triangle order. Nothing is hit: segments report 10,000,000, rays 1,000,000.
//
// A zero-length segment or a ray without a direction has no unit direction and hits nothing.
// Queries allocate nothing; only the lazy fill of a node's world-geometry cache does, once per mesh.
#pragma once

#include <cstdint>

#include "3D/Math3D.h"
#include "3D/MetaObjects.h"

struct ObjNode;

struct PickSegment
{
    Point3D start;
    Point3D end;
};

struct PickRay
{
    Point3D origin;
    Vector3D direction; // unit length; the caller normalises it
    float distance;     // output: distance of the nearest hit along direction
};

constexpr float PICK_SEGMENT_NO_HIT = 10000000.0f;
constexpr float PICK_RAY_NO_HIT = 1000000.0f;
constexpr int PICK_GRID_REACH = 2; // grid rejection keeps nodes within this many 1024-unit cells of an end

// When true, segment tests also accept back faces (triangles whose normal points along the segment).
// Callers set it just before an object segment query and clear it just after; the fence and water
// tests set and clear it themselves. Ray tests always accept both faces.
extern bool gPickBothSides;

// ---------------------------------------------------------------------------------------------------------
// Object queries (PickingObjects.cpp)
// ---------------------------------------------------------------------------------------------------------

// Nearest world node (slot below 3000) hit by the segment among live nodes with no statusMask bit and a
// cTypeMask bit. With gridReject a node is tested only if on every axis its GridCell is within 2 of the
// start's or the end's cell. Outputs may be null; outDistance gets 10,000,000 when nothing was hit.
// Genres other than skeleton, display group and custom draw are fatal.
ObjNode* OGL_DoLineSegmentCollision(const PickSegment* segment, uint32_t statusMask, uint32_t cTypeMask,
                                    Point3D* outPoint, Vector3D* outNormal, float* outDistance,
                                    bool gridReject);
// The same for a ray (no grid rejection, both faces); ray->distance gets the nearest distance.
ObjNode* OGL_DoRayCollision(PickRay* ray, uint32_t statusMask, uint32_t cTypeMask, Point3D* outPoint,
                            Vector3D* outNormal);
// Fills a display group's world-geometry cache from its BaseGroup and sets WorldPointsValid.
void CalcObjectWorldPoints(ObjNode* node);

// ---------------------------------------------------------------------------------------------------------
// World geometry (PickingWorld.cpp): true on a hit, with the nearest hit's point and (optional) normal
// and distance. Segment distances are 10,000,000 without a hit.
// ---------------------------------------------------------------------------------------------------------

bool SegmentHitsTerrain(const PickSegment* segment, Point3D* outPoint, Vector3D* outNormal,
                        float* outDistance); // built supertiles, front faces unless gPickBothSides
// Every fence but the enemy barriers, both faces; the normal is turned to face the segment's start.
bool SegmentHitsFences(const PickSegment* segment, Point3D* outPoint, Vector3D* outNormal,
                       float* outDistance);
// Every water patch, both faces; the normal is turned to face the segment's start.
bool SegmentHitsWater(const PickSegment* segment, Point3D* outPoint, Vector3D* outNormal, float* outDistance);
// Built supertiles whose 840-unit sphere the ray passes; ray->distance is written only on a hit.
bool RayHitsTerrain(PickRay* ray, Point3D* outPoint, Vector3D* outNormal);

// ---------------------------------------------------------------------------------------------------------
// Primitives (PickingPrimitives.cpp)
// ---------------------------------------------------------------------------------------------------------

// Does a point on the triangle's plane lie inside it? Edges count as inside (tolerance 0.0001).
bool PointInTriangle3D(const Point3D* point, const Point3D triangle[3], const Vector3D* normal);
// False only when the segment certainly misses the box (both ends beyond one face).
bool SegmentMayCrossBox(const PickSegment* segment, const BoundingBox* box);
// Does the segment (unit direction given) pass within the sphere?
bool SegmentHitsSphere(const PickSegment* segment, const Vector3D* direction, const Point3D* centre,
                       float radius);
bool RayHitsSphere(const PickRay* ray, const Point3D* centre, float radius);
// Nearest front-face (any face with gPickBothSides) crossing of a mesh, planes from its triangles.
bool SegmentHitsMesh(const PickSegment* segment, const Vector3D* direction, const VertexArrayGeometry* mesh,
                     Point3D* outPoint, Vector3D* outNormal, float* outDistance);
// The same with precomputed triangle planes (a world-geometry cache entry).
bool SegmentHitsCachedMesh(const PickSegment* segment, const Vector3D* direction, const PlaneEquation* planes,
                           const VertexArrayGeometry* mesh, Point3D* outPoint, Vector3D* outNormal,
                           float* outDistance);
// Over a skeleton node's current skinned meshes.
bool SegmentHitsSkinnedMeshes(const PickSegment* segment, const ObjNode* node, Point3D* outPoint,
                              Vector3D* outNormal, float* outDistance);
// Nearest hit of a ray on a mesh, both faces; ray->distance gets it (1,000,000 when none).
bool RayHitsMesh(PickRay* ray, const VertexArrayGeometry* mesh, Point3D* outPoint, Vector3D* outNormal);
// Over a display group's cached meshes (filled first when stale) / a skeleton's skinned meshes.
bool RayHitsCachedMeshes(PickRay* ray, ObjNode* node, Point3D* outPoint, Vector3D* outNormal);
bool RayHitsSkinnedMeshes(PickRay* ray, const ObjNode* node, Point3D* outPoint, Vector3D* outNormal);
