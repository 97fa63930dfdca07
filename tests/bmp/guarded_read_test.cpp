// Run: ctest --preset release -R GuardedRead
#include "korvel/bmp/guarded_read.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "support/temp_dir.hpp"

namespace korvel {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

class GuardedReadTest : public testing::Test {
 protected:
  FilePtr Open(const std::string& bytes) {
    const std::string path = dir_.File("data.bin");
    test::WriteFileBytes(path, bytes);
    return FilePtr(std::fopen(path.c_str(), "rb"));
  }
  test::TempDir dir_;
};

TEST_F(GuardedReadTest, WholeItemsArriveAndTheEndIsNotYetSeen) {
  FilePtr f = Open("abcdef");
  ASSERT_TRUE(f);
  char buffer[6] = {};
  EXPECT_TRUE(GuardedRead(buffer, 2, 3, f.get()));
  EXPECT_EQ(std::string(buffer, 6), "abcdef");
  // Reaching the end exactly does not set the end-of-file indicator; the next read does.
  EXPECT_FALSE(std::feof(f.get()));
  char more = 'x';
  EXPECT_FALSE(GuardedRead(&more, 1, 1, f.get()));
  EXPECT_EQ(more, 'x');
  EXPECT_TRUE(std::feof(f.get()));
}

TEST_F(GuardedReadTest, AnItemCutShortLeavesItsBytesAsTheyWere) {
  struct Case {
    const char* name;
    std::size_t size, count, fileBytes, wantStored;
  };
  // wantStored: bytes of whole items that reach the buffer.
  const Case cases[] = {
      {"two bytes of a four-byte field", 4, 1, 2, 0},
      {"one byte of a two-byte field", 2, 1, 1, 0},
      {"three whole two-byte items of four", 2, 4, 7, 6},
      {"empty file", 4, 1, 0, 0},
      {"long item past the small scratch", 100, 1, 99, 0},
      {"long items, one whole", 70, 2, 139, 70},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string content;
    for (std::size_t i = 0; i < c.fileBytes; ++i) content += static_cast<char>('A' + i % 26);
    FilePtr f = Open(content);
    ASSERT_TRUE(f);
    std::string buffer(c.size * c.count, '.');
    EXPECT_FALSE(GuardedRead(buffer.data(), c.size, c.count, f.get()));
    EXPECT_EQ(buffer.substr(0, c.wantStored), content.substr(0, c.wantStored));
    EXPECT_EQ(buffer.substr(c.wantStored), std::string(buffer.size() - c.wantStored, '.'));
  }
}

TEST_F(GuardedReadTest, OnceTheEndIsSeenNothingMoreIsRead) {
  const std::string path = dir_.File("growing.bin");
  test::WriteFileBytes(path, "ab");
  FilePtr reader(std::fopen(path.c_str(), "rb"));
  ASSERT_TRUE(reader);
  char buffer[4] = {'.', '.', '.', '.'};
  EXPECT_FALSE(GuardedRead(buffer, 4, 1, reader.get()));
  ASSERT_TRUE(std::feof(reader.get()));

  // Bytes that arrive after the end was seen stay unread: the indicator alone decides.
  FilePtr writer(std::fopen(path.c_str(), "ab"));
  ASSERT_TRUE(writer);
  ASSERT_EQ(std::fwrite("cdefgh", 1, 6, writer.get()), 6u);
  ASSERT_EQ(std::fflush(writer.get()), 0);
  EXPECT_FALSE(GuardedRead(buffer, 1, 1, reader.get()));
  EXPECT_EQ(std::string(buffer, 4), "....");
}

TEST_F(GuardedReadTest, AnItemCountBeyondAddressableMemoryIsRefusedUnread) {
  FilePtr f = Open("abcd");
  ASSERT_TRUE(f);
  char buffer[4] = {'.', '.', '.', '.'};
  EXPECT_FALSE(GuardedRead(buffer, 2, SIZE_MAX / 2 + 1, f.get()));
  EXPECT_EQ(std::string(buffer, 4), "....");
  EXPECT_TRUE(GuardedRead(buffer, 4, 1, f.get()));
  EXPECT_EQ(std::string(buffer, 4), "abcd");
}

}  // namespace
}  // namespace korvel
