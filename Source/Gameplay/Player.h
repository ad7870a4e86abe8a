// Player.h: the local players. Each flies a jet-pack pterosaur, a skeleton object that is always
// airborne: it moves forward between 650 units/s and a speed cap, steers by rolling and pitching,
// burns jet fuel for speed, bounces off the ground, settles on water, is hurt and crashes, explodes
// and respawns. This module owns the per-player record, the flight model, the reading of the flight
// needs, the animation states, damage, death and respawn, and the race progress over line markers.
#pragma once

#include <cstdint>

#include "3D/Math3D.h"
#include "Gameplay/Effects.h"
#include "Gameplay/PlayerStock.h"
#include "Objects/ObjNode.h"
#include "Terrain/Terrain.h"

constexpr int MAX_PLAYERS = 2;

// Flight figures.
constexpr float PLAYER_MIN_SPEED = 650;
constexpr float PLAYER_NORMAL_SPEED_CAP = 900;
constexpr float PLAYER_JET_SPEED_CAP = 2000;
constexpr float PLAYER_CATCH_UP_SPEED_CAP = 1125; // race mode, for a player behind and far away
constexpr float PLAYER_CEILING = 2080;
constexpr float PLAYER_MAX_ROLL = 0.9424779f;       // 54 degrees either way
constexpr float PLAYER_MAX_DIVE = -1.6534699f;      // pitch
constexpr float PLAYER_MAX_CLIMB = 1.0471976f;      // pitch, 60 degrees
constexpr float PLAYER_BANK_ANIM_ROLL = 0.4487990f; // roll beyond which the banking animations play
constexpr float PLAYER_RESPAWN_SPEED = 900;

// Animations of the player skeleton; each selects the move handler.
enum
{
    PLAYER_ANIM_FLY = 0,
    PLAYER_ANIM_BANK_RIGHT = 1,
    PLAYER_ANIM_BANK_LEFT = 2,
    PLAYER_ANIM_FALL = 3,   // dying: falls until it hits the ground
    PLAYER_ANIM_ARRIVE = 4, // out of the start wormhole
    PLAYER_ANIM_REACH = 5,  // toward a nearby object ahead
    PLAYER_ANIM_EGG_FLY = 6,
    PLAYER_ANIM_EGG_BANK_RIGHT = 7,
    PLAYER_ANIM_EGG_BANK_LEFT = 8,
    PLAYER_ANIM_EXIT = 9,     // drawn into the exit wormhole
    PLAYER_ANIM_RECOVER = 10, // hurt flinch; a new animation is chosen when it stops
    PLAYER_ANIM_SPIN = 11,    // caught by a dust devil
    PLAYER_ANIM_FLY_VARIANT = 12,
    PLAYER_ANIM_FLY_PLAIN = 13,
    NUM_PLAYER_ANIMS = 14
};

// Death kinds of DamagePlayer and KillPlayer.
enum
{
    PLAYER_DEATH_EXPLODE = 0,
    PLAYER_DEATH_FALL = 1
};

// Body line segments: joint pairs of the player skeleton (head to tail tip, wing tip to wing tip).
constexpr int PLAYER_HEAD_JOINT = 23;
constexpr int PLAYER_TAIL_TIP_JOINT = 5;
constexpr int PLAYER_RIGHT_WING_TIP_JOINT = 16;
constexpr int PLAYER_LEFT_WING_TIP_JOINT = 21;

struct PlayerRecord
{
    int32_t startX, startZ; // from the level's start item, world units
    float startHeading;     // radians
    Point3D coord;          // the player's position, refreshed every frame
    ObjNode* objNode;       // the player's skeleton object; null between levels
    float heightAboveGround;
    float invincibleTimer; // seconds without damage; counts down below 0

    Point3D cameraFrom, cameraTo; // the pane camera, written every frame
    Vector3D cameraDir;           // unit view direction of the chase camera

    int16_t lives;
    float health;  // 0..1
    float jetFuel; // 0..1
    bool jetOn;    // the jet pack fired this frame
    float jetHumTimer;

    int16_t currentWeapon; // 0..4, -1 none
    int16_t ammo[NUM_WEAPON_AMMO_TYPES];
    float weaponCharge;
    int16_t chargeChannel; // -1 when no charge sound plays
    uint8_t muzzleSide;

    ObjNode* carriedEgg; // null when none
    float shieldTimer;   // shield strength left, 0..3
    ObjNode* shieldObj;  // the bubble while it exists

    Point3D aimPoints[2];
    ObjNode* aimTarget;
    uint32_t aimTargetStamp;

    // Race progress.
    int16_t lap;
    int16_t lastLineMarker; // the last marker reached
    bool markerPassed[MAX_LINEMARKERS];
    float distanceToNextMarker;
    int16_t place; // 0 = first
    bool wrongWay;
    bool raceFinished;

    float groundRumbleTimer;

    // The dust devil holding the player (anim 11).
    ObjNode* dustDevil;
    float dustDevilTimer; // seconds left in its grip; then the time since release
    float spinRadius, spinAngle, spinSpeed;
    bool spinReleased;

    // Per level.
    float steer, pitch;         // this frame's flight inputs, -1..1
    float rawSteer, rawPitch;   // the same before the invert-pitch preference
    float flyAnimTimer;         // the alternation of the two level-flight animations
    float waterEffectTimer;     // ripples while in the water
    EffectEmitter dustEmitter;  // scrape dust while touching the ground
    EffectEmitter sprayEmitter; // spray while skimming water
    EffectEmitter smokeEmitter; // damage smoke while badly hurt
    Point3D contrailLastPoint[2];
};

extern PlayerRecord gPlayers[MAX_PLAYERS];
extern float gSpeedCap[MAX_PLAYERS];       // current top speed
extern float gSpeedCapTarget[MAX_PLAYERS]; // the top speed the cap moves toward
extern bool gPlayerDead[MAX_PLAYERS];
extern float gRespawnTimer[MAX_PLAYERS];
extern Point3D gRespawnPoint[MAX_PLAYERS];
extern float gRespawnRotY[MAX_PLAYERS];

// --- Records and objects (PlayerRecords.cpp) ---
// Game start: lives, health, fuel, shield and weapons at the mode's start values; a restored game
// takes them from gPlayerStock instead. Always clears the start fields and the respawn timers.
void InitPlayerRecords(bool restoredGame);
void StorePlayerStock(); // player 0's lives, health, fuel, shield and ammunition into gPlayerStock
// Level start, after the playfield is read: every player's object, respawn point and shield.
void InitPlayers();
// Forgets the objects of the level that ended (they were disposed with the level's objects).
void ClearPlayerObjects();
void DisposePlayerArt(); // level end, after the objects: player 2's skin, and the objects forgotten
ObjNode* MakePlayer(int player, const PlayerStartType* start, float scale);
// Brings a dead player back at its respawn point; in adventure mode without lives it loses the level.
void RespawnPlayer(int player);
// The play loop's death timing for every dead player, respawns included; gives the panes that must
// start fading out or back in this frame as bits (1 << player).
void UpdatePlayerDeathTimers(uint32_t* panesToFadeOut, uint32_t* panesToFadeIn);
float MaxFlightAltitude(float x, float z); // the flight ceiling over (x, z)
// Every part of the player's chain: opacity += delta (clamped to 0..1); at 0 the chain is hidden,
// frozen and loses its collision type.
void ChangePlayerOpacity(int player, float delta);

// --- Controls (PlayerInput.cpp) ---
void UpdatePlayerInputs(int player); // once per frame: steer and pitch from the needs (and the mouse)

// --- Flight (PlayerFlight.cpp) ---
void MovePlayer(ObjNode* node);         // the player's move routine
void ChoosePlayerAnim(ObjNode* node);   // reach, bank or one of the level-flight animations
int PlayerIndexOf(const ObjNode* node); // the player an object belongs to (its PaneIndex)

// --- Damage and death (PlayerDamage.cpp) ---
// Returns true when the player is dead after the call.
bool DamagePlayer(int player, float amount, int deathKind, const Point3D* where, bool flinch);
void KillPlayer(int player, int deathKind, const Point3D* where);
bool CrashPlayer(ObjNode* playerObj, ObjNode* hazard, int deathKind); // always true
void ExplodePlayer(int player, const Point3D* where);
void MakeShieldBubble(int player);
void UpdateShieldBubble(int player);
void ShieldHit(int player, float amount, float flash, bool flinch);
void StartPlayerFlinch(int player); // the hurt flinch: anim 10 unless already in it
// The thump of something striking the player's body: its sound at the player (at `volume`) and the
// controller's rumble.
void PlayBodyHit(int player, float volume = 1.0f);
bool PlayerHitByWeapon(ObjNode* weapon, ObjNode* self, const Point3D* hitPoint, const Vector3D* hitNormal);
bool PlayerTouchesPlayer(ObjNode* self, ObjNode* other); // two-player modes

// --- Race (PlayerRace.cpp) ---
void UpdateRaceProgress(int player, int crossedMarker); // crossedMarker -1 when none this frame
void UpdateRacePlaces();
