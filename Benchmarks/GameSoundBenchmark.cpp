// The boot cost of the game sound: loading the 37 effects of the main bank from the generated data
// folder and expanding them to playable 16-bit blocks, as InitSoundTools does at every start. Run it
// from build/ (it reads ./Data, as the game does).

#include <benchmark/benchmark.h>

#include <filesystem>

#include "Sound/GameSound.h"
#include "Support/AlertCapture.h"
#include "System/Prefs.h"
#include "System/ProgramState.h"
#include "Tarnet/Tarnet.h"
#include "Tarnet/cmixer/cmixer.h"

namespace {

void LoadMainSoundBank(benchmark::State& state)
{
    if (!std::filesystem::exists("Data/Audio/Main")) {
        state.SkipWithError("no Data/Audio/Main here: run from build/ after the forge");
        return;
    }
    Tarnet::Startup();
    cmixer::OpenWithoutDevice(44100, false);
    ScopedAlertCapture alerts;
    gDataFolderSpec = Tarnet::HostPathToFSSpec(std::filesystem::absolute("Data/Skeletons"));
    gPrefs.effectsVolume = 70;
    gPrefs.musicVolume = 70;
    InitSoundTools();
    for (auto _ : state)
        LoadSoundBank(SOUND_BANK_MAIN);
    ShutdownGameSound();
    Tarnet::Shutdown();
}

} // namespace

BENCHMARK(LoadMainSoundBank)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
