// Shared by the picking tests: display-group nodes built from hand-made meshes, and an exhaustive
// triangle-by-triangle reference that the picks are checked against.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "3D/Picking.h"
#include "Objects/BaseGroup.h"
#include "Objects/ObjNode.h"
#include "System/Memory.h"

// A heap vertex-array mesh; the geometry object adopts the arrays.
inline MetaObject* MakeMeshObject(const std::vector<Point3D>& points, const std::vector<uint32_t>& triangles)
{
    VertexArrayGeometry geometry = {};
    geometry.varPool = -1;
    geometry.numPoints = int32_t(points.size());
    geometry.numTriangles = int32_t(triangles.size() / 3);
    geometry.points = (Point3D*)AllocPtr(int32_t(points.size() * sizeof(Point3D)));
    geometry.triangles = (uint32_t*)AllocPtr(int32_t(triangles.size() * sizeof(uint32_t)));
    std::copy(points.begin(), points.end(), geometry.points);
    std::copy(triangles.begin(), triangles.end(), geometry.triangles);
    return MO_CreateNewObjectOfType(MO_TYPE_GEOMETRY, MO_GEOMETRY_SUBTYPE_VERTEXARRAY, &geometry);
}

// A display-group node at position showing the meshes, with a bounding radius that covers them.
inline ObjNode* MakePickNode(const Point3D& position, float rotationY, float scale,
                             const std::vector<MetaObject*>& meshes, uint32_t cType = 1, int slot = 100)
{
    ObjectDefinition def = {};
    def.genre = DISPLAY_GROUP_GENRE;
    def.slot = int16_t(slot);
    def.position = position;
    def.rotationY = rotationY;
    def.scale = scale;
    ObjNode* node = MakeNewObject(&def);
    CreateBaseGroup(node);
    float radius = 0;
    for (MetaObject* mesh : meshes) {
        MO_AppendToGroup(node->BaseGroup, mesh);
        MO_DisposeObjectReference(mesh); // the group holds it now
        const VertexArrayGeometry* g = MO_GetGeometryData(mesh);
        for (int i = 0; i < g->numPoints; i++)
            radius =
                std::max(radius, std::sqrt(g->points[i].x * g->points[i].x + g->points[i].y * g->points[i].y +
                                           g->points[i].z * g->points[i].z));
    }
    node->BoundingRadius = radius * scale * 1.01f;
    node->CType = cType;
    return node;
}

// One triangle of the world as the reference sees it.
struct ReferenceTriangle
{
    Point3D corner[3];
    ObjNode* owner; // null for terrain, fences and water
};

struct ReferenceHit
{
    bool hit = false;
    bool decisive = true; // false when the nearest hit lies in the tolerance band of an edge or a tie
    double distance = 0;
    Vector3D normal = {0, 0, 0};
    ObjNode* owner = nullptr;
};

// The plane normal the game reports: normalize((p2 - p1) x (p0 - p1)).
inline Vector3D ReferenceNormal(const Point3D c[3])
{
    double ax = c[2].x - c[1].x, ay = c[2].y - c[1].y, az = c[2].z - c[1].z;
    double bx = c[0].x - c[1].x, by = c[0].y - c[1].y, bz = c[0].z - c[1].z;
    double nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
    double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length < 1e-9)
        return {0, 0, 0};
    return {float(nx / length), float(ny / length), float(nz / length)};
}

// Every triangle in order, crossing found by Moller-Trumbore in double precision. maxDistance: the
// segment's length (or infinity for a ray). frontOnly keeps triangles facing the start. A hit within
// margin of an edge, of either end, of the plane's direction, or of another hit's distance makes the
// answer indecisive, since float picks may then go either way.
inline ReferenceHit ReferencePick(const std::vector<ReferenceTriangle>& triangles, const Point3D& origin,
                                  const Vector3D& d, double maxDistance, bool frontOnly)
{
    const double edgeMargin = 2e-3, distanceMargin = 0.05, facingMargin = 2e-3;
    ReferenceHit best;
    best.distance = 1e30;
    std::vector<double> distances;
    bool nearestMarginal = false;
    for (const ReferenceTriangle& tri : triangles) {
        Vector3D n = ReferenceNormal(tri.corner);
        if (n.x == 0 && n.y == 0 && n.z == 0)
            continue;
        double facing = n.x * d.x + n.y * d.y + n.z * d.z;
        if (frontOnly && facing > facingMargin)
            continue;
        bool marginal = std::fabs(facing) < facingMargin || (frontOnly && facing > -facingMargin);
        double e1[3] = {tri.corner[1].x - tri.corner[0].x, tri.corner[1].y - tri.corner[0].y,
                        tri.corner[1].z - tri.corner[0].z};
        double e2[3] = {tri.corner[2].x - tri.corner[0].x, tri.corner[2].y - tri.corner[0].y,
                        tri.corner[2].z - tri.corner[0].z};
        double p[3] = {d.y * e2[2] - d.z * e2[1], d.z * e2[0] - d.x * e2[2], d.x * e2[1] - d.y * e2[0]};
        double det = e1[0] * p[0] + e1[1] * p[1] + e1[2] * p[2];
        if (std::fabs(det) < 1e-12)
            continue;
        double s[3] = {origin.x - tri.corner[0].x, origin.y - tri.corner[0].y, origin.z - tri.corner[0].z};
        double u = (s[0] * p[0] + s[1] * p[1] + s[2] * p[2]) / det;
        double q[3] = {s[1] * e1[2] - s[2] * e1[1], s[2] * e1[0] - s[0] * e1[2], s[0] * e1[1] - s[1] * e1[0]};
        double v = (d.x * q[0] + d.y * q[1] + d.z * q[2]) / det;
        double t = (e2[0] * q[0] + e2[1] * q[1] + e2[2] * q[2]) / det;
        if (u < -edgeMargin || v < -edgeMargin || u + v > 1 + edgeMargin || t < -distanceMargin ||
            t > maxDistance + distanceMargin)
            continue;
        if (u < edgeMargin || v < edgeMargin || u + v > 1 - edgeMargin || t < distanceMargin ||
            t > maxDistance - distanceMargin)
            marginal = true;
        distances.push_back(t);
        if (t < best.distance) {
            best.hit = true;
            best.distance = t;
            best.normal = n;
            best.owner = tri.owner;
            nearestMarginal = marginal;
        }
    }
    best.decisive = !nearestMarginal;
    int near = 0;
    for (double t : distances)
        near += std::fabs(t - best.distance) < distanceMargin;
    if (near > 1)
        best.decisive = false;
    return best;
}

// The world-space triangles of a node's meshes, through its transform.
inline void AppendNodeTriangles(ObjNode* node, std::vector<ReferenceTriangle>* out)
{
    const MetaObjectGroupData* group = MO_GetGroupData(node->BaseGroup);
    for (int i = 0; i < group->numObjectsInGroup; i++) {
        MetaObject* obj = group->objects[i];
        if (obj->type != MO_TYPE_GEOMETRY)
            continue;
        const VertexArrayGeometry* g = MO_GetGeometryData(obj);
        for (int t = 0; t < g->numTriangles; t++) {
            ReferenceTriangle tri;
            for (int k = 0; k < 3; k++)
                TransformPoint(&g->points[g->triangles[t * 3 + k]], &node->Transform, &tri.corner[k]);
            tri.owner = node;
            out->push_back(tri);
        }
    }
}

inline void AppendMeshTriangles(const VertexArrayGeometry* g, std::vector<ReferenceTriangle>* out)
{
    for (int t = 0; t < g->numTriangles; t++) {
        ReferenceTriangle tri;
        for (int k = 0; k < 3; k++)
            tri.corner[k] = g->points[g->triangles[t * 3 + k]];
        tri.owner = nullptr;
        out->push_back(tri);
    }
}
