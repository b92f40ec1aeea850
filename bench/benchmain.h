#pragma once

#include <benchmark/benchmark.h>

namespace quorvane::bench {

// Runs the benchmarks the command line picks; the caller makes the Qt
// application first, since transfers and pages need its event loop.
inline int runBenchmarks(int &argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace quorvane::bench
