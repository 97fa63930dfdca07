// The main job of the pallisk command: same bytes as the library, one-line reasons, exit codes.
// Run: ctest --preset release -R 'WhitenJob'   (or build/release/tests/korvel_tests
// --gtest_filter='WhitenJob*')
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/cli_fixture.hpp"

namespace korvel::test {
namespace {

TEST(WhitenJob, WritesTheSameBytesAsPalliskAtEveryDepth) {
  const TempDir dir;
  const std::uint16_t depths[] = {1, 4, 8, 16, 24, 32};
  for (const std::uint16_t depth : depths) {
    // Odd sizes so that every depth has row padding.
    const std::string source = dir.File("source" + std::to_string(depth) + ".bmp");
    WriteFileBytes(source, NoiseBmp(depth, 13, 7, depth));
    for (const std::int32_t threshold : {-1, 0, 40, 764, 765}) {
      SCOPED_TRACE("depth " + std::to_string(depth) + ", threshold " + std::to_string(threshold));
      const std::string fromCli = dir.File("cli.bmp");
      const std::string fromLibrary = dir.File("library.bmp");
      const CliRun run = RunCli({source, fromCli, std::to_string(threshold)});
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(run.err, "");
      ASSERT_EQ(CallPallisk(source, fromLibrary, threshold), 999);
      const std::string want = ReadFileBytes(fromLibrary);
      ASSERT_GT(want.size(), 54u);
      EXPECT_TRUE(ReadFileBytes(fromCli) == want) << "have bytes that differ from Pallisk's";
    }
  }
}

TEST(WhitenJob, RefusedSourceGivesOneLineNamingFileAndReasonAndWritesNothing) {
  BmpBuilder depth2;
  depth2.biBitCount = 2;
  BmpBuilder rle8;
  rle8.biBitCount = 8;
  rle8.biCompression = 1;
  BmpBuilder topDown;
  topDown.biHeight = -1;
  BmpBuilder zeroWidth;
  zeroWidth.biWidth = 0;
  BmpBuilder huge;
  huge.biWidth = 65536;
  huge.biHeight = 65536;
  const struct {
    const char* name;
    std::optional<std::string> bytes;  // nullopt: the file does not exist
    const char* reason;
  } cases[] = {
      {"missing", std::nullopt, "cannot open the file (No such file or directory)"},
      {"text", std::string("just some text, long enough to fill both BMP headers ....."),
       "not a BMP file"},
      {"empty", std::string(), "file too short for the BMP headers"},
      {"cut", BmpBuilder{}.Build().substr(0, 30), "file too short for the BMP headers"},
      {"depth2", depth2.Build(), "unsupported bit depth"},
      {"rle8", rle8.Build(), "unsupported compression"},
      {"topdown", topDown.Build(), "bad dimensions"},
      {"zerowidth", zeroWidth.Build(), "bad dimensions"},
      {"huge", huge.Build(), "picture too large (more than 2^28 pixels)"},
  };
  const TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string source = dir.File(std::string(c.name) + ".bmp");
    const std::string target = dir.File("target.bmp");
    if (c.bytes) WriteFileBytes(source, *c.bytes);
    const CliRun run = RunCli({source, target, "30"});
    EXPECT_EQ(run.status, 1);
    const std::vector<std::string> lines = Lines(run.err);
    ASSERT_EQ(lines.size(), 1u) << run.err;
    const std::string prefix = "pallisk: " + source + ": " + c.reason;
    EXPECT_EQ(lines[0].substr(0, prefix.size()), prefix) << "have " << lines[0];
    EXPECT_FALSE(FileExists(target));
    EXPECT_EQ(run.out, "");
  }
}

TEST(WhitenJob, DirectoryAsSourceIsNamedAsSuch) {
  const TempDir dir;
  const CliRun run = RunCli({dir.path(), dir.File("t.bmp"), "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "pallisk: " + dir.path() + ": is a directory, not a BMP file\n");
}

TEST(WhitenJob, ThresholdMustBeExactlyASigned32BitInteger) {
  const TempDir dir;
  const std::string source = dir.File("s.bmp");
  WriteFileBytes(source, NoiseBmp(24, 3, 3));
  const struct {
    const char* text;
    int status;
    const char* complaint;  // part of the message, empty when accepted
  } cases[] = {
      {"2147483647", 0, ""},
      {"-2147483648", 0, ""},
      {"+5", 0, ""},
      {"007", 0, ""},
      {"2147483648", 2, "is out of range (-2147483648 to 2147483647)"},
      {"-2147483649", 2, "is out of range"},
      {"99999999999999999999", 2, "is out of range"},
      {"abc", 2, "is not a whole number"},
      {"", 2, "is not a whole number"},
      {"12x", 2, "is not a whole number"},
      {" 5", 2, "is not a whole number"},
      {"5 ", 2, "is not a whole number"},
      {"0x10", 2, "is not a whole number"},
      {"1e3", 2, "is not a whole number"},
      {"+-5", 2, "is not a whole number"},
      {"+", 2, "is not a whole number"},
      {"-", 2, "is not a whole number"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("threshold '") + c.text + "'");
    const std::string target = dir.File("t.bmp");
    std::filesystem::remove(target);
    const CliRun run = RunCli({source, target, c.text});
    EXPECT_EQ(run.status, c.status) << run.err;
    if (c.status == 0) {
      EXPECT_EQ(run.err, "");
      continue;
    }
    const std::vector<std::string> lines = Lines(run.err);
    ASSERT_EQ(lines.size(), 1u) << run.err;
    EXPECT_NE(lines[0].find(std::string("threshold '") + c.text + "' " + c.complaint),
              std::string::npos)
        << "have " << lines[0];
    EXPECT_FALSE(FileExists(target));
  }
}

TEST(WhitenJob, DoubleDashLetsASourceLookLikeASubcommandOrOption) {
  const TempDir dir;
  for (const char* name : {"inspect", "rescale", "-j2"}) {
    SCOPED_TRACE(name);
    WriteFileBytes(dir.File(name), NoiseBmp(24, 3, 3));
    CliOptions inDir;
    inDir.workingDirectory = dir.path();
    const CliRun run = RunCli({"--", name, "out.bmp", "-3"}, inDir);
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(CallPallisk(dir.File(name), dir.File("want.bmp"), -3), 999);
    EXPECT_TRUE(ReadFileBytes(dir.File("out.bmp")) == ReadFileBytes(dir.File("want.bmp")))
        << "have bytes that differ from Pallisk's";
    std::filesystem::remove(dir.File("out.bmp"));
  }
}

TEST(WhitenJob, WrongArgumentCountsAreUsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {}, {"a.bmp"}, {"a.bmp", "b.bmp"}, {"a.bmp", "b.bmp", "1", "extra"}};
  for (const auto& args : cases) {
    SCOPED_TRACE(std::to_string(args.size()) + " arguments");
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
  }
}

TEST(WhitenJob, HelpAndVersionGoToStandardOutput) {
  const CliRun help = RunCli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  for (const char* topic : {"pallisk SOURCE TARGET THRESHOLD", "pallisk inspect FILE",
                            "pallisk rescale MODE VALUE SOURCE TARGET", "--out-dir DIR",
                            "--list FILE", "-j N", "Exit status"}) {
    EXPECT_NE(help.out.find(topic), std::string::npos) << "help lacks " << topic;
  }
  const CliRun version = RunCli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "pallisk (KorvelPallisk) 1.0.0.1\n");
}

}  // namespace
}  // namespace korvel::test
