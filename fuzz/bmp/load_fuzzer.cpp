// Loading any bytes as a BMP file. The answer, the resolution and every palette entry and pixel
// must be what the loader's rules give for those bytes; an accepted image must survive a save
// and a load back with the writer's own encoding, in a file as long as its header says.
//   Fuzz:   cmake --preset fuzz && cmake --build --preset fuzz &&
//           build/fuzz/fuzz/load_fuzzer build/fuzz/corpus/load fuzz/corpus samples
//   Replay: ctest --preset release -R FuzzReplay.load
#include <cstddef>
#include <cstdint>

#include "fuzz/support/expected_load.hpp"
#include "fuzz/support/fuzz_support.hpp"
#include "korvel/image/bitmap_image.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvel;
  static const std::string input = fuzz::ScratchPath("input.bmp");
  static const std::string saved = fuzz::ScratchPath("saved.bmp");
  fuzz::WriteBytes(input, data, size);

  // A distinctive image beforehand shows whether a refusal left it alone or reset it.
  BitmapImage image;
  KORVEL_FUZZ_CHECK(image.Resize(3, 2));
  KORVEL_FUZZ_CHECK(image.ChangeBitDepth(4));
  KORVEL_FUZZ_CHECK(image.StorePixel(2, 1, PixelBgra{1, 2, 3, 4}));
  image.SetResolutionDpi(50, 70);
  const BitmapImage before(image);
  const std::int32_t x = image.XPixelsPerMeter(), y = image.YPixelsPerMeter();

  const LoadStatus status = image.Load(input.c_str());
  fuzz::CheckLoad(fuzz::PredictLoad(data, size), status, image, before, x, y);

  BitmapImage again;
  KORVEL_FUZZ_CHECK(again.LoadFromFile(input.c_str()) == (status == LoadStatus::kLoaded));
  if (status == LoadStatus::kLoaded) fuzz::CheckSaveRoundTrip(image, saved.c_str());
  return 0;
}
