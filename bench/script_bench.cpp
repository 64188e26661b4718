// script_bench: the script host building a text by repeated `s = s & x`,
// at three lengths. Appending in place makes the time grow with the length
// of the text; copying the text on every append made it grow with its
// square (10,000 / 20,000 / 40,000 appends of ten characters took 123 s and
// 318 s for the first two, the third was stopped after five minutes).
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "script_host.h"

namespace {

void appendToText(benchmark::State& state) {
  const std::string script = "s = \"\"\nFor i = 1 To " + std::to_string(state.range(0)) +
                             "\n  s = s & \"0123456789\"\nNext\nPrint Len(s)\n";
  for (auto _ : state) {
    std::ostringstream out, errors;
    const int status = zidevuv10::script::runScript(script, "bench.vbs", zidevuv10::ScreenMetrics{}, out, errors);
    if (status != 0 || out.str() != std::to_string(state.range(0) * 10) + "\n") {
      state.SkipWithError("the script did not build the whole text");
      break;
    }
  }
  state.SetComplexityN(state.range(0));
}

BENCHMARK(appendToText)->Arg(10000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

BENCHMARK_MAIN();
