// Opening a resource fork of 10,000 resources and fetching every one of them: the map is read
// once at open time, and each GetResource is one seek and one read.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "Support/TempFolder.h"
#include "Tarnet/Resources/ResourceForkWriter.h"
#include "Tarnet/Tarnet.h"

namespace {

constexpr int kResourcesPerType = 5000; // two types: 16-bit reference-list offsets reach this far
const Tarnet::ResType kTypes[] = {Tarnet::OSTypeFrom("BnA1"), Tarnet::OSTypeFrom("BnA2")};

void OpenAndFetchTenThousandResources(benchmark::State& state)
{
    TempFolder folder;
    Tarnet::ResourceForkWriter writer;
    for (Tarnet::ResType type : kTypes) {
        for (int id = 0; id < kResourcesPerType; id++)
            writer.Add(type, int16_t(id), std::vector<uint8_t>(64 + id % 64, uint8_t(id)));
    }
    writer.WriteAppleDouble(folder.Path() / "bench.rsrc");

    Tarnet::Startup();
    Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(folder.Path() / "bench");
    int64_t bytes = 0;
    for (auto _ : state) {
        int16_t refNum = Tarnet::FSpOpenResFile(&spec, Tarnet::fsRdPerm);
        if (refNum < 0) {
            state.SkipWithError("FSpOpenResFile failed");
            break;
        }
        for (Tarnet::ResType type : kTypes) {
            for (int id = 0; id < kResourcesPerType; id++) {
                Tarnet::Handle h = Tarnet::GetResource(type, int16_t(id));
                bytes += Tarnet::GetHandleSize(h);
                Tarnet::ReleaseResource(h);
            }
        }
        Tarnet::CloseResFile(refNum);
    }
    Tarnet::Shutdown();
    state.SetItemsProcessed(state.iterations() * 2 * kResourcesPerType);
    state.SetBytesProcessed(bytes);
}
BENCHMARK(OpenAndFetchTenThousandResources)->Unit(benchmark::kMillisecond);

// The open alone: the map and every resource's length word, no data.
void OpenTenThousandResourceMap(benchmark::State& state)
{
    TempFolder folder;
    Tarnet::ResourceForkWriter writer;
    for (Tarnet::ResType type : kTypes) {
        for (int id = 0; id < kResourcesPerType; id++)
            writer.Add(type, int16_t(id), std::vector<uint8_t>(64, uint8_t(id)));
    }
    writer.WriteAppleDouble(folder.Path() / "bench.rsrc");

    Tarnet::Startup();
    Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(folder.Path() / "bench");
    for (auto _ : state) {
        int16_t refNum = Tarnet::FSpOpenResFile(&spec, Tarnet::fsRdPerm);
        Tarnet::CloseResFile(refNum);
    }
    Tarnet::Shutdown();
}
BENCHMARK(OpenTenThousandResourceMap)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
