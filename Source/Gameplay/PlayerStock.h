// What a player carries from level to level and what a saved game keeps of it: lives, health,
// jet fuel, shield and the ammunition of the five weapons.
#pragma once

#include <cstdint>

constexpr int NUM_WEAPON_AMMO_TYPES = 5;

struct PlayerStock
{
    int16_t lives;     // 3 at game start, 5 in battle mode
    float health;      // 0..1
    float jetFuel;     // 0..1
    float shieldTimer; // shield strength left, 0..3
    int16_t ammo[NUM_WEAPON_AMMO_TYPES];
};

inline PlayerStock gPlayerStock[2]; // per local player
