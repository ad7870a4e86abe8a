// SkeletonFile.cpp: reading a skeleton type from its resource file.
//
// Resources (big-endian; ids decimal):
//   'Hedr' 1000          version int16 (0x0110), animation count int16, joint count int16 (low bytes used)
//   'alis' 1000          alias to the reference model, a model file in the same folder
//   'Bone' 1000+j        parent int32, 32 name bytes, rest position 3 floats, point count u16, normal count
//   u16 'BonP' / 'BonN' 1000+j  the joint's skin point / skin normal indices, u16 each 'RelP' 1000 every skin
//   point in its joint's frame, 3 floats each 'AnHd' 1000+a        34 name bytes, event count u16 'Evnt'
//   1000+a        events: time int16, type u8, value u8 'NumK' 1000+a        one keyframe count byte per
//   joint 'KeyF' 1000+100a+j   keyframes, 44 bytes each: tick, easing, position, rotation, scale
//
// Nothing in the file is trusted: every resource must hold what its counts claim, every index must name a
// skin point or normal that exists, and every limit is checked before anything is allocated from it.
#include "Skeleton/SkeletonLocal.h"

#include "3D/TQ3D.h"
#include "System/Alerts.h"
#include "System/BigEndian.h"
#include "System/Memory.h"
#include "System/ProgramState.h"
#include "Tarnet/Files/Files.h"
#include "Tarnet/Memory/Memory.h"
#include "Tarnet/Resources/Resources.h"
#include "Tarnet/Tarnet.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

constexpr int kBaseResourceID = 1000;
constexpr int32_t kHeaderSize = 6;
constexpr int32_t kBoneSize = 52;
constexpr int32_t kAnimHeaderSize = 36;
constexpr int32_t kEventSize = 4;
constexpr int32_t kKeyframeSize = 44;
constexpr int32_t kRelativePointSize = 12;

const char* gSkeletonFileName = nullptr;
bool gSkeletonTexturesUploaded = true;
static char gSkeletonFileNameBuffer[256];
static Tarnet::Handle gHeldResource; // released when a fatal alert interrupts the read

void SkeletonFatal(const char* format, ...)
{
    char message[768];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof(message), format, args);
    va_end(args);
    ShowFatalAlert("%s (in %s)", message, gSkeletonFileName ? gSkeletonFileName : "skeleton file");
}

// ---------------------------------------------------------------------------------------------------------
// Resources
// ---------------------------------------------------------------------------------------------------------

// The resource's bytes, held until ReleaseHeldResource; a missing one is fatal with `missing`.
static const uint8_t* TakeResource(const char* type, int id, const char* missing, int32_t* size)
{
    GAME_ASSERT(!gHeldResource);
    uint32_t code = (uint32_t(uint8_t(type[0])) << 24) | (uint32_t(uint8_t(type[1])) << 16) |
                    (uint32_t(uint8_t(type[2])) << 8) | uint32_t(uint8_t(type[3]));
    Tarnet::Handle resource = Tarnet::GetResource(code, int16_t(id));
    if (!resource)
        SkeletonFatal("%s", missing);
    gHeldResource = resource;
    *size = int32_t(Tarnet::GetHandleSize(resource));
    return reinterpret_cast<const uint8_t*>(*resource);
}

static void ReleaseHeldResource()
{
    if (gHeldResource) {
        Tarnet::ReleaseResource(gHeldResource);
        gHeldResource = nullptr;
    }
}

// A resource shorter than what its counts promise would be read past its end.
static void RequireSize(const char* type, int id, int32_t size, int64_t needed)
{
    if (int64_t(size) < needed)
        SkeletonFatal("ReadDataFromSkeletonFile: '%s' %d holds %d bytes but its counts need %lld", type, id,
                      size, (long long)needed);
}

static Point3D ReadPoint(const uint8_t* bytes)
{
    return {BigEndianFloat(bytes), BigEndianFloat(bytes + 4), BigEndianFloat(bytes + 8)};
}

// A table of `rows` pointers into one zeroed block of rows x rowBytes.
template <typename T> static T** Alloc2DArray(int rows, int32_t rowBytes)
{
    int allocatedRows = rows > 0 ? rows : 1;
    T** table = (T**)AllocPtrClear(int32_t(sizeof(T*)) * allocatedRows);
    uint8_t* block = (uint8_t*)AllocPtrClear(rowBytes * allocatedRows);
    for (int i = 0; i < allocatedRows; i++)
        table[i] = (T*)(block + int64_t(i) * rowBytes);
    return table;
}

template <typename T> static void Free2DArray(T** table)
{
    if (!table)
        return;
    SafeDisposePtr(table[0]);
    SafeDisposePtr(table);
}

// ---------------------------------------------------------------------------------------------------------
// The steps of the read
// ---------------------------------------------------------------------------------------------------------

static void ReadHeader(SkeletonInfoType* info)
{
    int32_t size;
    const uint8_t* bytes = TakeResource("Hedr", kBaseResourceID,
                                        "ReadDataFromSkeletonFile: Error reading header resource!", &size);
    RequireSize("Hedr", kBaseResourceID, size, kHeaderSize);
    int version = BigEndianU16(bytes);
    int animCount = bytes[3]; // the low byte of each count
    int numJoints = bytes[5];
    ReleaseHeldResource();

    if (version != SKELETON_FILE_VERSION)
        SkeletonFatal("Skeleton file has wrong version #");
    if (numJoints > MAX_JOINTS)
        SkeletonFatal("ReadDataFromSkeletonFile: numJoints > MAX_JOINTS");
    if (numJoints == 0)
        SkeletonFatal("PrimeBoneData: # = 0??");
    if (animCount > MAX_ANIMS)
        SkeletonFatal("ReadDataFromSkeletonFile: %d animations, at most %d", animCount, MAX_ANIMS);

    info->animCount = uint8_t(animCount);
    info->numJoints = uint8_t(numJoints);
    info->eventCount = (uint8_t*)AllocPtrClear(animCount > 0 ? animCount : 1);
    info->events =
        Alloc2DArray<AnimEventRecord>(animCount, int32_t(sizeof(AnimEventRecord)) * MAX_ANIM_EVENTS);
    info->joints = (JointRecord*)AllocPtrClear(int32_t(sizeof(JointRecord)) * numJoints);
    info->skinPoints =
        (SkinPointRecord*)AllocPtrClear(int32_t(sizeof(SkinPointRecord)) * MAX_DECOMPOSED_POINTS);
    info->skinNormals = (Vector3D*)AllocPtrClear(int32_t(sizeof(Vector3D)) * MAX_DECOMPOSED_NORMALS);
}

// The model file into its slot without touching OpenGL: its textures are decoded and dropped.
static void ImportModelWithoutTextures(const Tarnet::FSSpec* spec, int slot)
{
    int16_t refNum;
    if (Tarnet::FSpOpenDF(spec, Tarnet::fsRdPerm, &refNum) != Tarnet::noErr)
        SkeletonFatal("ImportTQ3D: FSpOpenDF failed");
    int32_t length = 0;
    if (Tarnet::GetEOF(refNum, &length) != Tarnet::noErr || length < 0) {
        Tarnet::FSClose(refNum);
        SkeletonFatal("ImportTQ3D: GetEOF failed");
    }
    uint8_t* data = (uint8_t*)AllocPtr(length);
    int32_t count = length;
    Tarnet::OSErr err = Tarnet::FSRead(refNum, &count, data);
    Tarnet::FSClose(refNum);
    if ((err != Tarnet::noErr && err != Tarnet::eofErr) || count != length) {
        SafeDisposePtr(data);
        SkeletonFatal("ImportTQ3D: FSRead failed");
    }
    TQ3DParsedFile parsed;
    try {
        TQ3D_ParseFile(spec->name, data, length, -1, &parsed);
    } catch (const FatalAlertError&) {
        SafeDisposePtr(data);
        throw;
    }
    SafeDisposePtr(data);
    TQ3D_PublishContainer(&parsed, slot);
    TQ3D_FreeParsedFile(&parsed); // only the images are left in it
}

static void LoadReferenceModel(SkeletonInfoType* info, const Tarnet::FSSpec* spec, int type)
{
    int32_t size;
    TakeResource("alis", kBaseResourceID, "ReadDataFromSkeletonFile: file is missing the Alias resource",
                 &size);
    Tarnet::FSSpec target;
    Tarnet::Boolean wasChanged;
    Tarnet::OSErr err = Tarnet::ResolveAlias(spec, gHeldResource, &target, &wasChanged);
    ReleaseHeldResource();
    if (err != Tarnet::noErr)
        SkeletonFatal("ReadDataFromSkeletonFile: Cannot find Skeleton's TQ3D file!");

    gCurrentSkeleton = info;
    int slot = MODEL_GROUP_SKELETONBASE + type;
    TQ3D_DisposeContainer(slot); // a model left from an earlier load of this type
    if (gSkeletonTexturesUploaded)
        ImportTQ3D(&target, slot, -1);
    else
        ImportModelWithoutTextures(&target, slot);
    info->meshCount = 0;
    info->skinPointCount = 0;
    info->skinNormalCount = 0;
    DecomposeReferenceModel(info, gLoadedModelFiles[slot]->root);
}

// Reads `count` u16 indices, each below `limit`, into a new list.
static uint16_t* ReadIndexList(const char* type, int joint, int count, int limit, const char* missing,
                               const char* what)
{
    int32_t size;
    const uint8_t* bytes = TakeResource(type, kBaseResourceID + joint, missing, &size);
    RequireSize(type, kBaseResourceID + joint, size, int64_t(count) * 2);
    for (int i = 0; i < count; i++) {
        int index = BigEndianU16(bytes + i * 2);
        if (index >= limit)
            SkeletonFatal("ReadDataFromSkeletonFile: joint %d lists %s %d, but there are only %d", joint,
                          what, index, limit);
    }
    uint16_t* list = (uint16_t*)AllocPtr(2 * (count > 0 ? count : 1));
    for (int i = 0; i < count; i++)
        list[i] = BigEndianU16(bytes + i * 2);
    ReleaseHeldResource();
    return list;
}

static void ReadJoints(SkeletonInfoType* info)
{
    for (int j = 0; j < info->numJoints; j++) {
        int32_t size;
        const uint8_t* bytes =
            TakeResource("Bone", kBaseResourceID + j, "Error reading Bone resource!", &size);
        RequireSize("Bone", kBaseResourceID + j, size, kBoneSize);
        JointRecord* joint = &info->joints[j];
        joint->parentJoint = BigEndianS32(bytes);
        joint->restPosition = ReadPoint(bytes + 36);
        int numPoints = BigEndianU16(bytes + 48);
        int numNormals = BigEndianU16(bytes + 50);
        ReleaseHeldResource();

        joint->pointList = ReadIndexList("BonP", j, numPoints, info->skinPointCount,
                                         "Error reading BonP resource!", "skin point");
        joint->numPointsAttachedToJoint = uint16_t(numPoints);
        joint->normalList = ReadIndexList("BonN", j, numNormals, info->skinNormalCount,
                                          "Error reading BonN resource!", "skin normal");
        joint->numNormalsAttachedToJoint = uint16_t(numNormals);
    }
}

static void ReadRelativePoints(SkeletonInfoType* info)
{
    int32_t size;
    const uint8_t* bytes = TakeResource("RelP", kBaseResourceID, "Error reading RelP resource!", &size);
    if (size / kRelativePointSize != info->skinPointCount)
        SkeletonFatal("# of points in Reference Model has changed!");
    for (int i = 0; i < info->skinPointCount; i++)
        info->skinPoints[i].localPoint = ReadPoint(bytes + i * kRelativePointSize);
    ReleaseHeldResource();
}

static void ReadAnimationHeaders(SkeletonInfoType* info)
{
    for (int a = 0; a < info->animCount; a++) {
        int id = kBaseResourceID + a;
        int32_t size;
        const uint8_t* bytes = TakeResource("AnHd", id, "Error getting anim header resource", &size);
        RequireSize("AnHd", id, size, kAnimHeaderSize);
        int numEvents = bytes[35]; // the low byte of the count
        ReleaseHeldResource();
        if (numEvents > MAX_ANIM_EVENTS)
            SkeletonFatal("ReadDataFromSkeletonFile: animation %d has %d events, at most %d", a, numEvents,
                          MAX_ANIM_EVENTS);
        info->eventCount[a] = uint8_t(numEvents);

        bytes = TakeResource("Evnt", id, "Error reading anim-event data resource!", &size);
        RequireSize("Evnt", id, size, int64_t(numEvents) * kEventSize);
        for (int e = 0; e < numEvents; e++) {
            AnimEventRecord* event = &info->events[a][e];
            event->time = BigEndianS16(bytes + e * kEventSize);
            event->type = bytes[e * kEventSize + 2];
            event->value = bytes[e * kEventSize + 3];
        }
        ReleaseHeldResource();

        bytes = TakeResource("NumK", id, "Error reading # keyframes/joint resource!", &size);
        RequireSize("NumK", id, size, info->numJoints);
        for (int j = 0; j < info->numJoints; j++)
            info->keyframeCount[j][a] = bytes[j];
        ReleaseHeldResource();
    }
}

static void ReadKeyframes(SkeletonInfoType* info)
{
    for (int j = 0; j < info->numJoints; j++) {
        info->keyframes[j] =
            Alloc2DArray<KeyframeRecord>(info->animCount, int32_t(sizeof(KeyframeRecord)) * MAX_KEYFRAMES);
        for (int a = 0; a < info->animCount; a++) {
            int count = info->keyframeCount[j][a];
            if (count > MAX_KEYFRAMES)
                SkeletonFatal("Error: numKeyframes > MAX_KEYFRAMES");
            int id = kBaseResourceID + 100 * a + j;
            int32_t size;
            const uint8_t* bytes = TakeResource("KeyF", id, "Error reading joint keyframes resource!", &size);
            RequireSize("KeyF", id, size, int64_t(count) * kKeyframeSize);
            for (int k = 0; k < count; k++) {
                const uint8_t* from = bytes + k * kKeyframeSize;
                KeyframeRecord* to = &info->keyframes[j][a][k];
                to->tick = BigEndianS32(from);
                to->easing = BigEndianS32(from + 4);
                to->position = ReadPoint(from + 8);
                Point3D rotation = ReadPoint(from + 20);
                Point3D scale = ReadPoint(from + 32);
                to->rotation = {rotation.x, rotation.y, rotation.z};
                to->scale = {scale.x, scale.y, scale.z};
            }
            ReleaseHeldResource();
        }
    }
}

static void ReadDataFromSkeletonFile(SkeletonInfoType* info, const Tarnet::FSSpec* spec, int type)
{
    ReadHeader(info);
    LoadReferenceModel(info, spec, type);
    ReadJoints(info);
    ReadRelativePoints(info);
    ReadAnimationHeaders(info);
    ReadKeyframes(info);
}

// ---------------------------------------------------------------------------------------------------------
// Loading and freeing
// ---------------------------------------------------------------------------------------------------------

void FreeSkeletonInfo(SkeletonInfoType* info)
{
    if (!info)
        return;
    if (info->joints) {
        for (int j = 0; j < info->numJoints; j++) {
            SafeDisposePtr(info->joints[j].pointList);
            SafeDisposePtr(info->joints[j].normalList);
        }
    }
    SafeDisposePtr(info->joints);
    SafeDisposePtr(info->eventCount);
    Free2DArray(info->events);
    for (int j = 0; j < MAX_JOINTS; j++)
        Free2DArray(info->keyframes[j]);
    SafeDisposePtr(info->skinPoints);
    SafeDisposePtr(info->skinNormals);
    if (gCurrentSkeleton == info)
        gCurrentSkeleton = nullptr;
    SafeDisposePtr(info);
}

SkeletonInfoType* LoadSkeletonFromSpec(const Tarnet::FSSpec* spec, int type)
{
    if (type < 0 || type >= MAX_SKELETON_TYPES)
        ShowFatalAlert("LoadSkeleton: Unknown skeletonType!");
    snprintf(gSkeletonFileNameBuffer, sizeof(gSkeletonFileNameBuffer), "%s", spec->name);
    gSkeletonFileName = gSkeletonFileNameBuffer;

    int16_t refNum = -1;
    try {
        refNum = Tarnet::FSpOpenResFile(spec, Tarnet::fsRdPerm);
    } catch (const FatalAlertError&) {
        throw;
    } catch (const std::exception& e) {
        SkeletonFatal("Error opening Skel Rez file: %s", e.what());
    }
    if (refNum == -1)
        SkeletonFatal("Error opening Skel Rez file: Error %d", int(Tarnet::ResError()));
    Tarnet::UseResFile(refNum);
    if (Tarnet::ResError() != Tarnet::noErr) {
        int err = Tarnet::ResError();
        Tarnet::CloseResFile(refNum);
        SkeletonFatal("Error using Rez file! Error %d", err);
    }

    SkeletonInfoType* info = (SkeletonInfoType*)AllocPtrClear(int32_t(sizeof(SkeletonInfoType)));
    // A fatal alert that returns control (tests, tools) must not leave the half-read type behind. In the
    // game a fatal alert quits instead, and nothing needs freeing.
    auto undo = [&] {
        ReleaseHeldResource();
        Tarnet::CloseResFile(refNum);
        FreeSkeletonInfo(info);
        TQ3D_DisposeContainer(MODEL_GROUP_SKELETONBASE + type);
    };
    try {
        ReadDataFromSkeletonFile(info, spec, type);
        CreateSkeletonFromBones(info);
    } catch (const Tarnet::QuitRequest&) {
        throw;
    } catch (const FatalAlertError&) {
        undo();
        gSkeletonFileName = nullptr;
        throw;
    } catch (const std::exception& e) {
        undo();
        SkeletonFatal("%s", e.what());
    }
    Tarnet::CloseResFile(refNum);
    gSkeletonFileName = nullptr;
    return info;
}

SkeletonInfoType* LoadSkeleton(int type)
{
    if (type < 0 || type >= MAX_SKELETON_TYPES)
        ShowFatalAlert("LoadSkeleton: Unknown skeletonType!");
    Tarnet::FSSpec spec;
    Tarnet::FSMakeFSSpec(gDataFolderSpec.vRefNum, gDataFolderSpec.parID, kSkeletonFileNames[type], &spec);
    return LoadSkeletonFromSpec(&spec, type);
}
