// Colour matching against the standard palettes: the linear scan and the per-save cache.
//   build/bench/bench/korvel_bench --benchmark_filter=Palette
// Input: the colours of the benchmark scene (a natural picture with sensor noise), 1000 x 750.
#include <benchmark/benchmark.h>

#include <vector>

#include "image/palette_matcher.hpp"
#include "support/scene.hpp"

namespace {

using korvel::BitmapImage;
using korvel::PixelBgra;

std::vector<PixelBgra> SceneColours() {
  std::vector<PixelBgra> colours;
  for (std::int32_t y = 0; y < 750; ++y) {
    for (std::int32_t x = 0; x < 1000; ++x)
      colours.push_back(korvel::bench::Scene(x, y, 1000, 750));
  }
  return colours;
}

void BM_NearestPaletteIndex(benchmark::State& state) {
  BitmapImage image;
  image.ChangeBitDepth(static_cast<std::int32_t>(state.range(0)));
  const std::vector<PixelBgra> colours = SceneColours();
  for (auto _ : state) {
    for (const PixelBgra& p : colours) benchmark::DoNotOptimize(image.NearestPaletteIndex(p));
  }
  state.SetItemsProcessed(state.iterations() * std::int64_t(colours.size()));
}

void BM_PaletteMatcher(benchmark::State& state) {
  BitmapImage image;
  image.ChangeBitDepth(static_cast<std::int32_t>(state.range(0)));
  const std::vector<PixelBgra> colours = SceneColours();
  {
    korvel::PaletteMatcher matcher(image);
    for (const PixelBgra& p : colours) {
      if (matcher.IndexOf(p) != image.NearestPaletteIndex(p)) {
        state.SkipWithError("the matcher answers another index than the linear scan");
        return;
      }
    }
  }
  for (auto _ : state) {
    korvel::PaletteMatcher matcher(image);  // one save's worth of matching
    for (const PixelBgra& p : colours) benchmark::DoNotOptimize(matcher.IndexOf(p));
  }
  state.SetItemsProcessed(state.iterations() * std::int64_t(colours.size()));
}

}  // namespace

BENCHMARK(BM_NearestPaletteIndex)
    ->Name("NearestPaletteIndex/scene1000x750")
    ->ArgName("depth")
    ->Arg(1)
    ->Arg(4)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaletteMatcher)
    ->Name("PaletteMatcher/scene1000x750")
    ->ArgName("depth")
    ->Arg(1)
    ->Arg(4)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond);
