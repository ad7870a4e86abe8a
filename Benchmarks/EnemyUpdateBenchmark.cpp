// The cost of the enemies in one frame at the level's peak count: 16 counted enemies (seven raptors
// chasing the player, seven brachs grazing, two more raptors) on level1, each moved once through its
// move routine (handler, collision with objects, ground and water, node update), with and without the
// skeleton animation and skinning the object pass gives each. Reported per frame; the per-enemy cost
// is the "per_enemy" counter.
// Run from the build folder (it needs Data) under a display: xvfb-run -a Benchmarks/EnemyUpdateBenchmark

#include "Gameplay/Enemies.h"
#include "Gameplay/Player.h"
#include "Skeleton/Skeleton.h"
#include "Support/GameBenchmarks.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelHarness.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

static void BM_EnemiesAtPeakCount(benchmark::State& state)
{
    const bool withSkinning = state.range(0) != 0;
    SetNeedsScripted(true);
    gPlayMode = kPlayMode_Adventure;
    InitPlayerRecords(false);
    gFixedFrameSeconds = 1.0f / 60.0f;
    HarnessStartLevel(0, kPlayMode_Adventure, 1, 2);
    HarnessPlayFrames(5, nullptr, nullptr);

    // The level's own enemies go; the player hangs still near its start, unharmed by the pounces, and
    // the enemies stand in a ring around it.
    for (ObjNode* node = gObjectListHead; node;) {
        ObjNode* next = node->NextInList;
        if (node->Genre == SKELETON_GENRE &&
            (node->ArtIndex == SKELETON_TYPE_RAPTOR || node->ArtIndex == SKELETON_TYPE_BRACH)) {
            node->TerrainItem = nullptr;
            DeleteEnemy(node);
        }
        node = next;
    }
    ObjNode* player = gPlayers[0].objNode;
    player->StatusFlags |= NODEBIT_FROZEN;
    gPlayers[0].invincibleTimer = 1e9f;
    std::vector<ObjNode*> enemies;
    std::vector<Point3D> starts;
    for (int i = 0; gNumEnemies < MAX_ENEMIES; i++) {
        float angle = float(i) * PI2 / MAX_ENEMIES;
        float x = player->Position.x + std::sin(angle) * 1800;
        float z = player->Position.z + std::cos(angle) * 1800;
        bool brach = i % 2 == 1 && gNumEnemiesOfKind[ENEMY_KIND_BRACH] < MAX_ENEMIES_OF_KIND;
        ObjNode* enemy = brach ? MakeBrach(x, z, BRACH_ANIM_GRAZE) : MakeRaptor(x, z, RAPTOR_ANIM_RUN);
        CountEnemy(brach ? ENEMY_KIND_BRACH : ENEMY_KIND_RAPTOR);
        enemies.push_back(enemy);
        starts.push_back(enemy->Position);
    }

    for (auto _ : state) {
        for (size_t i = 0; i < enemies.size(); i++) {
            ObjNode* enemy = enemies[i];
            enemy->Position = starts[i]; // the chase starts over, so every frame costs the same
            enemy->Health = 0.7f;        // and nobody dies of it
            StoreOldBoxes(enemy);
            if (withSkinning)
                AdvanceSkeletonAnimation(enemy);
            enemy->MoveProc(enemy);
            if (withSkinning)
                UpdateSkinnedGeometry(enemy);
        }
        benchmark::DoNotOptimize(enemies.back()->Position);
    }
    state.counters["enemies"] = double(enemies.size());
    state.counters["per_enemy"] =
        benchmark::Counter(double(state.iterations()) * double(enemies.size()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);

    HarnessEndLevel();
    SetNeedsScripted(false);
    gFixedFrameSeconds = 0;
}
// Argument 1: with the skeletons' animation and skinning; 0: the move routines alone.
BENCHMARK(BM_EnemiesAtPeakCount)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    return RunGameBenchmarks(argc, argv, 640, 480);
}
