// Saved games: one small file per slot ("FileA" ... "FileE"), holding the level to continue with
// and player 0's stock.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Gameplay/PlayerStock.h"

constexpr int NUM_SAVE_SLOTS = 5; // the menus offer FileA .. FileE

// Stored in the slot file byte for byte (native byte order).
struct SavedGameRecord
{
    int64_t timeStamp;  // seconds since 1970 when the game was saved
    uint8_t levelIndex; // the level to continue with
    uint8_t lives;      // player 0's lives (low byte)
    int16_t ammo[NUM_WEAPON_AMMO_TYPES];
    float health;
    float jetFuel;
    float shieldTimer;
};

static_assert(sizeof(SavedGameRecord) == 32, "the saved-game record is stored in the slot files");
static_assert(offsetof(SavedGameRecord, timeStamp) == 0);
static_assert(offsetof(SavedGameRecord, levelIndex) == 8);
static_assert(offsetof(SavedGameRecord, lives) == 9);
static_assert(offsetof(SavedGameRecord, ammo) == 10);
static_assert(offsetof(SavedGameRecord, health) == 20);
static_assert(offsetof(SavedGameRecord, jetFuel) == 24);
static_assert(offsetof(SavedGameRecord, shieldTimer) == 28);

// Writes the slot from gLevelIndex and player 0's stock; true when the file was written.
bool WriteSaveSlot(int slot);

// Reads a slot; false when it is missing, corrupt, or holds a value the game cannot play with.
bool ReadSaveSlot(int slot, SavedGameRecord* record);

// Sets gLevelIndex and player 0's lives, health, jet fuel, shield and ammunition from the record.
void ApplySavedGame(const SavedGameRecord& record);

// Deletes a slot file; true when it was deleted.
bool DeleteFileSlot(int slot);

// Whether every field of a record is one the game can play with.
bool IsSavedGameRecordValid(const SavedGameRecord& record);

// The file name of a slot: "File" followed by 'A' + slot. False for a slot beyond 'Z'.
bool GetSaveSlotFileName(int slot, char (&name)[8]);
