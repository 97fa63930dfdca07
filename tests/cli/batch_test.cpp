// Batch mode: many sources into one directory on several threads, a bad file reported without
// stopping the others, and an exit status that says whether any failed.
// Run: ctest --preset release -R 'Batch'
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "tests/cli/cli_fixture.hpp"

namespace korvel::test {
namespace {

// Sources of several depths in dir/in, with what Pallisk makes of each at `threshold`.
struct BatchFixture {
  explicit BatchFixture(std::int32_t threshold) {
    std::filesystem::create_directory(in);
    const std::uint16_t depths[] = {1, 4, 8, 16, 24, 32, 24, 8};
    for (std::size_t i = 0; i < std::size(depths); ++i) {
      const std::string name = "good" + std::to_string(i) + ".bmp";
      WriteFileBytes(in + "/" + name, NoiseBmp(depths[i], 17, 11, unsigned(i)));
      const std::string expected = dir.File("expected-" + name);
      if (CallPallisk(in + "/" + name, expected, threshold) == 999) {
        want[name] = ReadFileBytes(expected);
      }
      good.push_back(in + "/" + name);
    }
  }
  TempDir dir;
  const std::string in = dir.File("in");
  const std::string out = dir.File("out");
  std::vector<std::string> good;
  std::map<std::string, std::string> want;  // base name -> bytes Pallisk writes
};

TEST(Batch, OneBadFileIsReportedAndTheOthersAreWritten) {
  BatchFixture f(30);
  const std::string bad = f.in + "/bad.bmp";
  WriteFileBytes(bad, "not a picture at all, but long enough for the two headers ..");
  std::vector<std::string> args = {"--out-dir", f.out, "-j", "3", "30"};
  args.insert(args.end(), f.good.begin(), f.good.begin() + 4);
  args.push_back(bad);
  args.insert(args.end(), f.good.begin() + 4, f.good.end());
  const CliRun run = RunCli(args);
  EXPECT_EQ(run.status, 1);
  // Not a terminal: no progress line, only the failure and the summary.
  EXPECT_EQ(run.err, "pallisk: " + bad + ": not a BMP file\npallisk: 1 of 9 files failed\n");
  EXPECT_FALSE(FileExists(f.out + "/bad.bmp"));
  ASSERT_EQ(f.want.size(), 8u);
  for (const auto& [name, bytes] : f.want) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(ReadFileBytes(f.out + "/" + name) == bytes)
        << "have bytes that differ from Pallisk's";
  }
}

TEST(Batch, AllGoodIsSilentAndSucceedsWhateverTheJobCount) {
  for (const char* jobs : {"1", "2", "64"}) {
    SCOPED_TRACE(std::string("-j ") + jobs);
    BatchFixture f(-7);
    std::vector<std::string> args = {std::string("-j") + jobs, "-7", "--out-dir=" + f.out};
    args.insert(args.end(), f.good.begin(), f.good.end());
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    for (const auto& [name, bytes] : f.want) {
      EXPECT_TRUE(ReadFileBytes(f.out + "/" + name) == bytes) << name;
    }
  }
}

TEST(Batch, ListFileAddsSourcesOnePerLine) {
  BatchFixture f(12);
  const std::string list = f.dir.File("list.txt");
  // A CRLF line, a blank line and a source named on the command line too.
  WriteFileBytes(list, f.good[1] + "\r\n\n" + f.good[2] + "\n" + f.good[3]);
  const CliRun run = RunCli({"--out-dir", f.out, "--list", list, "12", f.good[0]});
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<std::string> written;
  for (const auto& entry : std::filesystem::directory_iterator(f.out)) {
    written.push_back(entry.path().filename().string());
  }
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written,
            (std::vector<std::string>{"good0.bmp", "good1.bmp", "good2.bmp", "good3.bmp"}));
  EXPECT_TRUE(ReadFileBytes(f.out + "/good1.bmp") == f.want["good1.bmp"]);

  CliOptions fromStdin;
  fromStdin.input = f.good[4] + "\n";
  const CliRun piped = RunCli({"--out-dir", f.out, "--list", "-", "12"}, fromStdin);
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_TRUE(ReadFileBytes(f.out + "/good4.bmp") == f.want["good4.bmp"]);
}

TEST(Batch, ProgressLineOnlyOnATerminal) {
  BatchFixture f(30);
  const std::string bad = f.in + "/bad.bmp";
  WriteFileBytes(bad, "BM");
  std::vector<std::string> args = {"--out-dir", f.out, "30", bad};
  args.insert(args.end(), f.good.begin(), f.good.end());
  CliOptions terminal;
  terminal.errorToTerminal = true;
  const CliRun run = RunCli(args, terminal);
  EXPECT_EQ(run.status, 1);
  // The counter is redrawn in place; the failure gets a line of its own after clearing it.
  EXPECT_NE(run.err.find("\rpallisk: 9/9 files, 1 failed"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("\r\033[Kpallisk: " + bad + ": file too short for the BMP headers"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("pallisk: 1 of 9 files failed"), std::string::npos) << run.err;
  EXPECT_TRUE(ReadFileBytes(f.out + "/good7.bmp") == f.want["good7.bmp"]);
}

TEST(Batch, TwoSourcesWithOneBaseNameDoNotOverwriteEachOther) {
  BatchFixture f(5);
  const std::string other = f.dir.File("other");
  std::filesystem::create_directory(other);
  WriteFileBytes(other + "/good0.bmp", NoiseBmp(24, 2, 2));
  const CliRun run = RunCli({"--out-dir", f.out, "5", f.good[0], other + "/good0.bmp"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "pallisk: " + other + "/good0.bmp: skipped: " + f.out +
                         "/good0.bmp is already written from " + f.good[0] +
                         "\npallisk: 1 of 2 files failed\n");
  EXPECT_TRUE(ReadFileBytes(f.out + "/good0.bmp") == f.want["good0.bmp"]);
}

TEST(Batch, BadCommandLinesAreUsageErrors) {
  const TempDir dir;
  const struct {
    std::vector<std::string> args;
    const char* complaint;
  } cases[] = {
      {{"--out-dir"}, "option --out-dir needs a value"},
      {{"--out-dir", dir.path()}, "batch mode needs a THRESHOLD"},
      {{"--out-dir", dir.path(), "5"}, "batch mode needs at least one SOURCE"},
      {{"--list", "x.txt", "5"}, "batch mode needs --out-dir DIR"},
      {{"--out-dir", dir.path(), "-j", "0", "5", "a.bmp"}, "job count '0' must be from 1 to 1024"},
      {{"--out-dir", dir.path(), "-jx", "5", "a.bmp"}, "job count 'x' is not a whole number"},
      {{"--out-dir", dir.path(), "--fast", "5", "a.bmp"}, "unknown option '--fast'"},
      {{"--out-dir", dir.path(), "five", "a.bmp"}, "threshold 'five' is not a whole number"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.complaint);
    const CliRun run = RunCli(c.args);
    EXPECT_EQ(run.status, 2);
    ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find(c.complaint), std::string::npos) << "have " << run.err;
  }
}

TEST(Batch, MissingListFileStopsBeforeAnyWork) {
  BatchFixture f(1);
  const std::string list = f.dir.File("no-list.txt");
  const CliRun run = RunCli({"--out-dir", f.out, "--list", list, "1", f.good[0]});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "pallisk: " + list + ": cannot open the list file\n");
  EXPECT_FALSE(FileExists(f.out + "/good0.bmp"));
}

}  // namespace
}  // namespace korvel::test
