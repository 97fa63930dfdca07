// pallisk rescale: the library's RescaleImage, written atomically at 24 bits.
// Run: ctest --preset release -R 'RescaleCommand'
#include <gtest/gtest.h>

#include "korvel/image/bitmap_image.hpp"
#include "korvel/ops/rescale.hpp"
#include "support/le_bytes.hpp"
#include "tests/cli/cli_fixture.hpp"

namespace korvel::test {
namespace {

TEST(RescaleCommand, WritesWhatTheLibraryWritesForEveryMode) {
  const TempDir dir;
  const std::string source = dir.File("source.bmp");
  WriteFileBytes(source, NoiseBmp(8, 40, 20));
  const struct {
    const char* mode;
    const char* value;
    std::uint32_t width;
    std::uint32_t height;
  } cases[] = {
      {"W", "10", 10, 5},   {"w", "10", 10, 5}, {"F", "10", 10, 5}, {"h", "30", 60, 30},
      {"P", "150", 60, 30}, {"p", "-5", 1, 1},  {"W", "0", 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.mode) + " " + c.value);
    const std::string target = dir.File("cli.bmp");
    const CliRun run = RunCli({"rescale", c.mode, c.value, source, target});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string have = ReadFileBytes(target);
    ASSERT_GT(have.size(), 54u);
    EXPECT_EQ(Le32At(have, 18), c.width);
    EXPECT_EQ(Le32At(have, 22), c.height);
    EXPECT_EQ(Le16At(have, 28), 24u);

    BitmapImage image;
    ASSERT_EQ(image.Load(source.c_str()), LoadStatus::kLoaded);
    ASSERT_TRUE(RescaleImage(image, c.mode[0], std::stoi(c.value)));
    const std::string fromLibrary = dir.File("library.bmp");
    ASSERT_TRUE(image.SaveToFile(fromLibrary.c_str()));
    EXPECT_TRUE(have == ReadFileBytes(fromLibrary)) << "have bytes that differ from the library's";
  }
}

TEST(RescaleCommand, BadArgumentsAreUsageErrorsAndWriteNothing) {
  const TempDir dir;
  const std::string source = dir.File("source.bmp");
  const std::string target = dir.File("t.bmp");
  WriteFileBytes(source, NoiseBmp(24, 4, 4));
  const struct {
    std::vector<std::string> args;
    const char* complaint;
  } cases[] = {
      {{"rescale", "X", "10", source, target}, "rescale mode 'X' is none of"},
      {{"rescale", "WW", "10", source, target}, "rescale mode 'WW' is none of"},
      {{"rescale", "", "10", source, target}, "rescale mode '' is none of"},
      {{"rescale", "W", "ten", source, target}, "rescale value 'ten' is not a whole number"},
      {{"rescale", "W", "4294967296", source, target},
       "rescale value '4294967296' is out of range"},
      {{"rescale", "W", "10", source}, "rescale expects MODE VALUE SOURCE TARGET"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.complaint);
    const CliRun run = RunCli(c.args);
    EXPECT_EQ(run.status, 2);
    ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find(c.complaint), std::string::npos) << "have " << run.err;
    EXPECT_FALSE(FileExists(target));
  }
}

TEST(RescaleCommand, FileFailuresNameTheFile) {
  const TempDir dir;
  const std::string source = dir.File("source.bmp");
  const std::string existing = dir.File("existing.bmp");
  WriteFileBytes(source, NoiseBmp(24, 4, 4));
  WriteFileBytes(existing, "kept");
  const struct {
    std::vector<std::string> args;
    std::string line;
  } cases[] = {
      {{"rescale", "W", "10", dir.File("none.bmp"), existing},
       "pallisk: " + dir.File("none.bmp") + ": cannot open the file (No such file or directory)"},
      // 2^16 x 2^16 is past the 2^28 pixel cap; the existing target stays.
      {{"rescale", "P", "1638400", source, existing},
       "pallisk: " + source + ": rescaled size too large (more than 2^28 pixels)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const CliRun run = RunCli(c.args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, c.line + "\n");
    EXPECT_EQ(ReadFileBytes(existing), "kept");
  }
}

}  // namespace
}  // namespace korvel::test
