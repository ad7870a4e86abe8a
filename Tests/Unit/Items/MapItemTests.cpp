// Map items becoming objects as their supertiles enter the window: the map's edge, re-arming after
// deletion, rows that count as added without an object, one object per item however often the window
// moves, the ground the objects stand on, and the fatal alerts for items a level has no art for.

#include "ItemTestSupport.h"

#include "Objects/Collision.h"

namespace {

constexpr float kSuperTile = 1680.0f;
constexpr uint32_t kMapUnitsPerSuperTile = 256;

uint32_t CellCentre(int cell)
{
    return uint32_t(cell) * kMapUnitsPerSuperTile + kMapUnitsPerSuperTile / 2;
}

} // namespace

class MapItems : public ItemTest
{
};

TEST_F(MapItems, ItemExactlyAtTheMapWidthIsNeverAdded)
{
    PlayfieldDescription p = FlatPlayfield(4, 4);
    p.items.push_back(MakeItem(4 * kMapUnitsPerSuperTile - 2, CellCentre(1), 9));
    LoadItems(p);
    ViewFrom(2 * kSuperTile, 2 * kSuperTile);
    MapItemType* inside = ItemOfType(9);
    ASSERT_NE(inside, nullptr);
    EXPECT_EQ(ObjectsOf(inside), 1) << "an item just inside the edge is added";

    // The same item moved onto the edge itself, in the last column's cell.
    DisposeAllObjects();
    inside->x = gMapWidthUnits;
    AddItemsInSuperTile(1, 3);
    EXPECT_FALSE(inside->flags & ITEM_FLAG_ADDED);
    EXPECT_EQ(ObjectsOf(inside), 0);
}

TEST_F(MapItems, DeletedOutOfRangeItemComesBackOnTheNextScan)
{
    PlayfieldDescription p = FlatPlayfield(40, 4);
    p.items.push_back(MakeItem(CellCentre(2), CellCentre(2), 12, 1));
    LoadItems(p);
    MapItemType* item = ItemOfType(12);
    ViewFrom(2 * kSuperTile, 2 * kSuperTile);
    ASSERT_EQ(ObjectsOf(item), 1);

    // Far away: the move pass deletes the object and its item is armed again.
    ViewFrom(35 * kSuperTile, 2 * kSuperTile);
    MoveObjects();
    EXPECT_EQ(ObjectsOf(item), 0);
    EXPECT_FALSE(item->flags & ITEM_FLAG_ADDED);

    ViewFrom(2 * kSuperTile, 2 * kSuperTile);
    EXPECT_EQ(ObjectsOf(item), 1) << "the item is made again when its supertile returns";
    EXPECT_TRUE(item->flags & ITEM_FLAG_ADDED);
}

TEST_F(MapItems, EachItemHasOneObjectHoweverTheWindowMoves)
{
    PlayfieldDescription p = FlatPlayfield(30, 30);
    p.items.clear();
    for (int col = 0; col < 30; col += 2)
        for (int row = 0; row < 30; row += 3)
            p.items.push_back(MakeItem(CellCentre(col), CellCentre(row), uint16_t(col % 4 ? 41 : 1)));
    p.items.push_back(MakeItem(1, 1, 0));
    InstallItemRoutines(2, "level3"); // swamp art rows: grass (41) and scenery E as trees' model 2
    LoadItems(p, 2, "level3");

    for (int step = 0; step < 12; step++) {
        ViewFrom((10 + float(step)) * kSuperTile, (12 + float(step % 3)) * kSuperTile);
        MoveObjects();
        for (int i = 0; i < gNumMapItems; i++) {
            const MapItemType* item = &gMapItems[i];
            if (item->type == 0)
                continue;
            int objects = ObjectsOf(item);
            EXPECT_LE(objects, 1) << "item " << i << " at step " << step;
            EXPECT_EQ(objects == 1, (item->flags & ITEM_FLAG_ADDED) != 0) << "item " << i;
        }
    }
}

TEST_F(MapItems, AWeaponPowerUpOfParmThreeCountsAsAddedWithoutAnObject)
{
    PlayfieldDescription p = FlatPlayfield(4, 4);
    p.items.push_back(MakeItem(CellCentre(1), CellCentre(1), 6, 3));
    LoadItems(p);
    int before = gLiveNodeCount;
    ViewFrom(2 * kSuperTile, 2 * kSuperTile);
    EXPECT_TRUE(ItemOfType(6)->flags & ITEM_FLAG_ADDED) << "never scanned again";
    EXPECT_EQ(gLiveNodeCount, before);
    EXPECT_FALSE(ItemOfType(0)->flags & ITEM_FLAG_ADDED) << "a player start is no object";
}

TEST_F(MapItems, RocksSinkTheirBottomOntoTheLowestGroundUnderThem)
{
    PlayfieldDescription p = FlatPlayfield(4, 4);
    p.items.push_back(MakeItem(CellCentre(1), CellCentre(1), 14, 0, 3));
    LoadItems(p);
    ViewFrom(2 * kSuperTile, 2 * kSuperTile);
    MapItemType* item = ItemOfType(14);
    ObjNode* rock = nullptr;
    for (ObjNode* node = gObjectListHead; node; node = node->NextInList)
        if (node->TerrainItem == item)
            rock = node;
    ASSERT_NE(rock, nullptr);
    EXPECT_NEAR(rock->Position.y, -kTestModelBottom * rock->Scale.x, 0.01f);
    EXPECT_GE(rock->Scale.x, 1.7f);
    EXPECT_LE(rock->Scale.x, 2.3f);
    EXPECT_NEAR(rock->Rotation.y, 2 * 0.7853982f, 1e-4f) << "parm[1] n gives (n - 1) eighths of a turn";
    EXPECT_EQ(rock->CType, CTYPE_ITEM_SOLID);
}

TEST_F(MapItems, ThornyPlantsHurtWithoutBlockingAndTreeCrownsAreTheirOwnPart)
{
    PlayfieldDescription p = FlatPlayfield(4, 4);
    p.items.push_back(MakeItem(CellCentre(1), CellCentre(1), 28, 2));
    p.items.push_back(MakeItem(CellCentre(2), CellCentre(1), 27, 4));
    LoadItems(p, 1, "level2");
    ViewFrom(2 * kSuperTile, 2 * kSuperTile);

    ObjNode *bush = nullptr, *tree = nullptr;
    for (ObjNode* node = gObjectListHead; node; node = node->NextInList) {
        if (node->TerrainItem == ItemOfType(28))
            bush = node;
        if (node->TerrainItem == ItemOfType(27))
            tree = node;
    }
    ASSERT_TRUE(bush && tree);
    EXPECT_EQ(bush->ArtIndex, 23 + 2);
    EXPECT_FLOAT_EQ(bush->Damage, DESERT_BUSH_DAMAGE);
    EXPECT_TRUE(bush->CType & CT_TRIGGER);
    EXPECT_FALSE(bush->TriggerProc(bush, bush)) << "thorns never block";

    ASSERT_NE(tree->ChainNext, nullptr);
    EXPECT_EQ(tree->ArtIndex, 5 + 4);
    EXPECT_EQ(tree->ChainNext->ArtIndex, 10 + 4);
    EXPECT_EQ(tree->ChainNext->CType, CTYPE_ITEM_CROWN);
    EXPECT_TRUE(tree->TriggerProc(tree, tree)) << "a trunk is solid";
}

TEST_F(MapItems, ItemsBeyondTheLevelsArtStopWithAMessageNamingIt)
{
    PlayfieldDescription p = FlatPlayfield(4, 4);
    LoadItems(p);
    auto addAs = [](int levelIndex, const char* name, uint16_t type, uint8_t parm0) {
        InstallItemRoutines(levelIndex, name);
        MapItemType item = {};
        item.x = item.z = 500;
        item.type = type;
        item.parm[0] = parm0;
        return FatalAlertMessageOf([&] { gMapItemAddRoutines[type](&item, 500, 500); });
    };

    EXPECT_EQ(addAs(1, "level2", 27, 5), "AddDesertTree: illegal subtype");
    EXPECT_EQ(addAs(1, "level2", 28, 4), "AddDesertBush: illegal subtype");
    EXPECT_EQ(addAs(1, "level2", 29, 3), "AddCactus: illegal subtype");
    EXPECT_EQ(addAs(1, "level2", 30, 3), "AddCrystal: illegal subtype");
    EXPECT_EQ(addAs(1, "level2", 36, 3), "AddPalmBush: illegal subtype");
    EXPECT_EQ(addAs(2, "level3", 40, 3), "AddGeckoPlant: illegal subtype");

    std::string tooFar = addAs(0, "level1", 1, 200);
    EXPECT_NE(tooFar.find("AddTreeA"), std::string::npos) << tooFar;
    EXPECT_NE(tooFar.find("\"level1\""), std::string::npos) << tooFar;
    EXPECT_NE(tooFar.find("202"), std::string::npos) << "names the missing model: " << tooFar;

    EXPECT_EQ(addAs(2, "level3", 14, 0), "AddRock: no rocks are assigned to level \"level3\"");
    EXPECT_NE(addAs(5, "battle1", 18, 0).find("AddForestDoor: level \"battle1\""), std::string::npos);
    EXPECT_NE(addAs(4, "race2", 17, 0).find("AddAirMine: level \"race2\""), std::string::npos);
    EXPECT_EQ(addAs(3, "race1", 17, 0), "") << "swamp arenas have mines";
}

TEST_F(MapItems, ItemOfATypeBeyondTheTableStopsTheScan)
{
    PlayfieldDescription p = FlatPlayfield(4, 4);
    p.items.push_back(MakeItem(CellCentre(1), CellCentre(1), 9));
    LoadItems(p);
    ItemOfType(9)->type = NUM_MAP_ITEM_TYPES;
    std::string message = FatalAlertMessageOf([&] { ViewFrom(2 * kSuperTile, 2 * kSuperTile); });
    EXPECT_EQ(message, "Illegal Map Item Type 49!");
}
