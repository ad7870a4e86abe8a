// The race over the line markers: markers passed, laps, the finish, wrong way and places.

#include "Gameplay/Player.h"

#include "Gameplay/Eggs.h"
#include "Interface/Infobar.h"
#include "System/LevelGlobals.h"
#include "System/ProgramState.h"

#include <algorithm>
#include <cmath>
#include <iterator>

constexpr int kRaceLaps = 3;

static Point3D MarkerMidpoint(int marker)
{
    const LineMarkerType& line = gLineMarkers[marker];
    float x = (line.x1 + line.x2) * 0.5f;
    float z = (line.z1 + line.z2) * 0.5f;
    return {x, TerrainHeightAt(x, z), z};
}

static int NextMarker(int marker)
{
    return marker + 1 >= gNumLineMarkers ? 0 : marker + 1;
}

static void FinishLap(int player)
{
    PlayerRecord& record = gPlayers[player];
    record.lap++;
    if (record.lap < kRaceLaps) {
        ShowLapNum(player);
        return;
    }
    record.raceFinished = true;
    if (!gLevelEnding) {
        for (int other = 0; other < MAX_PLAYERS; other++)
            ShowWinLoseSprite(other, other == player ? WINLOSE_WIN : WINLOSE_LOSE);
        BeginLevelEnd(5);
    }
}

static void CrossMarker(int player, int marker)
{
    PlayerRecord& record = gPlayers[player];
    ObjNode* node = record.objNode;
    Point3D mid = MarkerMidpoint(marker);
    gRespawnPoint[player] = mid;
    gRespawnRotY[player] = node ? node->Rotation.y : gRespawnRotY[player];

    if (marker > 0) {
        // Going forward marks the marker; crossing back over it takes the mark away again.
        if (marker > record.lastLineMarker) {
            record.markerPassed[marker] = true;
            record.lastLineMarker = int16_t(marker);
        } else {
            record.markerPassed[marker] = false;
            record.lastLineMarker = int16_t(marker - 1);
        }
        return;
    }

    // The finish line counts a lap only after the last marker and more than half of them.
    int passed = int(std::count(record.markerPassed, record.markerPassed + gNumLineMarkers, true));
    if (record.lastLineMarker == gNumLineMarkers - 1 && passed * 2 > gNumLineMarkers)
        FinishLap(player);
    std::fill(std::begin(record.markerPassed), std::end(record.markerPassed), false);
    record.lastLineMarker = 0;
}

void UpdateRaceProgress(int player, int crossedMarker)
{
    if (gNumLineMarkers <= 0)
        return;
    PlayerRecord& record = gPlayers[player];
    ObjNode* node = record.objNode;
    if (!node)
        return;

    // 1. The marker crossed this frame.
    if (crossedMarker >= 0 && crossedMarker < gNumLineMarkers)
        CrossMarker(player, crossedMarker);

    // 2. Distance to the next marker.
    int current = std::clamp(int(record.lastLineMarker), 0, int(gNumLineMarkers) - 1);
    Point3D next = MarkerMidpoint(NextMarker(current));
    float dx = next.x - node->Position.x;
    float dz = next.z - node->Position.z;
    record.distanceToNextMarker = std::sqrt(dx * dx + dz * dz);

    // 3. Wrong way: both facing and travel point back from the next marker toward the current one.
    Point3D here = MarkerMidpoint(current);
    Vector3D back;
    Normalize3XYZ(here.x - next.x, 0, here.z - next.z, &back);
    float facing = -std::sin(node->Rotation.y) * back.x - std::cos(node->Rotation.y) * back.z;
    Vector3D travel = {0, 0, 0};
    if (std::fabs(node->Velocity.x) > 0.0001f || std::fabs(node->Velocity.z) > 0.0001f)
        Normalize3XYZ(node->Velocity.x, 0, node->Velocity.z, &travel);
    float moving = travel.x * back.x + travel.z * back.z;
    record.wrongWay = facing > 0.6f && moving > 0.6f;
}

// Counts the players ahead of `player`; players level in lap, marker and distance count each other.
static bool IsAhead(const PlayerRecord& other, const PlayerRecord& me)
{
    if (other.raceFinished)
        return true;
    if (other.lap != me.lap)
        return other.lap > me.lap;
    if (other.lastLineMarker != me.lastLineMarker)
        return other.lastLineMarker > me.lastLineMarker;
    return other.distanceToNextMarker <= me.distanceToNextMarker;
}

void UpdateRacePlaces()
{
    int players = std::min(gNumPanes, MAX_PLAYERS);
    for (int player = 0; player < players; player++) {
        PlayerRecord& me = gPlayers[player];
        if (me.raceFinished)
            continue;
        int place = 0;
        for (int other = 0; other < players; other++) {
            if (other != player && IsAhead(gPlayers[other], me))
                place++;
        }
        me.place = int16_t(place);
    }
}
