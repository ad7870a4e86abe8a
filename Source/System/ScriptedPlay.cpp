// Scripted play: the switches, the run of one level frame by frame with the script's needs, the
// trace, the shots and the recording of hand play.

#include "System/ScriptedPlay.h"

#include "Gameplay/Player.h"
#include "Gameplay/TimeDemo.h"
#include "Skeleton/Skeleton.h"
#include "System/CommandLine.h"
#include "System/FrameRate.h"
#include "System/GameShell.h"
#include "System/Input.h"
#include "System/InputHook.h"
#include "System/Level.h"
#include "System/LevelHarness.h"
#include "System/Prefs.h"
#include "System/Random.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

struct ShotRequest
{
    int32_t frame;
    std::string path;
};

// What the switches asked for, as given; CheckScriptedPlayOptions judges it.
static struct
{
    bool requested;
    bool game; // --game
    std::string level, mode, players, script, frames, step, trace, record, soak;
    std::vector<std::string> shots;
} gAsked;

// What the run uses, once judged.
static struct
{
    int levelIndex;
    int16_t playMode;
    int numPlayers;
    std::vector<ScriptEvent> events;
    bool scripted;
    int32_t frames;
    float step; // 0: measured frame times
    std::vector<ShotRequest> shots;
} gRun;

static constexpr int32_t kDefaultFrames = 600;

void ApplyLevelOption(const char* value)
{
    gAsked.requested = true;
    gAsked.level = value;
}

void ApplyModeOption(const char* value)
{
    gAsked.requested = true;
    gAsked.mode = value;
}

void ApplyPlayersOption(const char* value)
{
    gAsked.requested = true;
    gAsked.players = value;
}

void ApplyScriptOption(const char* value)
{
    gAsked.requested = true;
    gAsked.script = value;
}

void ApplyFramesOption(const char* value)
{
    gAsked.requested = true;
    gAsked.frames = value;
}

void ApplyStepOption(const char* value)
{
    gAsked.requested = true;
    gAsked.step = value;
}

void ApplyTraceOption(const char* value)
{
    gAsked.requested = true;
    gAsked.trace = value;
}

void ApplyShotOption(const char* value)
{
    gAsked.requested = true;
    gAsked.shots.push_back(value);
}

void ApplyRecordOption(const char* value)
{
    gAsked.requested = true;
    gAsked.record = value;
}

void ApplyGameOption(const char*)
{
    gAsked.game = true;
}

void ApplySoakOption(const char* value)
{
    gTimeDemoRequested = true;
    gAsked.soak = value;
}

bool IsScriptedPlayRequested()
{
    return gAsked.requested && !gAsked.game;
}

bool IsScriptedGameRequested()
{
    return gAsked.game;
}

static int RefuseOptions(const std::string& problem)
{
    std::fprintf(stderr, "Quorvel2: %s\n", problem.c_str());
    return 2;
}

// A whole positive number, or false.
static bool ParsePositive(const std::string& text, double limit, double* out)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value) || value <= 0 || value > limit)
        return false;
    *out = value;
    return true;
}

static bool ParseMode(const std::string& text, int16_t* out)
{
    static const char* const kModeNames[] = {"adventure", "race", "battle", "capture"};
    for (int16_t mode = 0; mode < 4; mode++) {
        if (text == kModeNames[mode]) {
            *out = mode;
            return true;
        }
    }
    return false;
}

static bool ReadWholeFile(const std::string& path, std::string* text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::stringstream buffer;
    buffer << in.rdbuf();
    *text = buffer.str();
    return !in.bad();
}

static int CheckShots()
{
    for (const std::string& shot : gAsked.shots) {
        size_t colon = shot.find(':');
        double frame;
        if (colon == std::string::npos || colon + 1 >= shot.size() ||
            !(shot.compare(0, colon, "0") == 0 || ParsePositive(shot.substr(0, colon), 1e8, &frame)))
            return RefuseOptions("--shot wants FRAME:OUT.png, not \"" + shot + "\"");
        gRun.shots.push_back({int32_t(std::atol(shot.substr(0, colon).c_str())), shot.substr(colon + 1)});
    }
    return kCommandLineGoOn;
}

// The time demo plays its own level and path: it takes a number of frames and a soak time only.
static int CheckTimeDemoOptions()
{
    if (gAsked.game || !gAsked.level.empty() || !gAsked.mode.empty() || !gAsked.players.empty() ||
        !gAsked.script.empty() || !gAsked.step.empty() || !gAsked.trace.empty() || !gAsked.record.empty() ||
        !gAsked.shots.empty())
        return RefuseOptions("the time demo takes no other switches than --frames and --soak");
    double number;
    if (!gAsked.frames.empty()) {
        if (!ParsePositive(gAsked.frames, 1e8, &number) || number != std::floor(number))
            return RefuseOptions("--frames wants a positive whole number, not \"" + gAsked.frames + "\"");
        gTimeDemoFrameLimit = int32_t(number);
    }
    if (!gAsked.soak.empty()) {
        if (!ParsePositive(gAsked.soak, 10000, &number) || number != std::floor(number))
            return RefuseOptions("--soak wants minutes as a positive whole number, not \"" + gAsked.soak +
                                 "\"");
        gTimeDemoSoakMinutes = int32_t(number);
    }
    gAsked.requested = false; // no level of scripted play
    return kCommandLineGoOn;
}

int CheckScriptedPlayOptions()
{
    if (gTimeDemoRequested)
        return CheckTimeDemoOptions();
    if (gAsked.game) {
        if (!gAsked.level.empty() || !gAsked.mode.empty() || !gAsked.players.empty())
            return RefuseOptions("--game plays from the start: it takes no --level, --mode or --players");
        if (!gAsked.trace.empty() || !gAsked.record.empty())
            return RefuseOptions("--game takes no --trace or --record");
    }
    if (!gAsked.requested && !gAsked.game)
        return kCommandLineGoOn;

    // The level, its mode and the players.
    std::string level = gAsked.level.empty() ? "level1" : gAsked.level;
    gRun.levelIndex = LevelFromName(level);
    if (gRun.levelIndex < 0)
        return RefuseOptions("unknown level \"" + level + "\"; the levels are " + ValidLevelNames());
    gRun.playMode = kLevelTable[gRun.levelIndex].playMode;
    if (!gAsked.mode.empty() && !ParseMode(gAsked.mode, &gRun.playMode))
        return RefuseOptions("unknown mode \"" + gAsked.mode +
                             "\"; the modes are adventure, race, battle, capture");
    gRun.numPlayers = gRun.playMode == kPlayMode_Adventure ? 1 : 2;
    if (!gAsked.players.empty()) {
        if (gAsked.players != "1" && gAsked.players != "2")
            return RefuseOptions("--players wants 1 or 2, not \"" + gAsked.players + "\"");
        gRun.numPlayers = gAsked.players[0] - '0';
    }
    if (gAsked.game)
        gRun.numPlayers = 2; // either player's needs may be scripted

    // The frames and their step.
    // Hand play goes on until the level ends unless a number of frames is given.
    double number = gAsked.script.empty() || gAsked.game ? double(INT32_MAX) : kDefaultFrames;
    if (!gAsked.frames.empty() && !ParsePositive(gAsked.frames, 1e8, &number))
        return RefuseOptions("--frames wants a positive whole number, not \"" + gAsked.frames + "\"");
    if (number != std::floor(number))
        return RefuseOptions("--frames wants a positive whole number, not \"" + gAsked.frames + "\"");
    gRun.frames = int32_t(number);
    gRun.step = 0;
    if (!gAsked.step.empty()) {
        if (!ParsePositive(gAsked.step, 1.0 / 13, &number) || number < 1.0 / 1000)
            return RefuseOptions("--step wants seconds from 0.001 to 1/13, not \"" + gAsked.step + "\"");
        gRun.step = float(number);
    }
    int shots = CheckShots();
    if (shots != kCommandLineGoOn)
        return shots;

    // The script, read and judged whole before anything opens.
    gRun.scripted = !gAsked.script.empty();
    if (gRun.scripted && !gAsked.record.empty())
        return RefuseOptions("--script and --record cannot be used together");
    if (gRun.scripted) {
        std::string text, error;
        if (!ReadWholeFile(gAsked.script, &text))
            return RefuseOptions("cannot read the script \"" + gAsked.script + "\"");
        if (!ParsePlayScript(text, &gRun.events, &error))
            return RefuseOptions(gAsked.script + ": " + error);
        for (const ScriptEvent& event : gRun.events) {
            if (event.player >= gRun.numPlayers)
                return RefuseOptions(gAsked.script + ": player " + std::to_string(event.player) +
                                     " in a game of " + std::to_string(gRun.numPlayers) + " player");
        }
    }
    return kCommandLineGoOn;
}

// --- The trace ---

std::string TraceHeader()
{
    return "frame,player,x,y,z,pitch,heading,roll,speed,speed_cap,health,fuel,shield,lives,anim,on_ground,"
           "dead,"
           "respawn_timer,lap,markers,place,wrong_way";
}

std::string TraceRow(int32_t frame, int player)
{
    const PlayerRecord& record = gPlayers[player];
    const ObjNode* node = record.objNode;
    Vector3D rotation = node ? node->Rotation : Vector3D{0, 0, 0};
    int markers = 0;
    for (bool passed : record.markerPassed)
        markers += passed ? 1 : 0;
    char row[512];
    std::snprintf(row, sizeof(row),
                  "%d,%d,%.3f,%.3f,%.3f,%.5f,%.5f,%.5f,%.3f,%.3f,%.4f,%.4f,%.4f,%d,%d,%d,%d,%.4f,%d,%d,%d,%d",
                  frame, player, double(record.coord.x), double(record.coord.y), double(record.coord.z),
                  double(rotation.x), double(rotation.y), double(rotation.z), double(node ? node->Speed : 0),
                  double(gSpeedCap[player]), double(record.health), double(record.jetFuel),
                  double(record.shieldTimer), record.lives,
                  node && node->Skeleton ? int(node->Skeleton->animNum) : -1,
                  node && (node->StatusFlags & NODEBIT_ON_GROUND) ? 1 : 0, gPlayerDead[player] ? 1 : 0,
                  double(gRespawnTimer[player]), record.lap, markers, record.place, record.wrongWay ? 1 : 0);
    return row;
}

// --- The recording ---

// The last value written per player and need, so only changes are written.
static float gRecordedValue[MAX_LOCAL_PLAYERS][NUM_CONTROL_NEEDS];

// What a need was this frame: its strength, or 1 for a button that is down. The flight needs take
// the flight controls as read, so steering with the mouse is recorded too.
static float NeedValueNow(int player, int need)
{
    const PlayerRecord& record = gPlayers[player];
    switch (need) {
    case kNeedLeft:
        return record.rawSteer < 0 ? -record.rawSteer : 0;
    case kNeedRight:
        return record.rawSteer > 0 ? record.rawSteer : 0;
    case kNeedUp:
        return record.rawPitch < 0 ? -record.rawPitch : 0;
    case kNeedDown:
        return record.rawPitch > 0 ? record.rawPitch : 0;
    default:
        break;
    }
    float analog = GetNeedAnalogValue(need, player);
    if (analog > 0)
        return analog;
    return IsStateDown(GetNeedState(need, player)) ? 1.0f : 0.0f;
}

static void RecordFrame(std::FILE* out, int32_t frame)
{
    for (int player = 0; player < gRun.numPlayers; player++) {
        for (int need = 0; need < NUM_CONTROL_NEEDS; need++) {
            float value = NeedValueNow(player, need);
            if (value == gRecordedValue[player][need])
                continue;
            gRecordedValue[player][need] = value;
            std::fprintf(out, "%d %d %s %.6g\n", frame, player, NeedName(need), double(value));
        }
    }
}

// --- The run ---

static std::FILE* OpenOutput(const std::string& path, const char* what)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        std::fprintf(stderr, "Quorvel2: cannot write the %s \"%s\"\n", what, path.c_str());
    return file;
}

// A scripted key goes down or up as the keyboard's would, through the event queue.
static void PushScriptedKey(int scancode, bool down)
{
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = SDL_Scancode(scancode);
    SDL_PushEvent(&event);
}

static void ApplyScriptFrame(int32_t frame, size_t* nextEvent)
{
    while (*nextEvent < gRun.events.size() && gRun.events[*nextEvent].frame == frame) {
        const ScriptEvent& event = gRun.events[*nextEvent];
        if (event.need >= 0)
            SetScriptedNeedValue(event.player, event.need, event.value);
        else
            PushScriptedKey(event.scancode, event.value > 0);
        (*nextEvent)++;
    }
}

static int32_t gScriptedFrame = -1;

int32_t ScriptedPlayFrame()
{
    return gScriptedFrame;
}

void RunScriptedPlay()
{
    std::FILE* trace = gAsked.trace.empty() ? nullptr : OpenOutput(gAsked.trace, "trace");
    std::FILE* record = gAsked.record.empty() ? nullptr : OpenOutput(gAsked.record, "recording");
    if ((!gAsked.trace.empty() && !trace) || (!gAsked.record.empty() && !record))
        std::exit(2);

    // The same level start every run: the same first frame time (the level seeds the random numbers).
    SetNeedsScripted(gRun.scripted);
    gPlayMode = gRun.playMode;
    InitPlayerRecords(false);
    gFixedFrameSeconds = gRun.step;
    HarnessStartLevel(gRun.levelIndex, gRun.playMode, gRun.numPlayers, gPrefs.splitScreenMode);

    if (trace)
        std::fprintf(trace, "%s\n", TraceHeader().c_str());
    if (record) {
        static const char* const kModeNames[] = {"adventure", "race", "battle", "capture"};
        std::fprintf(record, "# recorded: --level %s --mode %s --players %d --step %g\n",
                     kLevelTable[gRun.levelIndex].fileName, kModeNames[gRun.playMode], gRun.numPlayers,
                     double(gRun.step));
        for (auto& values : gRecordedValue)
            for (float& value : values)
                value = 0;
    }

    size_t nextEvent = 0;
    for (int32_t frame = 0; frame < gRun.frames; frame++) {
        gScriptedFrame = frame;
        ApplyScriptFrame(frame, &nextEvent);
        bool goesOn = PlayLevelFrame();

        if (record)
            RecordFrame(record, frame);
        if (trace) {
            for (int player = 0; player < gRun.numPlayers; player++)
                std::fprintf(trace, "%s\n", TraceRow(frame, player).c_str());
        }
        for (const ShotRequest& shot : gRun.shots) {
            if (shot.frame == frame && !SaveShownFrame(shot.path.c_str()))
                std::fprintf(stderr, "Quorvel2: cannot write the picture \"%s\"\n", shot.path.c_str());
        }
        if (!goesOn)
            break;
    }

    if (trace)
        std::fclose(trace);
    if (record)
        std::fclose(record);
    SetNeedsScripted(false);
    QuitCleanly();
}

// --- The whole game ---

static int32_t gGameFrame = -1;
static size_t gGameNextEvent = 0;

int32_t ScriptedGameFrame()
{
    return gGameFrame;
}

// At the start of every poll: the shots of the frame just shown, the end, this frame's input.
static void ScriptedGamePoll()
{
    for (const ShotRequest& shot : gRun.shots) {
        if (shot.frame == gGameFrame - 1 && !SaveShownFrame(shot.path.c_str()))
            std::fprintf(stderr, "Quorvel2: cannot write the picture \"%s\"\n", shot.path.c_str());
    }
    if (gGameFrame >= gRun.frames) {
        SetPollHook(nullptr);
        SetNeedsScripted(false);
        QuitCleanly();
    }
    ApplyScriptFrame(gGameFrame, &gGameNextEvent);
    gGameFrame++;
}

void StartScriptedGame()
{
    SeedRandom(0);
    SetNeedsScripted(gRun.scripted);
    gFixedFrameSeconds = gRun.step;
    gGameFrame = 0;
    gGameNextEvent = 0;
    SetPollHook(ScriptedGamePoll);
}
