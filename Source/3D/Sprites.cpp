// Sprites.cpp: loading and disposing of sprite groups, and blending their materials.
#include "3D/Sprites.h"

#include "3D/OGL_Support.h"
#include "System/Alerts.h"
#include "System/Memory.h"

#include <cstdio>
#include <cstring>

void InitSpriteManager()
{
    for (int i = 0; i < MAX_SPRITE_GROUPS; i++) {
        gSpriteGroupList[i] = nullptr;
        gNumSpritesInGroupList[i] = 0;
    }
}

static void CheckGroupNumber(int groupNum)
{
    if (groupNum < 0 || groupNum >= MAX_SPRITE_GROUPS)
        ShowFatalAlert("Sprite group %d does not exist", groupNum);
}

void AllocSpriteGroup(int groupNum, int count)
{
    CheckGroupNumber(groupNum);
    if (gSpriteGroupList[groupNum])
        ShowFatalAlert("Sprite group already allocated");
    GAME_ASSERT(gNumSpritesInGroupList[groupNum] == 0);
    GAME_ASSERT(count > 0);

    gNumSpritesInGroupList[groupNum] = count;
    gSpriteGroupList[groupNum] = (SpriteGroupEntry*)AllocPtrClear(count * (int32_t)sizeof(SpriteGroupEntry));
    GAME_ASSERT(gSpriteGroupList[groupNum]);
}

SpriteGroupEntry LoadSpriteFromDualImage(const char* path)
{
    int width = 0, height = 0;
    bool hasAlpha = false;
    GLuint textureName = OGL_TextureMap_LoadImageFile(path, &width, &height, &hasAlpha);
    GAME_ASSERT(textureName);

    MaterialRecord material;
    memset(&material, 0, sizeof(material));
    material.flags = MO_MATERIAL_FLAG_TEXTURED | (hasAlpha ? MO_MATERIAL_FLAG_ALWAYS_BLEND : 0);
    for (float& channel : material.diffuseColor)
        channel = 1;
    material.numMipmaps = 1;
    material.width = width;
    material.height = height;
    material.textureName[0] = textureName;

    SpriteGroupEntry entry;
    entry.width = width;
    entry.height = height;
    entry.materialObject = MO_CreateNewObjectOfType(MO_TYPE_MATERIAL, 0, &material);
    return entry;
}

void LoadSpriteGroupFromFile(int groupNum, const char* path)
{
    AllocSpriteGroup(groupNum, 1);
    gSpriteGroupList[groupNum][0] = LoadSpriteFromDualImage(path);
    GAME_ASSERT(gSpriteGroupList[groupNum][0].materialObject);
}

void LoadSpriteGroupFromFiles(int groupNum, int count, const char* const* paths)
{
    AllocSpriteGroup(groupNum, count);
    for (int i = 0; i < count; i++) {
        gSpriteGroupList[groupNum][i] = LoadSpriteFromDualImage(paths[i]);
        GAME_ASSERT(gSpriteGroupList[groupNum][i].materialObject);
    }
}

void LoadSpriteGroupFromSeries(int groupNum, int count, const char* seriesName)
{
    AllocSpriteGroup(groupNum, count);
    for (int i = 0; i < count; i++) {
        char path[256];
        snprintf(path, sizeof(path), ":sprites:%s:%s%03d", seriesName, seriesName, i);
        gSpriteGroupList[groupNum][i] = LoadSpriteFromDualImage(path);
        GAME_ASSERT(gSpriteGroupList[groupNum][i].materialObject);
    }
}

void DisposeSpriteGroup(int groupNum)
{
    CheckGroupNumber(groupNum);
    SpriteGroupEntry* entries = gSpriteGroupList[groupNum];
    if (entries) {
        for (int i = 0; i < gNumSpritesInGroupList[groupNum]; i++) {
            if (entries[i].materialObject)
                MO_DisposeObjectReference(entries[i].materialObject);
        }
        SafeDisposePtr(entries);
    }
    gSpriteGroupList[groupNum] = nullptr;
    gNumSpritesInGroupList[groupNum] = 0;
}

void DisposeAllSpriteGroups()
{
    for (int i = 0; i < MAX_SPRITE_GROUPS; i++)
        DisposeSpriteGroup(i);
}

static void BlendMaterial(MetaObject* material)
{
    MO_GetMaterialData(material)->flags |= MO_MATERIAL_FLAG_ALWAYS_BLEND;
}

void BlendASprite(int groupNum, int type)
{
    CheckGroupNumber(groupNum);
    if (type < 0 || type >= gNumSpritesInGroupList[groupNum])
        ShowFatalAlert("BlendASprite: illegal type");
    MetaObject* material = gSpriteGroupList[groupNum][type].materialObject;
    if (!material)
        ShowFatalAlert("BlendASprite: material == nil");
    BlendMaterial(material);
}

void BlendAllSpritesInGroup(int groupNum)
{
    CheckGroupNumber(groupNum);
    int count = gNumSpritesInGroupList[groupNum];
    if (count <= 0 || !gSpriteGroupList[groupNum])
        ShowFatalAlert("BlendAllSpritesInGroup: this group is empty");
    for (int i = 0; i < count; i++) {
        MetaObject* material = gSpriteGroupList[groupNum][i].materialObject;
        if (!material)
            ShowFatalAlert("BlendAllSpritesInGroup: material == nil");
        BlendMaterial(material);
    }
}
