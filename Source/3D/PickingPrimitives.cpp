// PickingPrimitives.cpp: the tests every pick is built from: coarse box and sphere rejection, the point
// in a triangle, and the nearest crossing of a segment or ray with a triangle mesh.
#include <algorithm>
#include <cmath>

#include "3D/Picking.h"
#include "3D/PickingLocal.h"

bool gPickBothSides = false;

constexpr float kEdgeTolerance = 0.0001f; // points on an edge count as inside
constexpr float kParallelLimit = 0.0001f; // |n . d| below this: the line runs along the plane

bool PointInTriangle3D(const Point3D* point, const Point3D triangle[3], const Vector3D* normal)
{
    // Work in the coordinate plane the triangle is least foreshortened in; ties go to the later choice.
    float ax = std::fabs(normal->x), ay = std::fabs(normal->y), az = std::fabs(normal->z);
    float pu, pv, au, av, bu, bv, cu, cv;
    if (ax > ay && ax > az) {
        pu = point->y, pv = point->z, au = triangle[0].y, av = triangle[0].z;
        bu = triangle[1].y, bv = triangle[1].z, cu = triangle[2].y, cv = triangle[2].z;
    } else if (ay > az) {
        pu = point->z, pv = point->x, au = triangle[0].z, av = triangle[0].x;
        bu = triangle[1].z, bv = triangle[1].x, cu = triangle[2].z, cv = triangle[2].x;
    } else {
        pu = point->x, pv = point->y, au = triangle[0].x, av = triangle[0].y;
        bu = triangle[1].x, bv = triangle[1].y, cu = triangle[2].x, cv = triangle[2].y;
    }

    // alpha weights B, beta weights C.
    float e = bu - au, m = pu - au, f = cu - au, dv = bv - av;
    float alpha, beta;
    if (e >= -kEdgeTolerance && e <= kEdgeTolerance) {
        beta = m / f;
        if (!(beta >= -kEdgeTolerance && beta <= 1.0f + kEdgeTolerance))
            return false;
        alpha = (pv - av - beta * (cv - av)) / dv;
    } else {
        beta = (e * (pv - av) - dv * m) / ((cv - av) * e - f * dv);
        if (!(beta >= -kEdgeTolerance && beta <= 1.0f + kEdgeTolerance))
            return false;
        alpha = (m - beta * f) / e;
    }
    return alpha >= -kEdgeTolerance && alpha + beta <= 1.0f + kEdgeTolerance;
}

bool SegmentMayCrossBox(const PickSegment* segment, const BoundingBox* box)
{
    const Point3D& a = segment->start;
    const Point3D& b = segment->end;
    if ((a.x < box->minX && b.x < box->minX) || (a.x > box->maxX && b.x > box->maxX))
        return false;
    if ((a.z < box->minZ && b.z < box->minZ) || (a.z > box->maxZ && b.z > box->maxZ))
        return false;
    if ((a.y < box->minY && b.y < box->minY) || (a.y > box->maxY && b.y > box->maxY))
        return false;
    return true;
}

bool SegmentHitsSphere(const PickSegment* segment, const Vector3D* direction, const Point3D* centre,
                       float radius)
{
    double r2 = double(radius) * radius;
    double lx = double(centre->x) - segment->start.x, ly = double(centre->y) - segment->start.y,
           lz = double(centre->z) - segment->start.z;
    double p = direction->x * lx + direction->y * ly + direction->z * lz;
    double l2 = lx * lx + ly * ly + lz * lz;
    if (p < 0 && l2 > r2)
        return false; // behind a start that lies outside
    if (r2 < l2 - p * p)
        return false; // the line passes too far away
    double mx = double(centre->x) - segment->end.x, my = double(centre->y) - segment->end.y,
           mz = double(centre->z) - segment->end.z;
    double q = direction->x * mx + direction->y * my + direction->z * mz;
    if (q > 0 && mx * mx + my * my + mz * mz > r2)
        return false; // beyond an end that lies outside
    return true;
}

bool RayHitsSphere(const PickRay* ray, const Point3D* centre, float radius)
{
    float r2 = radius * radius;
    float lx = centre->x - ray->origin.x, ly = centre->y - ray->origin.y, lz = centre->z - ray->origin.z;
    float p = ray->direction.x * lx + ray->direction.y * ly + ray->direction.z * lz;
    float l2 = lx * lx + ly * ly + lz * lz;
    return !((p < 0 && r2 < l2) || r2 < l2 - p * p);
}

static float Dot(const Vector3D* n, const Point3D* p)
{
    return n->x * p->x + n->y * p->y + n->z * p->z;
}

// The plane of triangle t: the cache's, or computed now. False for a degenerate triangle.
static bool TrianglePlane(const VertexArrayGeometry* mesh, const PlaneEquation* planes, int t,
                          Point3D corners[3], PlaneEquation* plane)
{
    const uint32_t* index = &mesh->triangles[t * 3];
    corners[0] = mesh->points[index[0]];
    corners[1] = mesh->points[index[1]];
    corners[2] = mesh->points[index[2]];
    if (planes) {
        *plane = planes[t];
    } else {
        *plane = {{0, 0, 0}, 0};
        PlaneFromTriangle(corners, plane);
    }
    return plane->normal.x != 0 || plane->normal.y != 0 || plane->normal.z != 0;
}

// Both ends of the segment beyond one face of the triangle's box, grown a little so that crossings the
// edge tolerance accepts are never rejected here: the triangle cannot be crossed.
static bool SegmentMissesTriangleBox(const PickSegment* segment, const VertexArrayGeometry* mesh, int t)
{
    const uint32_t* index = &mesh->triangles[t * 3];
    const Point3D& a = mesh->points[index[0]];
    const Point3D& b = mesh->points[index[1]];
    const Point3D& c = mesh->points[index[2]];
    const float start[3] = {segment->start.x, segment->start.y, segment->start.z};
    const float end[3] = {segment->end.x, segment->end.y, segment->end.z};
    const float corner[3][3] = {{a.x, a.y, a.z}, {b.x, b.y, b.z}, {c.x, c.y, c.z}};
    float low[3], high[3], extent = 0;
    for (int axis = 0; axis < 3; axis++) {
        low[axis] = std::min(corner[0][axis], std::min(corner[1][axis], corner[2][axis]));
        high[axis] = std::max(corner[0][axis], std::max(corner[1][axis], corner[2][axis]));
        extent = std::max(extent, high[axis] - low[axis]);
    }
    float margin = 0.01f + extent * 0.001f;
    for (int axis = 0; axis < 3; axis++) {
        if ((start[axis] < low[axis] - margin && end[axis] < low[axis] - margin) ||
            (start[axis] > high[axis] + margin && end[axis] > high[axis] + margin))
            return true;
    }
    return false;
}

bool SegmentAgainstMesh(const PickSegment* segment, const Vector3D* d, const VertexArrayGeometry* mesh,
                        const PlaneEquation* planes, PickHit* best)
{
    bool hit = false;
    for (int t = 0; t < mesh->numTriangles; t++) {
        if (SegmentMissesTriangleBox(segment, mesh, t))
            continue; // far cheaper than the plane, which needs a square root
        Point3D corners[3];
        PlaneEquation plane;
        if (!TrianglePlane(mesh, planes, t, corners, &plane))
            continue;
        const Vector3D& n = plane.normal;
        float h = n.x * d->x + n.y * d->y + n.z * d->z;
        if ((!gPickBothSides && h >= kParallelLimit) || h == 0)
            continue; // faces away, or runs along the plane
        float along = -(Dot(&n, &segment->start) + plane.constant) / h;
        if (along < 0)
            continue; // the plane is behind the start
        float fromEnd = -(Dot(&n, &segment->end) + plane.constant) / h;
        if (fromEnd >= 0)
            continue; // the segment stops before the plane (or just on it)
        Point3D p = {segment->start.x + d->x * along, segment->start.y + d->y * along,
                     segment->start.z + d->z * along};
        if (!PointInTriangle3D(&p, corners, &n))
            continue;
        hit = true;
        if (along < best->distance)
            *best = {p, n, along};
    }
    return hit;
}

bool RayAgainstMesh(const PickRay* ray, const VertexArrayGeometry* mesh, const PlaneEquation* planes,
                    PickHit* best)
{
    const Vector3D* d = &ray->direction;
    bool hit = false;
    for (int t = 0; t < mesh->numTriangles; t++) {
        Point3D corners[3];
        PlaneEquation plane;
        if (!TrianglePlane(mesh, planes, t, corners, &plane))
            continue;
        const Vector3D& n = plane.normal;
        float h = n.x * d->x + n.y * d->y + n.z * d->z;
        if (h >= -kParallelLimit && h <= kParallelLimit)
            continue;
        float along = -(Dot(&n, &ray->origin) + plane.constant) / h;
        if (along < 0)
            continue;
        Point3D p = {ray->origin.x + d->x * along, ray->origin.y + d->y * along,
                     ray->origin.z + d->z * along};
        if (!PointInTriangle3D(&p, corners, &n))
            continue;
        hit = true;
        if (along < best->distance)
            *best = {p, n, along};
    }
    return hit;
}

void ReportPickHit(const PickHit* hit, Point3D* outPoint, Vector3D* outNormal, float* outDistance)
{
    if (outPoint)
        *outPoint = hit->point;
    if (outNormal)
        *outNormal = hit->normal;
    if (outDistance)
        *outDistance = hit->distance;
}

bool SegmentHitsMesh(const PickSegment* segment, const Vector3D* direction, const VertexArrayGeometry* mesh,
                     Point3D* outPoint, Vector3D* outNormal, float* outDistance)
{
    PickHit best = {{0, 0, 0}, {0, 0, 0}, PICK_SEGMENT_NO_HIT};
    bool hit = SegmentAgainstMesh(segment, direction, mesh, nullptr, &best);
    if (hit)
        ReportPickHit(&best, outPoint, outNormal, nullptr);
    if (outDistance)
        *outDistance = best.distance;
    return hit;
}

bool SegmentHitsCachedMesh(const PickSegment* segment, const Vector3D* direction, const PlaneEquation* planes,
                           const VertexArrayGeometry* mesh, Point3D* outPoint, Vector3D* outNormal,
                           float* outDistance)
{
    PickHit best = {{0, 0, 0}, {0, 0, 0}, PICK_SEGMENT_NO_HIT};
    bool hit = SegmentAgainstMesh(segment, direction, mesh, planes, &best);
    if (hit)
        ReportPickHit(&best, outPoint, outNormal, nullptr);
    if (outDistance)
        *outDistance = best.distance;
    return hit;
}

bool RayHitsMesh(PickRay* ray, const VertexArrayGeometry* mesh, Point3D* outPoint, Vector3D* outNormal)
{
    PickHit best = {{0, 0, 0}, {0, 0, 0}, PICK_RAY_NO_HIT};
    bool hit = RayAgainstMesh(ray, mesh, nullptr, &best);
    if (hit)
        ReportPickHit(&best, outPoint, outNormal, nullptr);
    ray->distance = best.distance;
    return hit;
}
