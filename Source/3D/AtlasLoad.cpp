// AtlasLoad.cpp: atlases from the data folder into the slots of gAtlases.
#include "3D/Atlas.h"

#include "3D/OGL_Support.h"
#include "System/Alerts.h"
#include "System/DataFiles.h"
#include "System/Memory.h"
#include "System/ProgramState.h"
#include "Tarnet/Files/Files.h"

#include <cstdio>
#include <cstring>

Atlas* gAtlases[MAX_ATLASES];

static MetaObject* MakeSheetMaterial(GLuint textureName, int width, int height)
{
    MaterialRecord material;
    memset(&material, 0, sizeof(material));
    material.flags = MO_MATERIAL_FLAG_TEXTURED | MO_MATERIAL_FLAG_ALWAYS_BLEND | MO_MATERIAL_FLAG_CLAMP_U |
                     MO_MATERIAL_FLAG_CLAMP_V;
    for (float& channel : material.diffuseColor)
        channel = 1;
    material.numMipmaps = 1;
    material.width = width;
    material.height = height;
    material.textureName[0] = textureName;
    return MO_CreateNewObjectOfType(MO_TYPE_MATERIAL, 0, &material);
}

Atlas* Atlas_Load(const char* name, int flags)
{
    Atlas* atlas = Atlas_NewRecord(name, flags);

    char path[256];
    snprintf(path, sizeof(path), (flags & ATLAS_ALT_TEXTURE) ? "%s.alt1" : "%s", name);
    int width = 0, height = 0;
    GLuint texture = OGL_TextureMap_LoadImageFile(path, &width, &height, nullptr);
    atlas->textureWidth = width;
    atlas->textureHeight = height;
    GAME_ASSERT(atlas->textureWidth != 0);
    GAME_ASSERT(atlas->textureHeight != 0);
    if (atlas->material)
        ShowFatalAlert("atlas material already created");
    atlas->material = MakeSheetMaterial(texture, width, height);

    if (flags & ATLAS_SINGLE_IMAGE) {
        Atlas_SetSingleImageGlyph(atlas);
        return atlas;
    }

    snprintf(path, sizeof(path), "%s.txt", name);
    char* data = LoadDataFile(path, nullptr);
    if (!data)
        ShowFatalAlert("%s:%d: %s (%s)", __func__, __LINE__, "data", path);
    Atlas_ParseMetrics(atlas, data, path);
    SafeDisposePtr(data);

    if (atlas->isFont) {
        snprintf(path, sizeof(path), "%s.kerning.txt", name);
        data = LoadDataFile(path, nullptr);
        if (data) {
            Atlas_ParseKerning(atlas, data, path);
            SafeDisposePtr(data);
        }
    }
    return atlas;
}

static void CheckSlot(int slot)
{
    GAME_ASSERT((size_t)slot < (size_t)MAX_ATLASES);
}

void LoadSpriteAtlas(int slot, const char* name, int flags)
{
    CheckSlot(slot);
    if (gAtlases[slot] && !strncmp(gAtlases[slot]->name, name, ATLAS_NAME_LENGTH))
        return;
    DisposeAtlas(slot);
    gAtlases[slot] = Atlas_Load(name, flags);
}

void DisposeAtlas(int slot)
{
    CheckSlot(slot);
    Atlas_Free(gAtlases[slot]);
    gAtlases[slot] = nullptr;
}

void DisposeAllAtlases()
{
    for (int i = 0; i < MAX_ATLASES; i++)
        DisposeAtlas(i);
}
