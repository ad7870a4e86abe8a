// Twitch.cpp: the pool of running twitches, the driver nodes that run them, and the effect of one
// twitch at a moment of its life.
//
// A driver is an invisible node one slot above its puppet, so it moves right after the puppet's own
// move routine. Its record (TwitchDriverData) lives in the node's general block; the twitches it runs
// are named by their index in the pool.
#include "Interface/Twitch.h"

#include "Objects/ObjNode.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/Memory.h"

#include <cmath>
#include <cstdio>
#include <cstring>

struct TwitchDriverData
{
    uint32_t cookie; // 'UIFX' while the node is a live driver
    uint8_t chainLength;
    uint8_t killPuppetWhenDone;
    uint8_t hideUntilStarted; // the puppet shows only once a twitch is past its delay
    uint8_t twitchIndex[MAX_TWITCH_CHAIN_LENGTH];
    ObjNode* puppet;
    float timers[MAX_TWITCH_CHAIN_LENGTH]; // seconds since each twitch was added
};
static_assert(sizeof(TwitchDriverData) <= sizeof(ObjNode::GeneralBlock),
              "the driver record lives in the node");
static_assert(MAX_TWITCHES <= 256, "pool indices are stored in bytes");

static constexpr uint32_t kDriverCookie = FourCharCode("UIFX");

static Twitch gTwitchPool[MAX_TWITCHES];
static Twitch* gFreeTwitches[MAX_TWITCHES]; // a stack: taken from and returned to the top
static int gNumFreeTwitches;
bool gTwitchPtrPoolInitialized = false;

[[noreturn]] static void TwitchAssertion(const char* function, int line, const char* condition)
{
    ShowFatalAlert("%s:%d: %s", function, line, condition);
}

static TwitchDriverData* GetDriverData(ObjNode* driver)
{
    return reinterpret_cast<TwitchDriverData*>(driver->GeneralBlock);
}

// ---------------------------------------------------------------------------------------------------------
// The pool
// ---------------------------------------------------------------------------------------------------------

void InitTwitchSystem()
{
    LoadTwitchPresets();
    for (int i = 0; i < MAX_TWITCHES; i++)
        gFreeTwitches[i] = &gTwitchPool[MAX_TWITCHES - 1 - i];
    gNumFreeTwitches = MAX_TWITCHES;
    gTwitchPtrPoolInitialized = true;
}

int CountFreeTwitches()
{
    return gNumFreeTwitches;
}

static Twitch* TakeTwitch()
{
    return gNumFreeTwitches > 0 ? gFreeTwitches[--gNumFreeTwitches] : nullptr;
}

void DisposeTwitch(Twitch* twitch)
{
    int i = gNumFreeTwitches;
    if (!(i < MAX_TWITCHES))
        TwitchAssertion("DisposeTwitch", __LINE__, "i < MAX_TWITCHES");
    gFreeTwitches[i] = twitch;
    gNumFreeTwitches++;
}

static void ReturnWholeChain(TwitchDriverData* data)
{
    for (int i = 0; i < data->chainLength; i++)
        DisposeTwitch(&gTwitchPool[data->twitchIndex[i]]);
    data->chainLength = 0;
}

// ---------------------------------------------------------------------------------------------------------
// One twitch at time t
// ---------------------------------------------------------------------------------------------------------

static float Ease(int easing, float p)
{
    const float q = 1 - p;
    switch (easing) {
    case kEaseInQuad:
        return p * p;
    case kEaseOutQuad:
        return 1 - q * q;
    case kEaseOutCubic:
        return 1 - q * q * q;
    case kEaseInExpo:
        return p == 0 ? 0 : std::pow(2.0f, 10 * p - 10);
    case kEaseOutExpo:
        return p == 1 ? 1 : 1 - std::pow(2.0f, -10 * p);
    case kEaseInBack:
        return 2.7f * p * p * p - 1.7f * p * p;
    case kEaseOutBack:
        return 1 - (2.7f * q * q * q - 1.7f * q * q);
    case kEaseBounce0To0:
        return (2 * p - 1) * (2 * p - 1);
    case kEaseLinear:
    default:
        return p;
    }
}

template <typename XYZ> static float& Component(XYZ& v, int axis)
{
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

// Applies the twitch to the puppet as it stands `time` seconds after it was added; true when it has
// reached its end (its final state has just been applied).
static bool ApplyTwitch(ObjNode* puppet, const Twitch* twitch, float time)
{
    const float duration = twitch->duration == 0 ? 1 : twitch->duration;
    const float u = (time - twitch->delay) / duration;
    const float p = u < 0 ? 0 : u > 1 ? 1 : u;
    const float e = Ease(twitch->easing, p);
    const float r = 1 - e;
    const float a = twitch->amplitude;
    const bool onAxis[3] = {twitch->axisX != 0, twitch->axisY != 0, twitch->axisZ != 0};

    switch (twitch->effectClass) {
    case kTwitchClass_AlphaFadeIn:
        puppet->Tint.a = e * twitch->phase;
        return u >= 1;
    case kTwitchClass_AlphaFadeOut:
        puppet->Tint.a = r * twitch->phase;
        return u >= 1;
    case kTwitchClass_MultAlphaFadeIn:
        puppet->Tint.a *= e;
        return u >= 1;
    case kTwitchClass_MultAlphaFadeOut:
        puppet->Tint.a *= r;
        return u >= 1;
    case kTwitchClass_Heartbeat:
    case kTwitchClass_Shrink:
    case kTwitchClass_Spin:
    case kTwitchClass_Displace:
    case kTwitchClass_Wiggle:
        break;
    default:
        printf("Unknown effect class %d\n", twitch->effectClass);
        return u >= 1;
    }

    for (int axis = 0; axis < 3; axis++) {
        if (!onAxis[axis])
            continue;
        float& scale = Component(puppet->Scale, axis);
        float& position = Component(puppet->Position, axis);
        switch (twitch->effectClass) {
        case kTwitchClass_Heartbeat:
            scale *= r * a + e;
            break;
        case kTwitchClass_Shrink:
            scale *= r * a + e * 0.0001f;
            break;
        case kTwitchClass_Spin: {
            // A flip that never turns edge-on: the width never drops below a fifth.
            float s = std::cos(e * twitch->frequency + twitch->phase);
            if (std::fabs(s) < 0.2f)
                s = s < 0 ? -0.2f : 0.2f;
            scale *= s * a;
            break;
        }
        case kTwitchClass_Displace:
            position += r * a * scale;
            break;
        case kTwitchClass_Wiggle:
            position += std::sin(r * twitch->frequency + twitch->phase) * r * a * scale;
            break;
        }
    }
    return u >= 1;
}

// ---------------------------------------------------------------------------------------------------------
// Drivers
// ---------------------------------------------------------------------------------------------------------

static void DestroyTwitchDriver(ObjNode* driver)
{
    TwitchDriverData* data = GetDriverData(driver);
    ObjNode* puppet = data->puppet;
    if (puppet && puppet->CType != INVALID_NODE_FLAG && puppet->TwitchDriver == driver)
        puppet->TwitchDriver = nullptr;
    data->puppet = nullptr;
    ReturnWholeChain(data);
}

static ObjNode* MakeTwitchDriver(ObjNode* puppet)
{
    ObjectDefinition def;
    std::memset(&def, 0, sizeof(def));
    def.genre = INVISIBLE_GENRE;
    def.slot = int16_t(puppet->Slot + 1);
    def.statusFlags = puppet->StatusFlags & NODEBIT_RUNS_WHEN_PAUSED;
    def.scale = 1;
    def.moveProc = MoveTwitchDriver;
    ObjNode* driver = MakeNewObject(&def);
    driver->DestroyProc = DestroyTwitchDriver;

    TwitchDriverData* data = GetDriverData(driver);
    std::memset(data, 0, sizeof(*data));
    data->cookie = kDriverCookie;
    data->puppet = puppet;
    puppet->TwitchDriver = driver;
    return driver;
}

Twitch* MakeTwitch(ObjNode* puppet, int presetAndFlags)
{
    if (!puppet)
        return nullptr;
    if (!gTwitchPresetsLoaded)
        TwitchAssertion("MakeTwitch", __LINE__, "gTwitchPresetsLoaded");
    if (!gTwitchPtrPoolInitialized)
        TwitchAssertion("MakeTwitch", __LINE__, "gTwitchPtrPoolInitialized");

    // 1. The puppet's driver, checked, or a new one.
    ObjNode* driverNode = puppet->TwitchDriver;
    TwitchDriverData* driverData;
    if (driverNode) {
        driverData = GetDriverData(driverNode);
        if (!(driverData->cookie == kDriverCookie))
            TwitchAssertion("MakeTwitch", __LINE__, "driverData->cookie == 'UIFX'");
        if (!(driverData->puppet == puppet))
            TwitchAssertion("MakeTwitch", __LINE__, "driverData->puppet == puppet");
        if (!(driverNode->Slot > puppet->Slot))
            TwitchAssertion("MakeTwitch", __LINE__, "driverNode->Slot > puppet->Slot");
        if (!(presetAndFlags & kTwitchFlags_Chain)) {
            // A new twitch replaces the running ones where they stand.
            driverData->killPuppetWhenDone = 0;
            ReturnWholeChain(driverData);
        } else if (driverData->chainLength >= MAX_TWITCH_CHAIN_LENGTH) {
            return nullptr;
        }
    } else {
        driverNode = MakeTwitchDriver(puppet);
        driverData = GetDriverData(driverNode);
    }

    // 2. Flags only ever turn on while twitches are chained.
    if (presetAndFlags & kTwitchFlags_KillPuppet)
        driverData->killPuppetWhenDone = 1;
    if (presetAndFlags & kTwitchFlags_HideUntilStarted)
        driverData->hideUntilStarted = 1;

    // 3. A record from the pool, appended to the chain.
    Twitch* twitch = TakeTwitch();
    if (!twitch)
        return nullptr;
    if (!(driverData->chainLength + 1 <= MAX_TWITCH_CHAIN_LENGTH))
        TwitchAssertion("MakeTwitch", __LINE__, "driverData->chainLength <= MAX_TWITCH_CHAIN_LENGTH");
    driverData->twitchIndex[driverData->chainLength] = uint8_t(twitch - gTwitchPool);
    driverData->timers[driverData->chainLength] = 0;
    driverData->chainLength++;

    // 4. The preset's values; the absolute fades start from the puppet's opacity now.
    const int preset = presetAndFlags & 0xFF;
    if (preset >= NUM_TWITCH_PRESETS)
        ShowFatalAlert("Not a legal twitch preset");
    *twitch = *GetTwitchPreset(preset);
    if (twitch->effectClass == kTwitchClass_AlphaFadeIn || twitch->effectClass == kTwitchClass_AlphaFadeOut)
        twitch->phase = puppet->Tint.a;
    return twitch;
}

void MoveTwitchDriver(ObjNode* driver)
{
    TwitchDriverData* data = GetDriverData(driver);
    if (!(data->cookie == kDriverCookie))
        TwitchAssertion("MoveTwitchDriver", __LINE__, "driverData->cookie == 'UIFX'");

    // 1. A puppet that is gone, or has a new driver, leaves nothing to animate.
    ObjNode* puppet = data->puppet;
    if (!puppet || puppet->CType == INVALID_NODE_FLAG || puppet->TwitchDriver != driver) {
        DisposeObject(driver);
        return;
    }

    // 2. The effects are seen through the transform only; the stored values come back afterwards.
    const Point3D savedPosition = puppet->Position;
    const Vector3D savedRotation = puppet->Rotation;
    const Vector3D savedScale = puppet->Scale;

    // 3. Every twitch in order; a finished one gives its place to the last.
    bool anyStarted = false;
    for (int i = 0; i < data->chainLength;) {
        Twitch* twitch = &gTwitchPool[data->twitchIndex[i]];
        if (ApplyTwitch(puppet, twitch, data->timers[i])) {
            DisposeTwitch(twitch);
            data->chainLength--;
            data->twitchIndex[i] = data->twitchIndex[data->chainLength];
            data->timers[i] = data->timers[data->chainLength];
            continue;
        }
        data->timers[i] += gFrameSeconds;
        if (data->timers[i] >= twitch->delay)
            anyStarted = true;
        i++;
    }

    // 4. The transform keeps the effects; position, rotation and scale never accumulate them.
    RebuildNodeTransform(puppet);
    puppet->Position = savedPosition;
    puppet->Rotation = savedRotation;
    puppet->Scale = savedScale;

    // 5. The driver goes with its last twitch (and the puppet with it when asked).
    if (data->chainLength == 0) {
        const bool killPuppet = data->killPuppetWhenDone != 0;
        puppet->TwitchDriver = nullptr;
        DisposeObject(driver);
        if (killPuppet)
            DisposeObject(puppet);
    } else if (data->hideUntilStarted) {
        SetNodeVisible(puppet, anyStarted);
    }
}
