// Row codecs and whole-file loading and saving at every depth, on the benchmark scene.
//   build/bench/bench/korvel_bench --benchmark_filter='Row|File'
// Each benchmark checks its output once before timing; throughput is in file bytes per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "korvel/bmp/headers.hpp"
#include "support/scene.hpp"

namespace {

using korvel::BitmapImage;

constexpr std::int32_t kWidth = 4000;
constexpr std::int32_t kRowsHeight = 256;  // rows per codec benchmark
constexpr std::int32_t kFileHeight = 3000;

bool EncodeRow(const BitmapImage& image, std::int32_t depth, std::uint8_t* bytes,
               std::int64_t length, std::int32_t row) {
  switch (depth) {
    case 32:
      return image.EncodeRow32(bytes, length, row);
    case 24:
      return image.EncodeRow24(bytes, length, row);
    case 8:
      return image.EncodeRow8(bytes, length, row);
    case 4:
      return image.EncodeRow4(bytes, length, row);
    default:
      return image.EncodeRow1(bytes, length, row);
  }
}

bool DecodeRow(BitmapImage& image, std::int32_t depth, const std::uint8_t* bytes,
               std::int64_t length, std::int32_t row) {
  switch (depth) {
    case 32:
      return image.DecodeRow32(bytes, length, row);
    case 24:
      return image.DecodeRow24(bytes, length, row);
    case 8:
      return image.DecodeRow8(bytes, length, row);
    case 4:
      return image.DecodeRow4(bytes, length, row);
    default:
      return image.DecodeRow1(bytes, length, row);
  }
}

// The public one-row codecs, every row of a 4000 x 256 picture per iteration.
void BM_EncodeRows(benchmark::State& state) {
  const auto depth = static_cast<std::int32_t>(state.range(0));
  const BitmapImage image = korvel::bench::ScenePicture(kWidth, kRowsHeight, depth);
  const std::int64_t length = korvel::RowLength(depth, kWidth);
  std::vector<std::uint8_t> bytes(std::size_t(length) * kRowsHeight);
  for (auto _ : state) {
    for (std::int32_t row = 0; row < kRowsHeight; ++row) {
      if (!EncodeRow(image, depth, bytes.data() + std::size_t(length) * std::size_t(row), length,
                     row)) {
        state.SkipWithError("encoder refused its row");
        return;
      }
    }
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * length * kRowsHeight);
  state.SetItemsProcessed(state.iterations() * std::int64_t{kWidth} * kRowsHeight);
}

void BM_DecodeRows(benchmark::State& state) {
  const auto depth = static_cast<std::int32_t>(state.range(0));
  const BitmapImage source = korvel::bench::ScenePicture(kWidth, kRowsHeight, depth);
  const std::int64_t length = korvel::RowLength(depth, kWidth);
  std::vector<std::uint8_t> bytes(std::size_t(length) * kRowsHeight);
  for (std::int32_t row = 0; row < kRowsHeight; ++row) {
    (void)EncodeRow(source, depth, bytes.data() + std::size_t(length) * std::size_t(row), length,
                    row);
  }
  BitmapImage image;
  image.ChangeBitDepth(depth);
  (void)image.Resize(kWidth, kRowsHeight);
  // Decoding what was encoded must give back the (palette-matched) picture.
  for (std::int32_t row = 0; row < kRowsHeight; ++row) {
    (void)DecodeRow(image, depth, bytes.data() + std::size_t(length) * std::size_t(row), length,
                    row);
  }
  for (std::int32_t row = 0; row < kRowsHeight; row += 17) {
    korvel::PixelBgra want = source.PixelValue(row * 7, row);
    if (depth == 24) want.alpha = 0;
    if (image.PixelValue(row * 7, row) != want) {
      state.SkipWithError("decoded pixel differs from the encoded one");
      return;
    }
  }
  for (auto _ : state) {
    for (std::int32_t row = 0; row < kRowsHeight; ++row) {
      (void)DecodeRow(image, depth, bytes.data() + std::size_t(length) * std::size_t(row), length,
                      row);
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * length * kRowsHeight);
  state.SetItemsProcessed(state.iterations() * std::int64_t{kWidth} * kRowsHeight);
}

std::string TempPath(std::int32_t depth) {
  return "/tmp/korvel_bench_" + std::to_string(depth) + ".bmp";
}

long FileBytes(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return -1;
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fclose(file);
  return size;
}

// Whole files of 4000 x 3000 through the buffered block path, from the page cache.
void BM_SaveFile(benchmark::State& state) {
  const auto depth = static_cast<std::int32_t>(state.range(0));
  const BitmapImage image = korvel::bench::ScenePicture(kWidth, kFileHeight, depth);
  BitmapImage copy = image;
  const std::string path = TempPath(depth);
  copy.SaveToFile(path.c_str());
  const long bytes = FileBytes(path);
  BitmapImage back;
  // 16-bit files keep the top five bits of each channel.
  const unsigned kept = depth == 16 ? 0xF8u : 0xFFu;
  if (!back.LoadFromFile(path.c_str()) ||
      (back.PixelValue(1234, 2345).blue & kept) != (image.PixelValue(1234, 2345).blue & kept)) {
    state.SkipWithError("saved file does not load back");
    return;
  }
  for (auto _ : state) {
    if (!copy.SaveToFile(path.c_str())) state.SkipWithError("cannot write");
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  std::remove(path.c_str());
}

void BM_LoadFile(benchmark::State& state) {
  const auto depth = static_cast<std::int32_t>(state.range(0));
  BitmapImage image = korvel::bench::ScenePicture(kWidth, kFileHeight, depth);
  const std::string path = TempPath(depth) + ".load";
  image.SaveToFile(path.c_str());
  const long bytes = FileBytes(path);
  BitmapImage loaded;
  if (!loaded.LoadFromFile(path.c_str()) ||
      loaded.PixelValue(3999, 0).green != image.PixelValue(3999, 0).green) {
    state.SkipWithError("file does not load back");
    return;
  }
  for (auto _ : state) {
    if (!loaded.LoadFromFile(path.c_str())) state.SkipWithError("cannot load");
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  std::remove(path.c_str());
}

void Depths(benchmark::internal::Benchmark* b, bool with16) {
  b->ArgName("depth");
  for (int depth : {1, 4, 8, 16, 24, 32}) {
    if (depth != 16 || with16) b->Arg(depth);
  }
  b->Unit(benchmark::kMillisecond);
}

}  // namespace

// Input: the benchmark scene, 4000 wide; 16-bit pixels have no one-row codec.
BENCHMARK(BM_EncodeRows)->Name("EncodeRows/scene4000x256")->Apply([](auto* b) {
  Depths(b, false);
});
BENCHMARK(BM_DecodeRows)->Name("DecodeRows/scene4000x256")->Apply([](auto* b) {
  Depths(b, false);
});
BENCHMARK(BM_SaveFile)->Name("SaveFile/scene4000x3000")->Apply([](auto* b) { Depths(b, true); });
BENCHMARK(BM_LoadFile)->Name("LoadFile/scene4000x3000")->Apply([](auto* b) { Depths(b, true); });
