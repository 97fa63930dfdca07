// Run: ctest --preset release -R Threads   (under ThreadSanitizer: .ci/steps/20-tsan.sh)
// Calls of the exported Pallisk share nothing: eight threads at once, each on files of its own,
// write exactly the bytes one call alone writes, at every depth and for a refused source.
#include "korvel/pallisk.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "korvel/bmp/headers.hpp"
#include "support/bmp_builder.hpp"
#include "support/pallisk_library.hpp"
#include "support/temp_dir.hpp"

namespace korvel {
namespace {

using test::LoadPallisk;
using test::PalliskFunction;
using test::Wide;
using test::WidePath;

// A 23 x 11 picture of varied bytes at `depth`, with a palette of its own when indexed;
// odd sizes give pad bytes and partly filled bytes.
std::string Picture(std::uint16_t depth, std::uint32_t seed) {
  test::BmpBuilder bmp;
  bmp.biWidth = 23;
  bmp.biHeight = 11;
  bmp.biBitCount = depth;
  if (depth <= 8) {
    for (int i = 0; i < 1 << depth; ++i) {
      const auto v = static_cast<std::uint8_t>(i * 37 + seed);
      bmp.palette.push_back(
          PixelBgra{v, static_cast<std::uint8_t>(v * 3), static_cast<std::uint8_t>(255 - v), 0});
    }
  }
  if (depth == 16) {
    bmp.biCompression = kCompressionMasks;
    bmp.masks = {0xF800, 0x07E0, 0x001F};
  }
  const std::int64_t bytes = RowLength(depth, bmp.biWidth) * bmp.biHeight;
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::int64_t i = 0; i < bytes; ++i) {
    state = state * 1103515245u + 12345u;
    // Runs of equal bytes make flat areas for the filter to whiten.
    bmp.pixelData += static_cast<char>((state >> 16) % 4 == 0 ? 0x80 : state >> 24);
  }
  return bmp.Build();
}

struct Job {
  std::string source;
  std::int32_t threshold;
  std::int32_t answer;
  std::string written;  // empty when nothing is written
};

TEST(PalliskThreads, EightThreadsWriteWhatOneCallAloneWrites) {
  const PalliskFunction pallisk = LoadPallisk();
  ASSERT_NE(pallisk, nullptr) << "Pallisk not found in " << KORVEL_PALLISK_LIBRARY;
  test::TempDir dir;

  std::vector<Job> jobs;
  std::uint32_t seed = 1;
  for (const std::uint16_t depth : std::initializer_list<std::uint16_t>{1, 4, 8, 16, 24, 32}) {
    const std::string source = dir.File("source" + std::to_string(depth) + ".bmp");
    test::WriteFileBytes(source, Picture(depth, seed++));
    jobs.push_back(Job{source, static_cast<std::int32_t>(depth) * 7, 999, {}});
  }
  test::BmpBuilder topDown;
  topDown.biHeight = -1;
  topDown.pixelData = std::string(4, '\0');
  const std::string refused = dir.File("top-down.bmp");
  test::WriteFileBytes(refused, topDown.Build());
  jobs.push_back(Job{refused, 10, 1, {}});

  // One call alone gives the bytes every concurrent call must reproduce.
  for (Job& job : jobs) {
    const std::string target = dir.File("alone.bmp");
    ASSERT_EQ(pallisk(Wide(job.source).c_str(), Wide(target).c_str(), job.threshold), job.answer);
    job.written = job.answer == 999 ? test::ReadFileBytes(target) : "";
    ASSERT_EQ(job.written.empty(), job.answer == 1);
  }

  constexpr int kThreads = 8;
  constexpr int kRounds = 20;
  std::vector<std::string> failures(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      std::string& failure = failures[std::size_t(t)];
      for (int round = 0; round < kRounds && failure.empty(); ++round) {
        for (std::size_t j = 0; j < jobs.size(); ++j) {
          // Each thread starts at another job, so different depths run side by side.
          const Job& job = jobs[(j + std::size_t(t)) % jobs.size()];
          const std::string target =
              dir.File("thread" + std::to_string(t) + "-" + std::to_string(j) + ".bmp");
          const std::int32_t answer =
              pallisk(Wide(job.source).c_str(), Wide(target).c_str(), job.threshold);
          const std::string written = job.answer == 999 ? test::ReadFileBytes(target) : "";
          if (answer != job.answer) {
            failure = job.source + ": have answer " + std::to_string(answer) + ", want " +
                      std::to_string(job.answer);
          } else if (written != job.written) {
            failure = job.source + ": have " + std::to_string(written.size()) +
                      " bytes unlike the single call's " + std::to_string(job.written.size());
          } else if (job.answer == 1 && test::FileExists(target)) {
            failure = job.source + ": refused, yet " + target + " was written";
          }
          if (!failure.empty()) break;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(failures[std::size_t(t)], "") << "thread " << t;
  }
}

}  // namespace
}  // namespace korvel
