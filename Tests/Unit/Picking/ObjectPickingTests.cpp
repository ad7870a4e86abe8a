// Picking world objects: nearest hits against an exhaustive search on random scenes, the tie order,
// the face rules, the walk's filters and the grid rejection.

#include "PickingTestSupport.h"

#include "Support/AlertCapture.h"
#include "Unit/Objects/ObjectTestSupport.h"

namespace {

// A random mesh of a few triangles within about `size` of the local origin.
MetaObject* RandomMesh(std::mt19937& random, int triangles, float size)
{
    std::uniform_real_distribution<float> coordinate(-size, size);
    std::vector<Point3D> points;
    std::vector<uint32_t> indices;
    for (int t = 0; t < triangles; t++) {
        for (int k = 0; k < 3; k++) {
            points.push_back({coordinate(random), coordinate(random), coordinate(random)});
            indices.push_back(uint32_t(points.size() - 1));
        }
    }
    return MakeMeshObject(points, indices);
}

// One big square facing +Z at z = 0, two triangles, local coordinates.
MetaObject* SquareFacingPlusZ(float half)
{
    return MakeMeshObject({{-half, -half, 0}, {half, -half, 0}, {half, half, 0}, {-half, half, 0}},
                          {0, 1, 2, 0, 2, 3});
}

Vector3D Direction(const Point3D& from, const Point3D& to)
{
    Vector3D d = {to.x - from.x, to.y - from.y, to.z - from.z};
    Normalize3(&d, &d);
    return d;
}

double Length(const Point3D& a, const Point3D& b)
{
    double dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

} // namespace

class ObjectPicking : public ObjectTest
{
protected:
    void TearDown() override
    {
        gPickBothSides = false;
        ObjectTest::TearDown();
    }

    // A random scene of display groups; returns their triangles in list order.
    std::vector<ReferenceTriangle> RandomScene(std::mt19937& random)
    {
        std::uniform_real_distribution<float> place(-1500, 1500), angle(0, 6.28f), scale(0.5f, 2.0f);
        std::uniform_int_distribution<int> meshCount(1, 3), triangleCount(1, 6);
        std::vector<ReferenceTriangle> triangles;
        for (int i = 0; i < 8; i++) {
            std::vector<MetaObject*> meshes;
            for (int m = meshCount(random); m > 0; m--)
                meshes.push_back(RandomMesh(random, triangleCount(random), 300));
            ObjNode* node = MakePickNode({place(random), place(random) * 0.3f, place(random)}, angle(random),
                                         scale(random), meshes, 1, 100 + i);
            AppendNodeTriangles(node, &triangles);
        }
        return triangles;
    }
};

TEST_F(ObjectPicking, SegmentPicksAgreeWithAnExhaustiveTriangleSearch)
{
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> end(-2500, 2500);
    int decisive = 0, hits = 0;
    for (int scene = 0; scene < 20; scene++) {
        DisposeAllObjects();
        std::vector<ReferenceTriangle> triangles = RandomScene(random);
        for (int s = 0; s < 200; s++) {
            PickSegment segment = {{end(random), end(random) * 0.3f, end(random)},
                                   {end(random), end(random) * 0.3f, end(random)}};
            gPickBothSides = (s % 4) == 3;
            Vector3D d = Direction(segment.start, segment.end);
            ReferenceHit expected = ReferencePick(triangles, segment.start, d,
                                                  Length(segment.start, segment.end), !gPickBothSides);
            Point3D point;
            Vector3D normal;
            float distance;
            ObjNode* node = OGL_DoLineSegmentCollision(&segment, 0, 1, &point, &normal, &distance, false);
            if (!expected.decisive)
                continue;
            decisive++;
            ASSERT_EQ(node, expected.owner) << "scene " << scene << " segment " << s;
            if (!expected.hit) {
                EXPECT_EQ(distance, PICK_SEGMENT_NO_HIT);
                continue;
            }
            hits++;
            EXPECT_NEAR(distance, expected.distance, 0.05);
            EXPECT_NEAR(normal.x, expected.normal.x, 1e-3);
            EXPECT_NEAR(normal.y, expected.normal.y, 1e-3);
            EXPECT_NEAR(normal.z, expected.normal.z, 1e-3);
            EXPECT_NEAR(point.x, segment.start.x + d.x * distance, 0.05);
            EXPECT_NEAR(point.z, segment.start.z + d.z * distance, 0.05);
        }
    }
    EXPECT_GT(decisive, 3800);
    EXPECT_GT(hits, 300); // the scenes are dense enough that the search is really exercised
}

TEST_F(ObjectPicking, RayPicksAgreeWithAnExhaustiveSearchOverBothFaces)
{
    std::mt19937 random(99);
    std::uniform_real_distribution<float> coordinate(-2500, 2500), component(-1, 1);
    int decisive = 0, hits = 0;
    for (int scene = 0; scene < 20; scene++) {
        DisposeAllObjects();
        std::vector<ReferenceTriangle> triangles = RandomScene(random);
        for (int s = 0; s < 200; s++) {
            PickRay ray = {{coordinate(random), coordinate(random) * 0.3f, coordinate(random)}, {0, 0, 0}, 0};
            Vector3D d = {component(random), component(random), component(random)};
            Normalize3(&d, &ray.direction);
            ReferenceHit expected = ReferencePick(triangles, ray.origin, ray.direction, 1e6, false);
            Point3D point;
            Vector3D normal;
            ObjNode* node = OGL_DoRayCollision(&ray, 0, 1, &point, &normal);
            if (!expected.decisive)
                continue;
            decisive++;
            ASSERT_EQ(node, expected.owner) << "scene " << scene << " ray " << s;
            if (!expected.hit) {
                EXPECT_EQ(ray.distance, PICK_RAY_NO_HIT);
                continue;
            }
            hits++;
            EXPECT_NEAR(ray.distance, expected.distance, 0.05);
            EXPECT_NEAR(normal.x, expected.normal.x, 1e-3);
            EXPECT_NEAR(normal.y, expected.normal.y, 1e-3);
            EXPECT_NEAR(normal.z, expected.normal.z, 1e-3);
        }
    }
    EXPECT_GT(decisive, 3800);
    EXPECT_GT(hits, 200);
}

TEST_F(ObjectPicking, EqualDistancesGoToTheFirstNodeMeshAndTriangle)
{
    // Two nodes with the same square at the same place: the first in the list wins.
    ObjNode* first = MakePickNode({0, 0, 0}, 0, 1, {SquareFacingPlusZ(100)}, 1, 100);
    MakePickNode({0, 0, 0}, 0, 1, {SquareFacingPlusZ(100)}, 1, 100);
    PickSegment segment = {{10, 10, 50}, {10, 10, -50}};
    EXPECT_EQ(OGL_DoLineSegmentCollision(&segment, 0, 1, nullptr, nullptr, nullptr, false), first);
    PickRay ray = {{10, 10, 50}, {0, 0, -1}, 0};
    EXPECT_EQ(OGL_DoRayCollision(&ray, 0, 1, nullptr, nullptr), first);
    DisposeAllObjects();

    // One node, two meshes crossing at the hit point with different planes: the first mesh's normal.
    MetaObject* facingZ = SquareFacingPlusZ(100);
    MetaObject* tilted = MakeMeshObject({{-100, -100, 100}, {100, -100, 100}, {0, 100, -100}}, {0, 1, 2});
    MakePickNode({0, 0, 0}, 0, 1, {facingZ, tilted});
    Vector3D normal;
    segment = {{0, 0, 50}, {0, 0, -50}};
    ASSERT_NE(OGL_DoLineSegmentCollision(&segment, 0, 1, nullptr, &normal, nullptr, false), nullptr);
    EXPECT_NEAR(normal.z, 1.0f, 1e-5);
    DisposeAllObjects();

    // One mesh, the same two planes as two triangles in the other order: the first triangle's normal.
    MakePickNode({0, 0, 0}, 0, 1,
                 {MakeMeshObject({{-100, -100, 100},
                                  {100, -100, 100},
                                  {0, 100, -100},
                                  {-100, -100, 0},
                                  {100, -100, 0},
                                  {0, 100, 0}},
                                 {0, 1, 2, 3, 4, 5})});
    ASSERT_NE(OGL_DoLineSegmentCollision(&segment, 0, 1, nullptr, &normal, nullptr, false), nullptr);
    EXPECT_LT(normal.z, 0.99f);
    EXPECT_GT(normal.y, 0.5f);
}

TEST_F(ObjectPicking, StartOnAFaceHitsAtZeroAndEndOnItsPlaneMisses)
{
    MakePickNode({0, 0, 0}, 0, 1, {SquareFacingPlusZ(100)});
    float distance = -1;
    PickSegment startsOn = {{5, 5, 0}, {5, 5, -40}};
    EXPECT_NE(OGL_DoLineSegmentCollision(&startsOn, 0, 1, nullptr, nullptr, &distance, false), nullptr);
    EXPECT_EQ(distance, 0.0f);
    PickSegment endsOn = {{5, 5, 40}, {5, 5, 0}};
    EXPECT_EQ(OGL_DoLineSegmentCollision(&endsOn, 0, 1, nullptr, nullptr, &distance, false), nullptr);
    EXPECT_EQ(distance, PICK_SEGMENT_NO_HIT);
}

TEST_F(ObjectPicking, BackFacesStopSegmentsOnlyWhenAskedButAlwaysStopRays)
{
    MakePickNode({0, 0, 0}, 0, 1, {SquareFacingPlusZ(100)});
    PickSegment fromBehind = {{5, 5, -40}, {5, 5, 40}};
    EXPECT_EQ(OGL_DoLineSegmentCollision(&fromBehind, 0, 1, nullptr, nullptr, nullptr, false), nullptr);
    gPickBothSides = true;
    Vector3D normal;
    EXPECT_NE(OGL_DoLineSegmentCollision(&fromBehind, 0, 1, nullptr, &normal, nullptr, false), nullptr);
    EXPECT_NEAR(normal.z, 1.0f, 1e-5); // the triangle's own normal, not turned toward the start
    gPickBothSides = false;
    PickRay ray = {{5, 5, -40}, {0, 0, 1}, 0};
    EXPECT_NE(OGL_DoRayCollision(&ray, 0, 1, nullptr, nullptr), nullptr);
    EXPECT_NEAR(ray.distance, 40.0f, 1e-4);
}

TEST_F(ObjectPicking, FilteredNodesAreNeverReported)
{
    PickSegment segment = {{5, 5, 50}, {5, 5, -50}};
    PickRay ray = {{5, 5, 50}, {0, 0, -1}, 0};
    auto picked = [&] {
        return OGL_DoLineSegmentCollision(&segment, NODEBIT_INVISIBLE, 1, nullptr, nullptr, nullptr, false) ||
               OGL_DoRayCollision(&ray, NODEBIT_INVISIBLE, 1, nullptr, nullptr);
    };
    ObjNode* node = MakePickNode({0, 0, 0}, 0, 1, {SquareFacingPlusZ(100)}, 1, 3000);
    EXPECT_FALSE(picked()) << "slot 3000 is not a world slot";
    DisposeAllObjects();
    node = MakePickNode({0, 0, 0}, 0, 1, {SquareFacingPlusZ(100)}, 2);
    EXPECT_FALSE(picked()) << "no matching CType bit";
    node->CType = 1;
    node->StatusFlags |= NODEBIT_INVISIBLE;
    EXPECT_FALSE(picked()) << "excluded status bit";
    node->StatusFlags &= ~NODEBIT_INVISIBLE;
    EXPECT_TRUE(picked());
    // A deleted node stays in memory until the purge; it must not be picked meanwhile.
    ObjNode* keeper = MakeNode(50);
    keeper->MoveProc = [](ObjNode*) {
        for (ObjNode* n = gObjectListHead; n; n = n->NextInList)
            if (n->Genre == DISPLAY_GROUP_GENRE)
                DisposeObject(n);
        PickSegment s = {{5, 5, 50}, {5, 5, -50}};
        EXPECT_EQ(OGL_DoLineSegmentCollision(&s, 0, 0xFFFFFFFF, nullptr, nullptr, nullptr, false), nullptr);
    };
    MoveObjects();
}

TEST_F(ObjectPicking, GridRejectionSkipsObjectsInTheMiddleOfALongSegment)
{
    MakePickNode({6000, 0, 0}, 0, 1,
                 {MakeMeshObject({{0, -100, 100}, {0, 100, 0}, {0, -100, -100}}, {0, 1, 2})});
    PickSegment longSegment = {{-1000, 0, 10}, {13000, 0, 10}};
    EXPECT_NE(OGL_DoLineSegmentCollision(&longSegment, 0, 1, nullptr, nullptr, nullptr, false), nullptr);
    EXPECT_EQ(OGL_DoLineSegmentCollision(&longSegment, 0, 1, nullptr, nullptr, nullptr, true), nullptr);
    PickSegment nearEnd = {{4000, 0, 10}, {13000, 0, 10}}; // start cell 3, node cell 5
    EXPECT_NE(OGL_DoLineSegmentCollision(&nearEnd, 0, 1, nullptr, nullptr, nullptr, true), nullptr);
}

TEST_F(ObjectPicking, RayStartingInsideTheBoundingSphereStillTestsTheObject)
{
    MakePickNode({0, 0, 0}, 0, 1, {SquareFacingPlusZ(100)});
    PickRay ray = {{10, 10, 20}, {0, 0, -1}, 0};
    EXPECT_NE(OGL_DoRayCollision(&ray, 0, 1, nullptr, nullptr), nullptr);
    EXPECT_NEAR(ray.distance, 20.0f, 1e-4);
}

TEST_F(ObjectPicking, ZeroLengthSegmentAndDirectionlessRayHitNothing)
{
    MakePickNode({0, 0, 0}, 0, 1, {SquareFacingPlusZ(100)});
    PickSegment point = {{0, 0, 0}, {0, 0, 0}};
    float distance = 0;
    EXPECT_EQ(OGL_DoLineSegmentCollision(&point, 0, 1, nullptr, nullptr, &distance, false), nullptr);
    EXPECT_EQ(distance, PICK_SEGMENT_NO_HIT);
    PickRay ray = {{0, 0, 50}, {0, 0, 0}, 0};
    EXPECT_EQ(OGL_DoRayCollision(&ray, 0, 1, nullptr, nullptr), nullptr);
    EXPECT_EQ(ray.distance, PICK_RAY_NO_HIT);
}

TEST_F(ObjectPicking, CachedGeometryFollowsTheNodeAfterItsTransformChanges)
{
    ObjNode* node = MakePickNode({0, 0, 0}, 0, 1, {SquareFacingPlusZ(100)});
    PickSegment atOrigin = {{5, 5, 50}, {5, 5, -50}};
    PickSegment farAway = {{500, 5, 50}, {500, 5, -50}};
    EXPECT_EQ(OGL_DoLineSegmentCollision(&atOrigin, 0, 1, nullptr, nullptr, nullptr, false), node);
    EXPECT_TRUE(node->WorldPointsValid);
    node->Position = {500, 0, -20};
    RebuildNodeTransform(node);
    EXPECT_FALSE(node->WorldPointsValid);
    float distance;
    EXPECT_EQ(OGL_DoLineSegmentCollision(&farAway, 0, 1, nullptr, nullptr, &distance, false), node);
    EXPECT_NEAR(distance, 70.0f, 1e-3);
    EXPECT_EQ(OGL_DoLineSegmentCollision(&atOrigin, 0, 1, nullptr, nullptr, nullptr, false), nullptr);
}

TEST_F(ObjectPicking, NodesOfUnpickableGenresAreFatalAndCustomDrawnOnesSkipped)
{
    ObjNode* custom = MakeNode(100);
    custom->CType = 1;
    PickSegment segment = {{0, 0, 50}, {0, 0, -50}};
    PickRay ray = {{0, 0, 50}, {0, 0, -1}, 0};
    EXPECT_EQ(OGL_DoLineSegmentCollision(&segment, 0, 1, nullptr, nullptr, nullptr, false), nullptr);
    ObjNode* invisible = MakeNode(101, nullptr, 0, INVISIBLE_GENRE);
    invisible->CType = 1;
    EXPECT_EQ(FatalAlertMessageOf(
                  [&] { OGL_DoLineSegmentCollision(&segment, 0, 1, nullptr, nullptr, nullptr, false); }),
              "OGL_DoLineSegmentCollision: unsupported genre");
    EXPECT_EQ(FatalAlertMessageOf([&] { OGL_DoRayCollision(&ray, 0, 1, nullptr, nullptr); }),
              "OGL_DoRayCollision: unsupported genre");
}
