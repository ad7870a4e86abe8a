// The skeleton loader: skin decomposition, the file's resources and every refusal of a damaged file.
#include "SkeletonTestSupport.h"

#include "DataForge/Writers/BigEndianWriter.h"

namespace {

uint32_t Code(const char (&code)[5])
{
    return FourCharCode(code);
}

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> bytes)
{
    return bytes;
}

std::vector<uint8_t> Header(int version, int anims, int joints)
{
    BigEndianWriter w;
    w.U16(uint16_t(version));
    w.U16(uint16_t(anims));
    w.U16(uint16_t(joints));
    return w.Take();
}

std::vector<uint8_t> Bone(int32_t parent, uint16_t points, uint16_t normals)
{
    BigEndianWriter w;
    w.I32(parent);
    w.Zeros(32 + 12);
    w.U16(points);
    w.U16(normals);
    return w.Take();
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// Decomposition
// ---------------------------------------------------------------------------------------------------------

TEST_F(SkeletonTest, VerticesSharedAcrossMeshesBecomeOneSkinPointThatMovesThemTogether)
{
    TestSkeleton t;
    Write(t);
    LoadASkeleton(SKELETON_TYPE_RAPTOR);
    const SkeletonInfoType* info = gLoadedSkeletons[SKELETON_TYPE_RAPTOR];
    ASSERT_EQ(info->meshCount, 2);
    EXPECT_EQ(info->skinPointCount, 6); // 4 + 4 vertices, 2 shared
    EXPECT_EQ(info->skinNormalCount, 1);
    const SkinPointRecord& shared = info->skinPoints[2]; // (1, 10, 0): mesh 0 vertex 2, mesh 1 vertex 1
    ASSERT_EQ(shared.refCount, 2);
    EXPECT_EQ(shared.refMesh[0], 0);
    EXPECT_EQ(shared.refPoint[0], 2);
    EXPECT_EQ(shared.refMesh[1], 1);
    EXPECT_EQ(shared.refPoint[1], 1);

    ObjNode* node = MakeCreature();
    Step(node, 0.5f); // joint 1 half-way through its quarter turn
    UpdateSkinnedGeometry(node);
    const VertexArrayGeometry* meshes = node->Skeleton->skinnedMeshes[0];
    EXPECT_FLOAT_EQ(meshes[0].points[2].x, meshes[1].points[1].x);
    EXPECT_FLOAT_EQ(meshes[0].points[2].y, meshes[1].points[1].y);
    EXPECT_NEAR(meshes[0].points[2].x, 1 * 0.7071f - 0, 1e-3); // (1, 0) turned by 45 degrees, at (0, 10)
    EXPECT_NEAR(meshes[0].points[2].y, 10 + 0.7071f, 1e-3);
    // Root points stay.
    EXPECT_FLOAT_EQ(meshes[0].points[0].x, -1);
    EXPECT_FLOAT_EQ(meshes[0].points[0].y, 0);
}

TEST_F(SkeletonTest, NormalsMergeOnlyWithinTheTolerance)
{
    TestSkeleton t;
    t.model.models[0].members[0].mesh.normals = {{0, 1, 0}, {0.01f, 0.99f, 0}, {0.05f, 1, 0}, {0, 1, 0}};
    Write(t);
    LoadASkeleton(SKELETON_TYPE_RAPTOR);
    const SkeletonInfoType* info = gLoadedSkeletons[SKELETON_TYPE_RAPTOR];
    // (0, 1, 0) and (0.01, 0.99, 0) are one; (0.05, 1, 0) another; mesh 1's (0, 0, 1) a third.
    EXPECT_EQ(info->skinNormalCount, 3);
    EXPECT_EQ(info->skinPoints[1].refNormal[0], 0);
    EXPECT_EQ(info->skinPoints[2].refNormal[0], 1);
}

TEST_F(SkeletonTest, TheTwentyFirstVertexOnOnePointIsRefused)
{
    TestSkeleton t;
    TQ3DMesh& mesh = t.model.models[0].members[0].mesh;
    for (int i = 0; i < 17; i++) { // the first vertex now has 21 sharers
        mesh.points.push_back(mesh.points[0]);
        mesh.normals.push_back(mesh.normals[0]);
        t.skeleton.vertexJoints[0].push_back(0);
    }
    for (int i = 0; i < 3; i++) {
        TQ3DMesh& other = t.model.models[0].members[1].mesh;
        other.points.push_back({-1, 0, 0});
        other.normals.push_back({0, 0, 1});
        t.skeleton.vertexJoints[1].push_back(0);
    }
    Write(t);
    EXPECT_EQ(LoadFatal(), "DecomposeATriMesh: MAX_POINT_REFS exceeded! refNum 20 (in raptor.skeleton)");
}

// ---------------------------------------------------------------------------------------------------------
// Resources
// ---------------------------------------------------------------------------------------------------------

TEST_F(SkeletonTest, KeyframesOfJointThreeInAnimationTwoComeFromResource1203)
{
    TestSkeleton t;
    t.skeleton.joints.push_back({1, "a", {0, 20, 0}});
    t.skeleton.joints.push_back({2, "b", {0, 30, 0}});
    t.skeleton.animations.resize(3);
    for (SkeletonAnimation& anim : t.skeleton.animations)
        anim.keyframes = {
            {Key(0, {0, 0, 0})}, {Key(0, {0, 10, 0})}, {Key(0, {0, 10, 0})}, {Key(0, {0, 10, 0})}};
    t.skeleton.animations[2].keyframes[3] = {Key(7, {1, 2, 3}), Key(9, {4, 5, 6})};
    Write(t);
    LoadASkeleton(SKELETON_TYPE_RAPTOR);
    const SkeletonInfoType* info = gLoadedSkeletons[SKELETON_TYPE_RAPTOR];
    ASSERT_EQ(info->keyframeCount[3][2], 2);
    EXPECT_EQ(info->keyframes[3][2][1].tick, 9);
    EXPECT_EQ(info->keyframes[3][2][1].position.z, 6);
    EXPECT_EQ(info->keyframeCount[3][1], 1);
    EXPECT_EQ(info->childCount[2], 1);
    EXPECT_EQ(info->childJoints[2][0], 3);

    // Without resource 1203 the file is incomplete.
    FreeAllSkeletonFiles(-1);
    TQ3D_DisposeAllContainers();
    WriteWithout(t, "KeyF", 1203);
    EXPECT_EQ(LoadFatal(), "Error reading joint keyframes resource! (in raptor.skeleton)");
}

TEST_F(SkeletonTest, WrongVersionAndResizedModelAreRefused)
{
    TestSkeleton t;
    Write(t, SKELETON_TYPE_RAPTOR,
          [](Tarnet::ResourceForkWriter& fork) { fork.Add(Code("Hedr"), 1000, Header(0x0100, 1, 2)); });
    EXPECT_EQ(LoadFatal(), "Skeleton file has wrong version # (in raptor.skeleton)");

    // 11 relative points for a model of 6 skin points... and of 12.
    Write(t, SKELETON_TYPE_RAPTOR, [](Tarnet::ResourceForkWriter& fork) {
        fork.Add(Code("RelP"), 1000, std::vector<uint8_t>(5 * 12));
    });
    EXPECT_EQ(LoadFatal(), "# of points in Reference Model has changed! (in raptor.skeleton)");
}

TEST_F(SkeletonTest, EachMissingResourceHasItsOwnMessage)
{
    TestSkeleton t;
    struct Case
    {
        const char* type;
        int16_t id;
        const char* message;
    };
    const Case cases[] = {
        {"Hedr", 1000, "ReadDataFromSkeletonFile: Error reading header resource!"},
        {"alis", 1000, "ReadDataFromSkeletonFile: file is missing the Alias resource"},
        {"Bone", 1001, "Error reading Bone resource!"},
        {"BonP", 1000, "Error reading BonP resource!"},
        {"BonN", 1001, "Error reading BonN resource!"},
        {"RelP", 1000, "Error reading RelP resource!"},
        {"AnHd", 1000, "Error getting anim header resource"},
        {"Evnt", 1000, "Error reading anim-event data resource!"},
        {"NumK", 1000, "Error reading # keyframes/joint resource!"},
    };
    for (const Case& c : cases) {
        WriteWithout(t, c.type, c.id);
        EXPECT_EQ(LoadFatal(), std::string(c.message) + " (in raptor.skeleton)") << c.type;
    }
    std::filesystem::remove(temp.Path() / "Skeletons" / "raptor.skeleton.rsrc");
    EXPECT_EQ(LoadFatal().rfind("Error opening Skel Rez file: Error ", 0), 0u);
    Write(t);
    std::filesystem::remove(temp.Path() / "Skeletons" / "test.tq3d");
    EXPECT_EQ(LoadFatal(),
              "ReadDataFromSkeletonFile: Cannot find Skeleton's TQ3D file! (in raptor.skeleton)");
}

TEST_F(SkeletonTest, LoadingATypeTwiceIsFatalAndFreeingLetsItLoadAgain)
{
    TestSkeleton t;
    Write(t);
    EXPECT_EQ(LoadASkeleton(SKELETON_TYPE_RAPTOR), 2);
    EXPECT_EQ(LoadFatal(), "LoadASkeleton:  skeleton already loaded!");
    FreeSkeletonFile(SKELETON_TYPE_RAPTOR);
    EXPECT_EQ(LoadASkeleton(SKELETON_TYPE_RAPTOR), 2);
    EXPECT_EQ(FatalAlertMessageOf([] { LoadASkeleton(MAX_SKELETON_TYPES); }),
              "LoadASkeleton: MAX_SKELETON_TYPES exceeded!");
}

// Counts that disagree with what the file holds must never be read past.
TEST_F(SkeletonTest, CountsAndLinksThatDisagreeWithTheFileAreRefused)
{
    TestSkeleton t;
    struct Case
    {
        std::function<void(Tarnet::ResourceForkWriter&)> tweak;
        const char* message;
    };
    const Case cases[] = {
        {[](auto& f) { f.Add(Code("Hedr"), 1000, Header(0x0110, 1, 0)); }, "PrimeBoneData: # = 0??"},
        {[](auto& f) { f.Add(Code("Hedr"), 1000, Header(0x0110, 1, 41)); },
         "ReadDataFromSkeletonFile: numJoints > MAX_JOINTS"},
        {[](auto& f) { f.Add(Code("Hedr"), 1000, Header(0x0110, 41, 2)); },
         "ReadDataFromSkeletonFile: 41 animations, at most 40"},
        {[](auto& f) {
             f.Add(Code("Hedr"), 1000, Bytes({1, 0x10, 0}));
         },
         "ReadDataFromSkeletonFile: 'Hedr' 1000 holds 3 bytes but its counts need 6"},
        {[](auto& f) {
             f.Add(Code("Bone"), 1001, Bytes({0, 0, 0, 0}));
         },
         "ReadDataFromSkeletonFile: 'Bone' 1001 holds 4 bytes but its counts need 52"},
        {[](auto& f) { f.Add(Code("Bone"), 1001, Bone(0, 9, 0)); },
         "ReadDataFromSkeletonFile: 'BonP' 1001 holds 8 bytes but its counts need 18"},
        {[](auto& f) {
             f.Add(Code("BonP"), 1001, Bytes({0, 2, 0, 3, 0, 4, 0, 99}));
         },
         "ReadDataFromSkeletonFile: joint 1 lists skin point 99, but there are only 6"},
        {[](auto& f) {
             f.Add(Code("BonN"), 1000, Bytes({0, 7}));
         },
         "ReadDataFromSkeletonFile: joint 0 lists skin normal 7, but there are only 1"},
        {[](auto& f) { f.Add(Code("Bone"), 1001, Bone(5, 4, 0)); },
         "CreateSkeletonFromBones: joint 1 has parent 5, but there are 2 joints"},
        {[](auto& f) { f.Add(Code("Bone"), 1001, Bone(1, 4, 0)); },
         "CreateSkeletonFromBones: the parents of joint 1 form a cycle"},
        {[](auto& f) { f.Add(Code("Bone"), 1000, Bone(1, 2, 1)); },
         "CreateSkeletonFromBones: joint 0 is not the base (its parent is 1)"},
        {[](auto& f) {
             std::vector<uint8_t> header(36);
             header[35] = 1;
             f.Add(Code("AnHd"), 1000, header);
             f.Add(Code("Evnt"), 1000, Bytes({0, 1, 0}));
         },
         "ReadDataFromSkeletonFile: 'Evnt' 1000 holds 3 bytes but its counts need 4"},
        {[](auto& f) { f.Add(Code("NumK"), 1000, Bytes({1})); },
         "ReadDataFromSkeletonFile: 'NumK' 1000 holds 1 bytes but its counts need 2"},
        {[](auto& f) {
             f.Add(Code("NumK"), 1000, Bytes({1, 61}));
         },
         "Error: numKeyframes > MAX_KEYFRAMES"},
        {[](auto& f) {
             f.Add(Code("NumK"), 1000, Bytes({1, 3}));
         },
         "ReadDataFromSkeletonFile: 'KeyF' 1001 holds 88 bytes but its counts need 132"},
        {[](auto& f) {
             std::vector<uint8_t> header(36);
             header[35] = 31;
             f.Add(Code("AnHd"), 1000, header);
         },
         "ReadDataFromSkeletonFile: animation 0 has 31 events, at most 30"},
    };
    for (const Case& c : cases) {
        Write(t, SKELETON_TYPE_RAPTOR, c.tweak);
        EXPECT_EQ(LoadFatal(), std::string(c.message) + " (in raptor.skeleton)");
        EXPECT_EQ(gLoadedSkeletons[SKELETON_TYPE_RAPTOR], nullptr);
        EXPECT_EQ(gLoadedModelFiles[int(MODEL_GROUP_SKELETONBASE) + int(SKELETON_TYPE_RAPTOR)], nullptr);
        FreeAllSkeletonFiles(-1);
        TQ3D_DisposeAllContainers();
    }
}
