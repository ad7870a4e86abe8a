// SpriteObjects.cpp: a sprite of a loaded group as an object node of the 2D overlay.
#include "3D/Sprites.h"

#include "Objects/ObjNode.h"
#include "System/Alerts.h"

ObjNode* MakeSpriteObject(ObjectDefinition* def, bool centered)
{
    if (def->artGroup >= MAX_SPRITE_GROUPS || def->artIndex >= gNumSpritesInGroupList[def->artGroup])
        ShowFatalAlert("MakeSpriteObject: illegal type");

    def->statusFlags |=
        NODEBIT_CLAMP_UV | NODEBIT_SHOW_BACKFACES | NODEBIT_LIGHTING_OFF | NODEBIT_DEPTH_TEST_OFF;
    def->genre = SPRITE_GENRE;
    ObjNode* node = MakeNewObject(def);
    if (!node)
        return nullptr;

    SpriteSetupRecord setup;
    setup.loadFile = false;
    setup.group = def->artGroup;
    setup.type = def->artIndex;
    setup.centered = centered;
    MetaObject* sprite = MO_CreateNewObjectOfType(MO_TYPE_SPRITE, 0, &setup);
    if (!sprite)
        ShowFatalAlert("MakeSpriteObject: MO_CreateNewObjectOfType failed!");

    SpriteRecord* record = MO_GetSpriteData(sprite);
    record->scaleX = node->Scale.x;
    record->scaleY = node->Scale.x;
    record->position = node->Position;
    node->SpriteObject = sprite;
    return node;
}
