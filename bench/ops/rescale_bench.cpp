// Bilinear rescaling of the benchmark scene.
//   build/bench/bench/korvel_bench --benchmark_filter=Rescale
#include <benchmark/benchmark.h>

#include "korvel/ops/rescale.hpp"
#include "support/scene.hpp"

namespace {

using korvel::BitmapImage;

// Percentage of a 1000 x 750 scene; throughput counts the pixels made.
void BM_Rescale(benchmark::State& state) {
  const auto percent = static_cast<std::int32_t>(state.range(0));
  const BitmapImage source = korvel::bench::ScenePicture(1000, 750, 24);
  BitmapImage image = source;
  if (!korvel::RescaleImage(image, 'P', percent) || image.Width() != 10 * percent ||
      image.Height() != 750 * percent / 100) {
    state.SkipWithError("rescaled picture has the wrong size");
    return;
  }
  const std::int64_t made = std::int64_t{image.Width()} * image.Height();
  for (auto _ : state) {
    state.PauseTiming();
    image = source;
    state.ResumeTiming();
    (void)korvel::RescaleImage(image, 'P', percent);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * made);
}

}  // namespace

BENCHMARK(BM_Rescale)
    ->Name("RescaleImage/scene1000x750/percent")
    ->Arg(50)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond);
