// Procedural geometry for the generated models: primitives (lathe surfaces, boxes, cylinders, cones,
// spheres, tori, extruded outlines), transforms, normal generation and UV mapping. Every primitive
// is wound counter-clockwise seen from outside and comes with UVs; normals are made by
// SmoothNormals or Facet once a shape is finished.
//
// The trigonometry here is the project's own so that the same shapes come out, bit for bit, on
// every machine and at every optimisation level (a library's sin may round differently).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

constexpr float kPi = 3.14159265358979f;

float DetSin(float radians);
float DetCos(float radians);
float DetAtan2(float y, float x); // about 0.002 radians of error; enough for shapes and patterns

struct Vec2
{
    float x = 0, y = 0;
};

struct Vec3
{
    float x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline float Dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Length(Vec3 v);
Vec3 Normalize(Vec3 v); // (0, 1, 0) for a zero vector

struct Color8
{
    uint8_t r = 255, g = 255, b = 255, a = 255;
};

// An indexed triangle mesh under construction. Normals, UVs and colours are empty or one per point.
struct Mesh
{
    std::vector<Vec3> points;
    std::vector<Vec3> normals;
    std::vector<Vec2> uvs;
    std::vector<Color8> colors;
    std::vector<uint32_t> triangles; // three indices a triangle
};

// ---- Primitives (all with UVs, without normals) ----

// Revolves `profile` (x = radius, y = height, listed bottom to top) about the Y axis with `segments`
// steps; u runs once around (times uRepeat), v along the profile (times vRepeat). Repeat a profile
// point to get a hard edge there.
Mesh Lathe(const std::vector<Vec2>& profile, int segments, float uRepeat = 1, float vRepeat = 1);
Mesh Sphere(float radius, int segments, int rings);
Mesh Ellipsoid(Vec3 radii, int segments, int rings);
// A capped frustum along +Y from y = 0 to `height`; rTop 0 makes a cone.
Mesh Cylinder(float rBottom, float rTop, float height, int segments, bool capped = true);
// A ring about the Y axis: `major` radius to the tube's centre, `minor` tube radius.
Mesh Torus(float major, float minor, int segments, int sides);
Mesh Box(Vec3 low, Vec3 high); // each face maps the whole texture
// A flat quad in the XZ plane facing +Y (or -Y when `down`), UVs 0..uvRepeat.
Mesh QuadXZ(float halfX, float halfZ, float uvRepeat, bool down = false);
// A flat quad in the XY plane facing +Z, from (-halfWidth, 0) to (halfWidth, height); v = 0 at the top.
Mesh QuadXY(float halfWidth, float height);
// The outline (a simple polygon in XY, either direction) extruded from z = -depth/2 to +depth/2 with front,
// back and sides; front UVs map the outline's bounds.
Mesh Extrude(const std::vector<Vec2>& outline, float depth);
// A tube of `sides` sides following `path` with the given radius at each path point (open ends).
Mesh Tube(const std::vector<Vec3>& path, const std::vector<float>& radii, int sides);

// ---- Editing ----

void Append(Mesh& into, const Mesh& part); // both must have the same per-point arrays
void Translate(Mesh& mesh, Vec3 offset);
void Scale(Mesh& mesh, Vec3 factors); // normals follow (inverse transpose)
void RotateX(Mesh& mesh, float radians);
void RotateY(Mesh& mesh, float radians);
void RotateZ(Mesh& mesh, float radians);
// Moves every point to shape(point); normals must be remade afterwards.
void Deform(Mesh& mesh, const std::function<Vec3(Vec3)>& shape);
void FlipWinding(Mesh& mesh); // turns the faces inside out (skies seen from within)

// ---- Normals ----

// Area-weighted vertex normals; vertices at the same position (seams, duplicated rings) share
// theirs when the surfaces meet at less than creaseDegrees, so hard edges stay hard.
void SmoothNormals(Mesh& mesh, float creaseDegrees = 50);
// Unshares every vertex so each triangle is flat-shaded (the low-poly look of rocks and crystals).
void Facet(Mesh& mesh);

// ---- UVs and colours ----

void MapPlanarXZ(Mesh& mesh, float unitsPerRepeat); // top-down projection
void MapPlanarXY(Mesh& mesh, float unitsPerRepeat); // front projection
void MapCylindrical(Mesh& mesh, float uRepeat, float unitsPerV);
void MapSpherical(Mesh& mesh, Vec3 centre, float uRepeat, float vRepeat);
void Paint(Mesh& mesh, Color8 color);
// Colours by height between `low` at y = y0 and `high` at y = y1.
void PaintByHeight(Mesh& mesh, float y0, Color8 low, float y1, Color8 high);

struct Bounds
{
    Vec3 low, high;
};
Bounds MeshBounds(const Mesh& mesh);
