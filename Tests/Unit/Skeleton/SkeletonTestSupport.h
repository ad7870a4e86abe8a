// Small skeleton files written with the data generator's writer into a temporary Skeletons folder and read
// back through the game's loader, with the host layer started, the vertex-array pools made and a stand-in
// game view for the frame counter (no draw context: the test models have no textures).
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "3D/OGL_Support.h"
#include "3D/TQ3D.h"
#include "DataForge/Writers/SkeletonWriter.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "Support/AlertCapture.h"
#include "Support/TempFolder.h"
#include "System/FrameRate.h"
#include "System/GameShell.h"
#include "System/Memory.h"
#include "Tarnet/Files/Files.h"
#include "Tarnet/Memory/Memory.h"
#include "Tarnet/Resources/Resources.h"
#include "Tarnet/Tarnet.h"

inline TQ3DMesh QuadMesh(float x0, float x1, float y0, float y1, TQ3DVec3 normal = {0, 0, 1})
{
    TQ3DMesh mesh;
    mesh.points = {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}};
    mesh.normals.assign(4, normal);
    mesh.triangles = {0, 1, 2, 0, 2, 3};
    return mesh;
}

inline SkeletonKeyframe Key(int tick, TQ3DVec3 position, TQ3DVec3 rotation = {0, 0, 0}, int easing = 0)
{
    SkeletonKeyframe key;
    key.tick = tick;
    key.easing = easing;
    key.position = position;
    key.rotation = rotation;
    return key;
}

// Two joints: 0 at the origin, 1 at (0, 10, 0). Mesh 0 is a quad from y 0 to 10 (its lower edge on joint 0,
// its upper edge on joint 1); mesh 1 a quad from y 10 to 20 on joint 1 that shares mesh 0's upper edge.
// One animation of 30 ticks in which joint 1 turns a quarter turn about Z.
struct TestSkeleton
{
    SkeletonFileDescription skeleton;
    TQ3DFile model;

    TestSkeleton()
    {
        skeleton.modelFileName = "test.tq3d";
        skeleton.joints = {{-1, "root", {0, 0, 0}}, {0, "arm", {0, 10, 0}}};
        TQ3DNode group;
        group.isGroup = true;
        group.members.resize(2);
        group.members[0].mesh = QuadMesh(-1, 1, 0, 10);
        group.members[1].mesh = QuadMesh(-1, 1, 10, 20);
        model.models.push_back(group);
        skeleton.vertexJoints = {{0, 0, 1, 1}, {1, 1, 1, 1}};
        SkeletonAnimation anim;
        anim.name = "turn";
        anim.keyframes = {{Key(0, {0, 0, 0})}, {Key(0, {0, 10, 0}), Key(30, {0, 10, 0}, {0, 0, 1.5707964f})}};
        skeleton.animations.push_back(anim);
    }
};

class SkeletonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Tarnet::Startup();
        MO_InitMetaObjectList();
        TQ3D_InitContainers();
        InitSkeletonManager();
        InitObjectPool();
        std::memset(&view, 0, sizeof(view));
        gGameViewInfoPtr = &view;
        OGL_InitVertexArrayMemory();
        std::filesystem::create_directories(temp.Path() / "Skeletons");
        gDataFolderSpec = Tarnet::HostPathToFSSpec(temp.Path() / "Skeletons");
        blocksBefore = gLiveBlockCount;
        gFrameSeconds = 0;
    }
    void TearDown() override
    {
        DisposeAllObjects();
        FreeAllSkeletonFiles(-1);
        TQ3D_DisposeAllContainers();
        EXPECT_EQ(gLiveBlockCount, blocksBefore) << "blocks left behind";
        OGL_DisposeVertexArrayMemory();
        EXPECT_EQ(gVertexArrayBytesForgotten, 0);
        gGameViewInfoPtr = nullptr;
        Tarnet::Shutdown();
    }

    // Writes the skeleton as skeleton type `type`'s file; `tweak` may add resources to the fork first (a
    // later resource of the same type and ID replaces the written one).
    void Write(const TestSkeleton& t, int type = SKELETON_TYPE_RAPTOR,
               const std::function<void(Tarnet::ResourceForkWriter&)>& tweak = {})
    {
        std::filesystem::path folder = temp.Path() / "Skeletons";
        WriteTQ3DFile(folder / t.skeleton.modelFileName, t.model);
        Tarnet::ResourceForkWriter fork = BuildSkeletonResourceFork(t.skeleton, t.model);
        if (tweak)
            tweak(fork);
        fork.WriteAppleDouble(folder / (FileName(type) + ".rsrc"));
    }

    // Writes the skeleton without resource `type` `id`.
    void WriteWithout(const TestSkeleton& t, const char* type, int16_t id,
                      int skeletonType = SKELETON_TYPE_RAPTOR)
    {
        Write(t, skeletonType);
        std::filesystem::path path = temp.Path() / "Skeletons" / (FileName(skeletonType) + ".rsrc");
        Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(temp.Path() / "Skeletons" / FileName(skeletonType));
        int16_t refNum = Tarnet::FSpOpenResFile(&spec, Tarnet::fsRdPerm);
        ASSERT_NE(refNum, -1);
        Tarnet::ResourceForkWriter copy;
        for (const Tarnet::ResourceInfo& info : Tarnet::ListResources(refNum)) {
            uint32_t code = (uint32_t(uint8_t(type[0])) << 24) | (uint32_t(uint8_t(type[1])) << 16) |
                            (uint32_t(uint8_t(type[2])) << 8) | uint32_t(uint8_t(type[3]));
            if (info.type == code && info.id == id)
                continue;
            Tarnet::Handle h = Tarnet::GetResource(info.type, info.id);
            const uint8_t* bytes = reinterpret_cast<const uint8_t*>(*h);
            copy.Add(info.type, info.id, std::vector<uint8_t>(bytes, bytes + Tarnet::GetHandleSize(h)));
            Tarnet::ReleaseResource(h);
        }
        Tarnet::CloseResFile(refNum);
        copy.WriteAppleDouble(path);
    }

    static std::string FileName(int type)
    {
        std::string name = kSkeletonFileNames[type];
        return name.substr(name.rfind(':') + 1);
    }

    std::string LoadFatal(int type = SKELETON_TYPE_RAPTOR)
    {
        return FatalAlertMessageOf([&] { LoadASkeleton(type); });
    }

    ObjNode* MakeCreature(int type = SKELETON_TYPE_RAPTOR, int anim = 0, Point3D position = {0, 0, 0})
    {
        ObjectDefinition def = {};
        def.artIndex = uint8_t(type);
        def.startAnim = uint8_t(anim);
        def.position = position;
        def.slot = 100;
        def.scale = 1;
        return MakeNewSkeletonBaseData(&def);
    }

    // Advances the node's animation by `seconds` in one frame.
    static void Step(ObjNode* node, float seconds)
    {
        gFrameSeconds = seconds;
        AdvanceSkeletonAnimation(node);
    }

    GameViewInfo view;
    TempFolder temp;
    int32_t blocksBefore = 0;
};
