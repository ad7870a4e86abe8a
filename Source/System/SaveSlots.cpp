// Saved games in slot files. A slot is read only through IsSavedGameRecordValid, so that no
// level index, ammunition count or meter from a damaged or edited file reaches the game.

#include "System/SaveSlots.h"

#include "System/LevelGlobals.h"
#include "System/UserDataFiles.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

static constexpr const char* kSaveMagic = "Quorvel2 Save v0";

bool GetSaveSlotFileName(int slot, char (&name)[8])
{
    if (slot < 0 || slot >= 26)
        return false;
    std::snprintf(name, sizeof(name), "File%c", 'A' + slot);
    return true;
}

static bool IsMeterInRange(float value, float maximum)
{
    return std::isfinite(value) && value >= 0.0f && value <= maximum;
}

bool IsSavedGameRecordValid(const SavedGameRecord& record)
{
    if (record.levelIndex >= NUM_ADVENTURE_LEVELS)
        return false;
    for (int16_t ammo : record.ammo) {
        if (ammo < 0)
            return false;
    }
    return IsMeterInRange(record.health, 1.0f) && IsMeterInRange(record.jetFuel, 1.0f) &&
           IsMeterInRange(record.shieldTimer, 3.0f);
}

bool WriteSaveSlot(int slot)
{
    char name[8];
    if (!GetSaveSlotFileName(slot, name))
        return false;

    const PlayerStock& player = gPlayerStock[0];
    SavedGameRecord record;
    std::memset(&record, 0, sizeof(record));
    record.timeStamp = int64_t(std::time(nullptr));
    record.levelIndex = uint8_t(gLevelIndex);
    record.lives = uint8_t(player.lives);
    for (int i = 0; i < NUM_WEAPON_AMMO_TYPES; i++)
        record.ammo[i] = player.ammo[i];
    record.health = player.health;
    record.jetFuel = player.jetFuel;
    record.shieldTimer = player.shieldTimer;

    return SaveUserDataFile(name, kSaveMagic, sizeof(record), &record) == Tarnet::noErr;
}

bool ReadSaveSlot(int slot, SavedGameRecord* record)
{
    std::memset(record, 0, sizeof(*record));
    char name[8];
    if (!GetSaveSlotFileName(slot, name))
        return false;
    if (LoadUserDataFile(name, kSaveMagic, sizeof(*record), record) != Tarnet::noErr)
        return false;
    return IsSavedGameRecordValid(*record);
}

void ApplySavedGame(const SavedGameRecord& record)
{
    PlayerStock& player = gPlayerStock[0];
    gLevelIndex = record.levelIndex;
    player.lives = record.lives;
    player.health = record.health;
    player.jetFuel = record.jetFuel;
    player.shieldTimer = record.shieldTimer;
    for (int i = 0; i < NUM_WEAPON_AMMO_TYPES; i++)
        player.ammo[i] = record.ammo[i];
}

bool DeleteFileSlot(int slot)
{
    char name[8];
    if (!GetSaveSlotFileName(slot, name))
        return false;
    return DeleteUserDataFile(name);
}
