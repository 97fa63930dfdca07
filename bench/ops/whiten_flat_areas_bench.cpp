// The whitening filter on the benchmark scene, threshold 30 as the Pallisk benchmark uses.
//   build/bench/bench/korvel_bench --benchmark_filter=Whiten
// The result is checked once against a direct transcription of the filter's walk through At.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "korvel/ops/whiten_flat_areas.hpp"
#include "support/scene.hpp"

namespace {

using korvel::BitmapImage;

// Every column 0 to W and every row 0 to H inclusive, both clamped by At.
void ReferenceWhiten(BitmapImage& image, std::int32_t threshold) {
  const auto sum = [](korvel::PixelBgra p) { return p.blue + p.green + p.red; };
  for (std::int32_t c = 0; c <= image.Width(); ++c) {
    for (std::int32_t r = 0; r <= image.Height(); ++r) {
      korvel::PixelBgra& p = image.At(c, r);
      if (std::abs(sum(image.At(c, r + 1)) - sum(p)) <= threshold) p.blue = p.green = p.red = 255;
    }
  }
}

void BM_Whiten(benchmark::State& state) {
  const auto side = static_cast<std::int32_t>(state.range(0));
  const BitmapImage source = korvel::bench::ScenePicture(side * 4 / 3, side, 24);
  BitmapImage image = source, reference = source;
  korvel::WhitenFlatAreas(image, 30);
  ReferenceWhiten(reference, 30);
  for (std::int32_t c = 0; c < image.Width(); ++c) {
    if (std::memcmp(image.Column(c), reference.Column(c),
                    sizeof(korvel::PixelBgra) * std::size_t(image.Height())) != 0) {
      state.SkipWithError("whitened picture differs from the reference walk");
      return;
    }
  }
  for (auto _ : state) {
    state.PauseTiming();
    image = source;
    state.ResumeTiming();
    korvel::WhitenFlatAreas(image, 30);
    benchmark::ClobberMemory();
  }
  const std::int64_t pixels = std::int64_t{image.Width()} * image.Height();
  state.SetItemsProcessed(state.iterations() * pixels);
  state.SetBytesProcessed(state.iterations() * pixels * 4);
}

}  // namespace

// Input: the benchmark scene, 4:3, height given.
BENCHMARK(BM_Whiten)
    ->Name("WhitenFlatAreas/scene/threshold30")
    ->ArgName("height")
    ->Arg(750)
    ->Arg(3000)
    ->Unit(benchmark::kMillisecond);
