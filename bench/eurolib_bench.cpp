// The currency library's double conversion, as the operation list calls it
// for the counter-value of every row it shows.
#include <benchmark/benchmark.h>

#include "eurolib/orveuro32.h"

namespace {

void ConvertDouble(benchmark::State& state, const char* target) {
  double amount = 1234.56;
  double result = 0;
  for (auto _ : state) {
    const int code = euro_Conversion(amount, 2, "FRF", result, target, 2);
    benchmark::DoNotOptimize(code);
    benchmark::DoNotOptimize(result);
    amount += 0.01;
  }
}

void BM_ConversionFrancsToEuros(benchmark::State& state) {
  ConvertDouble(state, "EUR");
}
void BM_ConversionFrancsToMarks(benchmark::State& state) {
  ConvertDouble(state, "DEM");
}

BENCHMARK(BM_ConversionFrancsToEuros);
BENCHMARK(BM_ConversionFrancsToMarks);

}  // namespace
