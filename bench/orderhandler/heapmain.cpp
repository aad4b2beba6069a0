// The benchmarks' main: the heap is set up as the client and server programs set it up, so that
// repeated loads measure what the box office sees.
#include "platform/core/heapreuse.h"

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    kav::KeepFreedHeapForReuse();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
