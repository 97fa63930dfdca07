// Run: ctest --preset release -R Faults
// Failing disks and unusable paths: a full device, a target folder that does not exist, and
// sources that are missing, unreadable or a directory. Each gives its own answer, and a refused
// source never leads to a target being written.
#include "korvel/pallisk.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "korvel/bmp/header_inspection.hpp"
#include "korvel/bmp/load_status.hpp"
#include "korvel/image/bitmap_image.hpp"
#include "support/bmp_builder.hpp"
#include "support/pallisk_library.hpp"
#include "support/temp_dir.hpp"

namespace korvel {
namespace {

using test::LoadPallisk;
using test::PalliskFunction;
using test::Wide;
using test::WidePath;

bool HaveFullDevice() {
  return test::FileExists("/dev/full");
}

// A small valid 24-bit file.
std::string ValidBmp() {
  test::BmpBuilder bmp;
  bmp.biWidth = 2;
  bmp.biHeight = 2;
  bmp.pixelData = std::string("\x10\x20\x30\x40\x50\x60\0\0\x70\x80\x90\xA0\xB0\xC0\0\0", 16);
  return bmp.Build();
}

TEST(SaveFaults, FullDeviceAnswersFalseAtEveryDepth) {
  if (!HaveFullDevice()) GTEST_SKIP() << "no /dev/full here";
  struct Case {
    std::int32_t width, height;
  };
  // A small file fails only when the close flushes it; a large one already in a row write.
  for (const Case size : {Case{3, 2}, Case{400, 300}}) {
    for (std::int32_t depth : {1, 4, 8, 16, 24, 32}) {
      SCOPED_TRACE(std::to_string(depth) + " bits, " + std::to_string(size.width) + " x " +
                   std::to_string(size.height));
      BitmapImage image;
      ASSERT_TRUE(image.ChangeBitDepth(depth));
      ASSERT_TRUE(image.Resize(size.width, size.height));
      EXPECT_FALSE(image.SaveToFile("/dev/full"));
      EXPECT_EQ(image.Width(), size.width);
      EXPECT_EQ(image.BitDepth(), depth);
    }
  }
}

TEST(SaveFaults, MissingFolderAnswersFalseAndCreatesNothing) {
  test::TempDir dir;
  BitmapImage image;
  EXPECT_FALSE(image.SaveToFile(dir.File("missing/out.bmp").c_str()));
  EXPECT_FALSE(test::FileExists(dir.File("missing")));
}

// Sources that cannot be read, with the reason the loader must give.
struct SourceFault {
  const char* name;
  LoadStatus status;
};
const SourceFault kSourceFaults[] = {
    {"missing.bmp", LoadStatus::kCannotOpen},
    // Some systems open a directory for reading and fail only its reads; it is still no file.
    {"directory.bmp", LoadStatus::kCannotOpen},
};

std::string MakeSource(const test::TempDir& dir, const std::string& name) {
  const std::string path = dir.File(name);
  if (name == "directory.bmp") std::filesystem::create_directory(path);
  return path;
}

TEST(LoadFaults, SourcesThatAreNoFileCannotBeOpened) {
  for (const SourceFault& fault : kSourceFaults) {
    SCOPED_TRACE(fault.name);
    test::TempDir dir;
    const std::string path = MakeSource(dir, fault.name);
    BitmapImage image;
    ASSERT_TRUE(image.Resize(5, 4));
    const LoadStatus status = image.Load(path.c_str());
    EXPECT_EQ(status, fault.status)
        << "have " << Describe(status) << ", want " << Describe(fault.status);
    // Reset to one white pixel of 1 bit, as for any file that cannot be opened.
    EXPECT_EQ(image.Width(), 1);
    EXPECT_EQ(image.Height(), 1);
    EXPECT_EQ(image.BitDepth(), 1);
    EXPECT_EQ(ReadFileHeaderOf(path.c_str()).bfType, 0) << "header inspection must agree";
  }
}

TEST(LoadFaults, SourceWithoutReadPermissionCannotBeOpened) {
#ifdef _WIN32
  GTEST_SKIP() << "no POSIX permissions";
#else
  if (geteuid() == 0) GTEST_SKIP() << "running as root, which reads a file of mode 000 anyway";
  test::TempDir dir;
  const std::string source = dir.File("unreadable.bmp");
  test::WriteFileBytes(source, ValidBmp());
  std::filesystem::permissions(source, std::filesystem::perms::none);
  BitmapImage image;
  EXPECT_EQ(image.Load(source.c_str()), LoadStatus::kCannotOpen);
  const PalliskFunction pallisk = LoadPallisk();
  ASSERT_NE(pallisk, nullptr);
  const std::string target = dir.File("target.bmp");
  EXPECT_EQ(pallisk(Wide(source).c_str(), Wide(target).c_str(), 10), 1);
  EXPECT_FALSE(test::FileExists(target));
  std::filesystem::permissions(source, std::filesystem::perms::owner_all);
#endif
}

TEST(PalliskFaults, EachFaultGivesItsAnswer) {
  const PalliskFunction pallisk = LoadPallisk();
  ASSERT_NE(pallisk, nullptr) << "Pallisk not found in " << KORVEL_PALLISK_LIBRARY;
  for (const SourceFault& fault : kSourceFaults) {
    SCOPED_TRACE(fault.name);
    test::TempDir dir;
    const std::string source = MakeSource(dir, fault.name);
    const std::string target = dir.File("target.bmp");
    EXPECT_EQ(pallisk(Wide(source).c_str(), Wide(target).c_str(), 10), 1);
    EXPECT_FALSE(test::FileExists(target)) << "a refused source wrote its target";
  }

  // Targets that cannot be written still answer 999: the source was loaded.
  test::TempDir dir;
  const std::string source = dir.File("source.bmp");
  test::WriteFileBytes(source, ValidBmp());
  const std::string missingFolder = dir.File("missing/target.bmp");
  EXPECT_EQ(pallisk(Wide(source).c_str(), Wide(missingFolder).c_str(), 10), 999);
  EXPECT_FALSE(test::FileExists(dir.File("missing")));
  if (HaveFullDevice()) {
    EXPECT_EQ(pallisk(Wide(source).c_str(), Wide("/dev/full").c_str(), 10), 999);
  }
  EXPECT_EQ(test::ReadFileBytes(source), ValidBmp()) << "the source must be left as it was";
}

}  // namespace
}  // namespace korvel
