// Runs the benchmarks with one Mesa context current and the input files in
// a private temporary directory, removed at the end.
#include <cstdio>

#include <benchmark/benchmark.h>

#include "bench_data.h"

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!BenchData_Init()) {
        std::fprintf(stderr, "bench: no temporary directory or Mesa context\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    BenchData_Cleanup();
    return 0;
}
