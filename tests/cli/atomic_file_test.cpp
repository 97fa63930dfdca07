// Targets are replaced whole or not at all: a failed write leaves an existing target, and a
// source that is also the target, exactly as they were, with no temporary file left behind.
// Run: ctest --preset release -R 'AtomicFile'
#include "cli/atomic_file.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/cli/cli_fixture.hpp"

namespace korvel::test {
namespace {

std::vector<std::string> Listing(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// 200 x 200 at 24 bits is 120 054 bytes, far past the 4 KiB the failing runs may write.
constexpr rlim_t kWriteLimitBytes = 4096;

TEST(AtomicFile, FailedWriteKeepsExistingTargetAndLeavesNoTemporary) {
  const TempDir dir;
  const std::string source = dir.File("source.bmp");
  const std::string target = dir.File("target.bmp");
  WriteFileBytes(source, NoiseBmp(24, 200, 200));
  WriteFileBytes(target, "the previous target");
  CliOptions limited;
  limited.fileSizeLimit = kWriteLimitBytes;
  const CliRun run = RunCli({source, target, "30"}, limited);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.rfind("pallisk: " + target + ": target not writable", 0), 0u)
      << "have " << run.err;
  EXPECT_EQ(Lines(run.err).size(), 1u);
  EXPECT_EQ(ReadFileBytes(target), "the previous target");
  EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"source.bmp", "target.bmp"}));
}

TEST(AtomicFile, SourceThatIsAlsoTheTargetSurvivesAFailedWrite) {
  const TempDir dir;
  const std::string source = dir.File("picture.bmp");
  const std::string original = NoiseBmp(24, 200, 200);
  WriteFileBytes(source, original);
  CliOptions limited;
  limited.fileSizeLimit = kWriteLimitBytes;
  const CliRun run = RunCli({source, source, "30"}, limited);
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(ReadFileBytes(source) == original) << "have a damaged source";
  EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"picture.bmp"});
}

TEST(AtomicFile, SourceThatIsAlsoTheTargetIsReplacedByTheResult) {
  const TempDir dir;
  const std::string source = dir.File("picture.bmp");
  const std::string copy = dir.File("copy.bmp");
  WriteFileBytes(source, NoiseBmp(8, 9, 9));
  WriteFileBytes(copy, ReadFileBytes(source));
  ASSERT_EQ(CallPallisk(copy, copy, 25), 999);
  const CliRun run = RunCli({source, source, "25"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(ReadFileBytes(source) == ReadFileBytes(copy))
      << "have bytes that differ from Pallisk's";
}

TEST(AtomicFile, DeviceTargetIsWrittenInPlaceAndKeptADevice) {
  const TempDir dir;
  const std::string source = dir.File("source.bmp");
  WriteFileBytes(source, NoiseBmp(24, 4, 4));
  const struct {
    const char* device;
    int status;
  } cases[] = {{"/dev/full", 1}, {"/dev/null", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.device);
    struct stat info {};
    if (stat(c.device, &info) != 0) GTEST_SKIP() << c.device << " is missing";
    const CliRun run = RunCli({source, c.device, "3"});
    EXPECT_EQ(run.status, c.status) << run.err;
    if (c.status != 0) {
      EXPECT_EQ(run.err, std::string("pallisk: ") + c.device +
                             ": target not writable (No space left on device)\n");
    }
    ASSERT_EQ(stat(c.device, &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode)) << c.device << " was replaced by a file";
  }
}

TEST(AtomicFile, UnwritableDirectoriesAreReportedAndTheTargetKept) {
  const TempDir dir;
  const std::string source = dir.File("source.bmp");
  WriteFileBytes(source, NoiseBmp(24, 4, 4));
  WriteFileBytes(dir.File("plain-file"), "x");
  const struct {
    std::string target;
    std::string reason;
  } cases[] = {
      {dir.File("missing/t.bmp"), "target not writable: cannot create a file in " +
                                      dir.File("missing") + " (No such file or directory)"},
      {dir.File("plain-file/t.bmp"), "target not writable: cannot create a file in " +
                                         dir.File("plain-file") + " (Not a directory)"},
      {dir.path(), "is a directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    const CliRun run = RunCli({source, c.target, "3"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "pallisk: " + c.target + ": " + c.reason + "\n");
  }
}

TEST(AtomicFile, ReadOnlyDirectoryKeepsItsTarget) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  const TempDir dir;
  const std::string source = dir.File("source.bmp");
  WriteFileBytes(source, NoiseBmp(24, 4, 4));
  const std::string locked = dir.File("locked");
  std::filesystem::create_directory(locked);
  const std::string target = locked + "/t.bmp";
  WriteFileBytes(target, "kept");
  std::filesystem::permissions(
      locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const CliRun run = RunCli({source, target, "3"});
  std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "pallisk: " + target + ": target not writable: cannot create a file in " +
                         locked + " (Permission denied)\n");
  EXPECT_EQ(ReadFileBytes(target), "kept");
}

TEST(AtomicFile, WriterGetsAFreshFileBesideTheTarget) {
  const TempDir dir;
  const std::string target = dir.File("t.bmp");
  WriteFileBytes(target, "old");
  std::string given;
  const cli::FileResult result = cli::WriteAtomically(target, [&](const std::string& path) {
    given = path;
    WriteFileBytes(path, "new");
    return true;
  });
  EXPECT_FALSE(result.has_value());
  EXPECT_NE(given, target);
  EXPECT_EQ(std::filesystem::path(given).parent_path(), std::filesystem::path(dir.path()));
  EXPECT_EQ(ReadFileBytes(target), "new");
  EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"t.bmp"});
}

TEST(AtomicFile, RefusingWriterLeavesTargetAndNoTemporary) {
  const TempDir dir;
  const std::string target = dir.File("t.bmp");
  WriteFileBytes(target, "old");
  const cli::FileResult result = cli::WriteAtomically(target, [](const std::string& path) {
    WriteFileBytes(path, "half");
    return false;
  });
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->file, target);
  EXPECT_EQ(ReadFileBytes(target), "old");
  EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"t.bmp"});
}

TEST(AtomicFile, ReplacedTargetKeepsItsPermissionsAndSymbolicLink) {
  const TempDir dir;
  const std::string real = dir.File("real.bmp");
  const std::string link = dir.File("link.bmp");
  WriteFileBytes(real, "old");
  chmod(real.c_str(), 0640);
  std::filesystem::create_symlink("real.bmp", link);
  const cli::FileResult result = cli::WriteAtomically(link, [](const std::string& path) {
    WriteFileBytes(path, "new");
    return true;
  });
  EXPECT_FALSE(result.has_value());
  EXPECT_TRUE(std::filesystem::is_symlink(link)) << "have the link replaced by a file";
  EXPECT_EQ(ReadFileBytes(real), "new");
  struct stat info {};
  ASSERT_EQ(stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

}  // namespace
}  // namespace korvel::test
