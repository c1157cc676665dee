#include <benchmark/benchmark.h>

#include <cstring>

#include "editor/editor_state.h"
#include "platform/commands.h"
#include "platform/platform.h"

// syncBuffers(Compare) on the largest sector against the bare comparison it
// wraps. Equal buffers: the whole sector is compared.
namespace {

void noMenu(int, bool, bool) {}

void setUpEditor()
{
    platform.menuItemChanged = noMenu;
    resetCommandStates();
    resetEditor();
    editor.sectorSize = IMAGE_BUFFER_SIZE;
    for (uint32_t i = 0; i < IMAGE_BUFFER_SIZE; i++) editor.workBuffer[i] = uint8_t(i * 31);
    std::memcpy(editor.savedCopy, editor.workBuffer, IMAGE_BUFFER_SIZE);
}

void syncCompare(benchmark::State& state)
{
    setUpEditor();
    for (auto _ : state) {
        syncBuffers(SyncMode::Compare);
        benchmark::DoNotOptimize(editor.modified);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * IMAGE_BUFFER_SIZE);
}

void bareMemcmp(benchmark::State& state)
{
    setUpEditor();
    for (auto _ : state) {
        int order = std::memcmp(editor.workBuffer, editor.savedCopy, IMAGE_BUFFER_SIZE);
        benchmark::DoNotOptimize(order);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * IMAGE_BUFFER_SIZE);
}

}  // namespace

BENCHMARK(bareMemcmp);
BENCHMARK(syncCompare);
BENCHMARK_MAIN();
