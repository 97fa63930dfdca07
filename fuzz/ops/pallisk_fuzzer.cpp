// The exported function end to end on any bytes, with the threshold from the last four bytes.
// It must answer 1 exactly when the source is refused, and then write nothing; otherwise 999 and
// a target that loads back, is as long as its header says and matches, byte for byte, what the
// toolkit's own load, whitening and save produce.
//   Fuzz:   cmake --preset fuzz && cmake --build --preset fuzz &&
//           build/fuzz/fuzz/pallisk_fuzzer build/fuzz/corpus/pallisk fuzz/corpus samples
//   Replay: ctest --preset release -R FuzzReplay.pallisk
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/support/expected_load.hpp"
#include "fuzz/support/fuzz_support.hpp"
#include "korvel/image/bitmap_image.hpp"
#include "korvel/ops/whiten_flat_areas.hpp"
#include "korvel/pallisk.h"

namespace {

// KorvelPathChar: char16_t here, wchar_t on Windows.
std::basic_string<KorvelPathChar> Wide(const std::string& path) {
  return std::basic_string<KorvelPathChar>(path.begin(), path.end());
}

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvel;
  static const std::string source = fuzz::ScratchPath("source.bmp");
  static const std::string target = fuzz::ScratchPath("target.bmp");
  static const std::string expected = fuzz::ScratchPath("expected.bmp");
  fuzz::TailBytes tail(data, size);
  const std::int32_t threshold = tail.Int32();
  fuzz::WriteBytes(source, data, tail.FrontSize());
  fuzz::Remove(target);

  const std::int32_t answer = Pallisk(Wide(source).c_str(), Wide(target).c_str(), threshold);

  BitmapImage image;
  const LoadStatus status = image.Load(source.c_str());
  KORVEL_FUZZ_CHECK(status == fuzz::PredictLoad(data, tail.FrontSize()).status);
  if (status != LoadStatus::kLoaded) {
    KORVEL_FUZZ_CHECK(answer == 1);
    KORVEL_FUZZ_CHECK(!fuzz::Exists(target));
    return 0;
  }
  KORVEL_FUZZ_CHECK(answer == 999);

  // Whitening only ever turns blue, green and red to 255, keeping alpha.
  const BitmapImage loaded(image);
  WhitenFlatAreas(image, threshold);
  for (std::int32_t c = 0; c < image.Width(); ++c) {
    for (std::int32_t r = 0; r < image.Height(); ++r) {
      const PixelBgra now = image.PixelValue(c, r), old = loaded.PixelValue(c, r);
      KORVEL_FUZZ_CHECK(now == old || now == (PixelBgra{255, 255, 255, old.alpha}));
    }
  }
  KORVEL_FUZZ_CHECK(image.SaveToFile(expected.c_str()));
  const std::string written = fuzz::ReadBytes(target);
  KORVEL_FUZZ_CHECK(written == fuzz::ReadBytes(expected));
  KORVEL_FUZZ_CHECK(written.size() >= 54 && Le32(written, 2) == written.size());

  BitmapImage back;
  KORVEL_FUZZ_CHECK(back.Load(target.c_str()) == LoadStatus::kLoaded);
  KORVEL_FUZZ_CHECK(back.Width() == loaded.Width() && back.Height() == loaded.Height());
  KORVEL_FUZZ_CHECK(back.BitDepth() == loaded.BitDepth());
  return 0;
}
