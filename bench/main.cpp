#include <benchmark/benchmark.h>

namespace bench {
int RunWholeRunBenchmark();    // run_bench.cpp
void ReleaseTransformRange();  // transform_bench.cpp
}  // namespace bench

// The transform figures of Google Benchmark first, then the timing of a whole
// run on a file on disk.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  bench::ReleaseTransformRange();
  return bench::RunWholeRunBenchmark();
}
