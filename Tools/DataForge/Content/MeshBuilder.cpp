#include "DataForge/Content/MeshBuilder.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <tuple>

// ---------------------------------------------------------------------------------------------------------
// Deterministic math
// ---------------------------------------------------------------------------------------------------------

// Reduced to [-pi/2, pi/2] and summed as a Taylor series in double precision: far below a float's
// rounding step there, and free of any library's rounding choices.
float DetSin(float radians)
{
    const double pi = 3.14159265358979323846;
    double x = radians;
    double turns = std::floor((x + pi) / (2 * pi));
    x -= turns * 2 * pi; // now in [-pi, pi)
    if (x > pi / 2)
        x = pi - x;
    else if (x < -pi / 2)
        x = -pi - x;
    double x2 = x * x, term = x, sum = x;
    for (int n = 1; n <= 8; n++) {
        term *= -x2 / double((2 * n) * (2 * n + 1));
        sum += term;
    }
    return static_cast<float>(sum);
}

float DetCos(float radians)
{
    return DetSin(radians + kPi / 2);
}

float DetAtan2(float y, float x)
{
    if (x == 0 && y == 0)
        return 0;
    float ax = std::fabs(x), ay = std::fabs(y);
    float ratio = std::min(ax, ay) / std::max(ax, ay);
    float angle = kPi / 4 * ratio - ratio * (ratio - 1) * (0.2447f + 0.0663f * ratio);
    if (ay > ax)
        angle = kPi / 2 - angle;
    if (x < 0)
        angle = kPi - angle;
    return y < 0 ? -angle : angle;
}

float Length(Vec3 v)
{
    return std::sqrt(Dot(v, v));
}

Vec3 Normalize(Vec3 v)
{
    float length = Length(v);
    if (length <= 0)
        return {0, 1, 0};
    return v * (1 / length);
}

// ---------------------------------------------------------------------------------------------------------
// Primitives
// ---------------------------------------------------------------------------------------------------------

static void AddTriangle(Mesh& mesh, uint32_t a, uint32_t b, uint32_t c)
{
    mesh.triangles.insert(mesh.triangles.end(), {a, b, c});
}

Mesh Lathe(const std::vector<Vec2>& profile, int segments, float uRepeat, float vRepeat)
{
    if (profile.size() < 2 || segments < 3)
        throw std::invalid_argument("Lathe: needs two profile points and three segments");
    std::vector<float> along(profile.size(), 0);
    for (size_t k = 1; k < profile.size(); k++) {
        Vec3 step = {profile[k].x - profile[k - 1].x, profile[k].y - profile[k - 1].y, 0};
        along[k] = along[k - 1] + Length(step);
    }
    float total = along.back() > 0 ? along.back() : 1;

    Mesh mesh;
    uint32_t columns = uint32_t(segments) + 1;
    for (size_t k = 0; k < profile.size(); k++) {
        for (uint32_t i = 0; i < columns; i++) {
            float angle = 2 * kPi * float(i % uint32_t(segments)) / float(segments);
            mesh.points.push_back({profile[k].x * DetCos(angle), profile[k].y, profile[k].x * DetSin(angle)});
            mesh.uvs.push_back({uRepeat * float(i) / float(segments), vRepeat * along[k] / total});
        }
    }
    for (uint32_t k = 0; k + 1 < profile.size(); k++) {
        for (uint32_t i = 0; i < uint32_t(segments); i++) {
            uint32_t p = k * columns + i;
            AddTriangle(mesh, p, p + columns, p + 1);
            AddTriangle(mesh, p + 1, p + columns, p + columns + 1);
        }
    }
    return mesh;
}

Mesh Sphere(float radius, int segments, int rings)
{
    std::vector<Vec2> profile;
    for (int k = 0; k <= rings; k++) {
        float angle = -kPi / 2 + kPi * float(k) / float(rings);
        profile.push_back({radius * DetCos(angle), radius * DetSin(angle)});
    }
    profile.front().x = profile.back().x = 0;
    return Lathe(profile, segments);
}

Mesh Ellipsoid(Vec3 radii, int segments, int rings)
{
    Mesh mesh = Sphere(1, segments, rings);
    Scale(mesh, radii);
    return mesh;
}

Mesh Cylinder(float rBottom, float rTop, float height, int segments, bool capped)
{
    std::vector<Vec2> profile;
    if (capped)
        profile.insert(profile.end(), {{0, 0}, {rBottom, 0}});
    profile.insert(profile.end(), {{rBottom, 0}, {rTop, height}});
    if (capped && rTop > 0)
        profile.insert(profile.end(), {{rTop, height}, {0, height}});
    return Lathe(profile, segments);
}

Mesh Torus(float major, float minor, int segments, int sides)
{
    std::vector<Vec2> profile;
    for (int k = 0; k <= sides; k++) {
        float angle = -kPi + 2 * kPi * float(k) / float(sides);
        profile.push_back({major + minor * DetCos(angle), minor * DetSin(angle)});
    }
    return Lathe(profile, segments, 4, 1);
}

// Adds a quad whose corners are centre -u-v, +u-v, +u+v, -u+v: counter-clockwise seen from u x v.
static void AddQuad(Mesh& mesh, Vec3 centre, Vec3 u, Vec3 v)
{
    uint32_t base = uint32_t(mesh.points.size());
    mesh.points.insert(mesh.points.end(), {centre - u - v, centre + u - v, centre + u + v, centre - u + v});
    mesh.uvs.insert(mesh.uvs.end(), {{0, 1}, {1, 1}, {1, 0}, {0, 0}});
    AddTriangle(mesh, base, base + 1, base + 2);
    AddTriangle(mesh, base, base + 2, base + 3);
}

Mesh Box(Vec3 low, Vec3 high)
{
    Vec3 c = (low + high) * 0.5f;
    Vec3 h = (high - low) * 0.5f;
    Mesh mesh;
    AddQuad(mesh, c + Vec3{h.x, 0, 0}, {0, 0, -h.z}, {0, h.y, 0});
    AddQuad(mesh, c - Vec3{h.x, 0, 0}, {0, 0, h.z}, {0, h.y, 0});
    AddQuad(mesh, c + Vec3{0, h.y, 0}, {h.x, 0, 0}, {0, 0, -h.z});
    AddQuad(mesh, c - Vec3{0, h.y, 0}, {h.x, 0, 0}, {0, 0, h.z});
    AddQuad(mesh, c + Vec3{0, 0, h.z}, {h.x, 0, 0}, {0, h.y, 0});
    AddQuad(mesh, c - Vec3{0, 0, h.z}, {-h.x, 0, 0}, {0, h.y, 0});
    return mesh;
}

Mesh QuadXZ(float halfX, float halfZ, float uvRepeat, bool down)
{
    Mesh mesh;
    if (down)
        AddQuad(mesh, {0, 0, 0}, {halfX, 0, 0}, {0, 0, halfZ});
    else
        AddQuad(mesh, {0, 0, 0}, {halfX, 0, 0}, {0, 0, -halfZ});
    for (Vec2& uv : mesh.uvs)
        uv = {uv.x * uvRepeat, uv.y * uvRepeat};
    return mesh;
}

Mesh QuadXY(float halfWidth, float height)
{
    Mesh mesh;
    AddQuad(mesh, {0, height / 2, 0}, {halfWidth, 0, 0}, {0, height / 2, 0});
    return mesh;
}

static float Cross2(Vec2 a, Vec2 b, Vec2 c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

static bool InsideTriangle(Vec2 p, Vec2 a, Vec2 b, Vec2 c)
{
    return Cross2(a, b, p) >= 0 && Cross2(b, c, p) >= 0 && Cross2(c, a, p) >= 0;
}

// Ear clipping of a simple counter-clockwise polygon; returns indices into `outline`.
static std::vector<uint32_t> Triangulate(const std::vector<Vec2>& outline)
{
    std::vector<uint32_t> open(outline.size()), result;
    for (uint32_t i = 0; i < open.size(); i++)
        open[i] = i;
    while (open.size() > 3) {
        bool clipped = false;
        for (size_t i = 0; i < open.size() && !clipped; i++) {
            uint32_t a = open[(i + open.size() - 1) % open.size()], b = open[i],
                     c = open[(i + 1) % open.size()];
            if (Cross2(outline[a], outline[b], outline[c]) <= 0)
                continue;
            bool ear = true;
            for (uint32_t other : open)
                if (other != a && other != b && other != c &&
                    InsideTriangle(outline[other], outline[a], outline[b], outline[c]))
                    ear = false;
            if (ear) {
                result.insert(result.end(), {a, b, c});
                open.erase(open.begin() + long(i));
                clipped = true;
            }
        }
        if (!clipped)
            throw std::invalid_argument("Extrude: outline is not a simple counter-clockwise polygon");
    }
    result.insert(result.end(), open.begin(), open.end());
    return result;
}

Mesh Extrude(const std::vector<Vec2>& given, float depth)
{
    float twiceArea = 0;
    for (size_t i = 0; i < given.size(); i++) {
        Vec2 p = given[i], q = given[(i + 1) % given.size()];
        twiceArea += p.x * q.y - q.x * p.y;
    }
    std::vector<Vec2> outline = given;
    if (twiceArea < 0)
        std::reverse(outline.begin(), outline.end());
    Vec2 low = outline.front(), high = outline.front();
    for (Vec2 p : outline) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y)};
    }
    std::vector<uint32_t> caps = Triangulate(outline);
    Mesh mesh;
    uint32_t n = uint32_t(outline.size());
    for (int side = 0; side < 2; side++) {
        float z = side == 0 ? depth / 2 : -depth / 2;
        for (Vec2 p : outline) {
            mesh.points.push_back({p.x, p.y, z});
            mesh.uvs.push_back({(p.x - low.x) / (high.x - low.x), (high.y - p.y) / (high.y - low.y)});
        }
    }
    for (size_t t = 0; t < caps.size(); t += 3) {
        AddTriangle(mesh, caps[t], caps[t + 1], caps[t + 2]);
        AddTriangle(mesh, n + caps[t], n + caps[t + 2], n + caps[t + 1]);
    }
    for (uint32_t i = 0; i < n; i++) {
        Vec2 p = outline[i], q = outline[(i + 1) % n];
        uint32_t base = uint32_t(mesh.points.size());
        mesh.points.insert(
            mesh.points.end(),
            {{p.x, p.y, depth / 2}, {p.x, p.y, -depth / 2}, {q.x, q.y, -depth / 2}, {q.x, q.y, depth / 2}});
        mesh.uvs.insert(mesh.uvs.end(), {{0, 0}, {0, 1}, {1, 1}, {1, 0}});
        AddTriangle(mesh, base, base + 1, base + 2);
        AddTriangle(mesh, base, base + 2, base + 3);
    }
    return mesh;
}

Mesh Tube(const std::vector<Vec3>& path, const std::vector<float>& radii, int sides)
{
    if (path.size() < 2 || radii.size() != path.size() || sides < 3)
        throw std::invalid_argument("Tube: needs two path points, one radius each, three sides");
    Mesh mesh;
    Vec3 normal = {1, 0, 0};
    uint32_t columns = uint32_t(sides) + 1;
    for (size_t k = 0; k < path.size(); k++) {
        Vec3 tangent = Normalize(path[std::min(k + 1, path.size() - 1)] - path[k == 0 ? 0 : k - 1]);
        normal = normal - tangent * Dot(normal, tangent);
        if (Length(normal) < 1e-3f)
            normal = std::fabs(tangent.x) < 0.9f ? Vec3{1, 0, 0} : Vec3{0, 0, 1};
        normal = Normalize(normal - tangent * Dot(normal, tangent));
        Vec3 binormal = Cross(normal, tangent);
        for (uint32_t i = 0; i < columns; i++) {
            float angle = 2 * kPi * float(i % uint32_t(sides)) / float(sides);
            Vec3 out = normal * DetCos(angle) + binormal * DetSin(angle);
            mesh.points.push_back(path[k] + out * radii[k]);
            mesh.uvs.push_back({float(i) / float(sides), float(k) / float(path.size() - 1)});
        }
    }
    for (uint32_t k = 0; k + 1 < path.size(); k++)
        for (uint32_t i = 0; i < uint32_t(sides); i++) {
            uint32_t p = k * columns + i;
            AddTriangle(mesh, p, p + columns, p + 1);
            AddTriangle(mesh, p + 1, p + columns, p + columns + 1);
        }
    return mesh;
}

// ---------------------------------------------------------------------------------------------------------
// Editing
// ---------------------------------------------------------------------------------------------------------

void Append(Mesh& into, const Mesh& part)
{
    bool empty = into.points.empty();
    auto matches = [&](size_t a, size_t b) { return empty || (a == 0) == (b == 0); };
    if (!matches(into.normals.size(), part.normals.size()) || !matches(into.uvs.size(), part.uvs.size()) ||
        !matches(into.colors.size(), part.colors.size()))
        throw std::invalid_argument("Append: the meshes have different per-point arrays");
    uint32_t base = uint32_t(into.points.size());
    into.points.insert(into.points.end(), part.points.begin(), part.points.end());
    into.normals.insert(into.normals.end(), part.normals.begin(), part.normals.end());
    into.uvs.insert(into.uvs.end(), part.uvs.begin(), part.uvs.end());
    into.colors.insert(into.colors.end(), part.colors.begin(), part.colors.end());
    for (uint32_t index : part.triangles)
        into.triangles.push_back(base + index);
}

void Translate(Mesh& mesh, Vec3 offset)
{
    for (Vec3& p : mesh.points)
        p = p + offset;
}

void Scale(Mesh& mesh, Vec3 factors)
{
    for (Vec3& p : mesh.points)
        p = {p.x * factors.x, p.y * factors.y, p.z * factors.z};
    for (Vec3& n : mesh.normals)
        n = Normalize({n.x / factors.x, n.y / factors.y, n.z / factors.z});
    if (factors.x * factors.y * factors.z < 0)
        FlipWinding(mesh);
}

// Rotates the two coordinates (a, b) of every point and normal by `radians`.
static void Rotate(Mesh& mesh, float radians, float Vec3::*a, float Vec3::*b)
{
    float c = DetCos(radians), s = DetSin(radians);
    auto turn = [&](Vec3& v) {
        float va = v.*a, vb = v.*b;
        v.*a = va * c - vb * s;
        v.*b = va * s + vb * c;
    };
    for (Vec3& p : mesh.points)
        turn(p);
    for (Vec3& n : mesh.normals)
        turn(n);
}

void RotateX(Mesh& mesh, float radians)
{
    Rotate(mesh, radians, &Vec3::y, &Vec3::z);
}

void RotateY(Mesh& mesh, float radians)
{
    Rotate(mesh, radians, &Vec3::z, &Vec3::x);
}

void RotateZ(Mesh& mesh, float radians)
{
    Rotate(mesh, radians, &Vec3::x, &Vec3::y);
}

void Deform(Mesh& mesh, const std::function<Vec3(Vec3)>& shape)
{
    for (Vec3& p : mesh.points)
        p = shape(p);
}

void FlipWinding(Mesh& mesh)
{
    for (size_t t = 0; t < mesh.triangles.size(); t += 3)
        std::swap(mesh.triangles[t + 1], mesh.triangles[t + 2]);
    for (Vec3& n : mesh.normals)
        n = n * -1;
}

// ---------------------------------------------------------------------------------------------------------
// Normals
// ---------------------------------------------------------------------------------------------------------

static bool SamePoint(Vec3 a, Vec3 b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

void SmoothNormals(Mesh& mesh, float creaseDegrees)
{
    std::vector<Vec3> sums(mesh.points.size());
    for (size_t t = 0; t < mesh.triangles.size(); t += 3) {
        uint32_t a = mesh.triangles[t], b = mesh.triangles[t + 1], c = mesh.triangles[t + 2];
        Vec3 face = Cross(mesh.points[b] - mesh.points[a], mesh.points[c] - mesh.points[a]);
        for (uint32_t v : {a, b, c})
            sums[v] = sums[v] + face;
    }

    // Vertices at one position, in a stable order, so seams share normals.
    std::vector<uint32_t> order(mesh.points.size());
    for (uint32_t i = 0; i < order.size(); i++)
        order[i] = i;
    auto key = [&](uint32_t i) {
        const Vec3& p = mesh.points[i];
        return std::tuple(p.x, p.y, p.z, i);
    };
    std::sort(order.begin(), order.end(), [&](uint32_t l, uint32_t r) { return key(l) < key(r); });

    float minDot = DetCos(creaseDegrees * kPi / 180);
    mesh.normals.assign(mesh.points.size(), {0, 1, 0});
    for (size_t start = 0; start < order.size();) {
        size_t end = start;
        while (end < order.size() && SamePoint(mesh.points[order[end]], mesh.points[order[start]]))
            end++;
        for (size_t i = start; i < end; i++) {
            Vec3 own = Normalize(sums[order[i]]), total{};
            for (size_t j = start; j < end; j++)
                if (Dot(own, Normalize(sums[order[j]])) >= minDot)
                    total = total + sums[order[j]];
            mesh.normals[order[i]] = Normalize(total);
        }
        start = end;
    }
}

void Facet(Mesh& mesh)
{
    Mesh flat;
    for (size_t t = 0; t < mesh.triangles.size(); t += 3) {
        const uint32_t* corner = &mesh.triangles[t];
        Vec3 face = Normalize(Cross(mesh.points[corner[1]] - mesh.points[corner[0]],
                                    mesh.points[corner[2]] - mesh.points[corner[0]]));
        for (int k = 0; k < 3; k++) {
            flat.triangles.push_back(uint32_t(flat.points.size()));
            flat.points.push_back(mesh.points[corner[k]]);
            flat.normals.push_back(face);
            if (!mesh.uvs.empty())
                flat.uvs.push_back(mesh.uvs[corner[k]]);
            if (!mesh.colors.empty())
                flat.colors.push_back(mesh.colors[corner[k]]);
        }
    }
    mesh = std::move(flat);
}

// ---------------------------------------------------------------------------------------------------------
// UVs and colours
// ---------------------------------------------------------------------------------------------------------

void MapPlanarXZ(Mesh& mesh, float unitsPerRepeat)
{
    mesh.uvs.resize(mesh.points.size());
    for (size_t i = 0; i < mesh.points.size(); i++)
        mesh.uvs[i] = {mesh.points[i].x / unitsPerRepeat, mesh.points[i].z / unitsPerRepeat};
}

void MapPlanarXY(Mesh& mesh, float unitsPerRepeat)
{
    mesh.uvs.resize(mesh.points.size());
    for (size_t i = 0; i < mesh.points.size(); i++)
        mesh.uvs[i] = {mesh.points[i].x / unitsPerRepeat, -mesh.points[i].y / unitsPerRepeat};
}

void MapCylindrical(Mesh& mesh, float uRepeat, float unitsPerV)
{
    mesh.uvs.resize(mesh.points.size());
    for (size_t i = 0; i < mesh.points.size(); i++) {
        const Vec3& p = mesh.points[i];
        float u = (DetAtan2(p.z, p.x) / (2 * kPi) + 0.5f) * uRepeat;
        mesh.uvs[i] = {u, p.y / unitsPerV};
    }
}

void MapSpherical(Mesh& mesh, Vec3 centre, float uRepeat, float vRepeat)
{
    mesh.uvs.resize(mesh.points.size());
    for (size_t i = 0; i < mesh.points.size(); i++) {
        Vec3 d = Normalize(mesh.points[i] - centre);
        mesh.uvs[i] = {(DetAtan2(d.z, d.x) / (2 * kPi) + 0.5f) * uRepeat, (0.5f - d.y * 0.5f) * vRepeat};
    }
}

void Paint(Mesh& mesh, Color8 color)
{
    mesh.colors.assign(mesh.points.size(), color);
}

void PaintByHeight(Mesh& mesh, float y0, Color8 low, float y1, Color8 high)
{
    mesh.colors.resize(mesh.points.size());
    for (size_t i = 0; i < mesh.points.size(); i++) {
        float t = std::clamp((mesh.points[i].y - y0) / (y1 - y0), 0.0f, 1.0f);
        auto mix = [t](uint8_t a, uint8_t b) { return uint8_t(float(a) + (float(b) - float(a)) * t + 0.5f); };
        mesh.colors[i] = {mix(low.r, high.r), mix(low.g, high.g), mix(low.b, high.b), mix(low.a, high.a)};
    }
}

Bounds MeshBounds(const Mesh& mesh)
{
    Bounds b{};
    if (mesh.points.empty())
        return b;
    b.low = b.high = mesh.points.front();
    for (const Vec3& p : mesh.points) {
        b.low = {std::min(b.low.x, p.x), std::min(b.low.y, p.y), std::min(b.low.z, p.z)};
        b.high = {std::max(b.high.x, p.x), std::max(b.high.y, p.y), std::max(b.high.z, p.z)};
    }
    return b;
}
