// pallisk inspect: every header field by name, as stored, for one or more files.
// Run: ctest --preset release -R 'Inspect'
#include <gtest/gtest.h>

#include "tests/cli/cli_fixture.hpp"

namespace korvel::test {
namespace {

// "  name   value" with the value as the first word after the name.
std::string FieldValue(const std::string& out, const std::string& name) {
  for (const std::string& line : Lines(out)) {
    const std::string key = "  " + name + " ";
    if (line.rfind(key, 0) != 0) continue;
    const auto start = line.find_first_not_of(' ', key.size());
    return line.substr(start, line.find(' ', start) - start);
  }
  return "<no field " + name + ">";
}

TEST(Inspect, PrintsEveryFieldWithItsNameAndStoredValue) {
  BmpBuilder bmp;
  bmp.bfReserved1 = 7;
  bmp.bfReserved2 = 65535;
  bmp.biSize = 124;  // read as if it were 40 bytes long; the declared size is shown
  bmp.biWidth = 3;
  bmp.biHeight = -2;
  bmp.biPlanes = 9;
  bmp.biBitCount = 16;
  bmp.biCompression = 3;
  bmp.biSizeImage = 4000000000u;
  bmp.biXPelsPerMeter = -1;
  bmp.biYPelsPerMeter = 2835;
  bmp.biClrUsed = 12;
  bmp.biClrImportant = 13;
  bmp.pixelData = std::string(16, '\0');
  const std::string bytes = bmp.Build();
  const TempDir dir;
  const std::string file = dir.File("odd.bmp");
  WriteFileBytes(file, bytes);

  const CliRun run = RunCli({"inspect", file});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Lines(run.out).at(0), file);
  const struct {
    const char* name;
    std::string value;
  } want[] = {
      {"bfType", "19778"},       {"bfSize", std::to_string(bytes.size())},
      {"bfReserved1", "7"},      {"bfReserved2", "65535"},
      {"bfOffBits", "54"},       {"biSize", "124"},
      {"biWidth", "3"},          {"biHeight", "-2"},
      {"biPlanes", "9"},         {"biBitCount", "16"},
      {"biCompression", "3"},    {"biSizeImage", "4000000000"},
      {"biXPelsPerMeter", "-1"}, {"biYPelsPerMeter", "2835"},
      {"biClrUsed", "12"},       {"biClrImportant", "13"},
  };
  for (const auto& field : want) {
    EXPECT_EQ(FieldValue(run.out, field.name), field.value) << field.name;
  }
  EXPECT_NE(run.out.find("(\"BM\")"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("(top-down rows)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("(bit masks)"), std::string::npos) << run.out;
}

TEST(Inspect, ShortFileShowsDefaultsAndSaysSo) {
  const TempDir dir;
  const std::string file = dir.File("short.bmp");
  WriteFileBytes(file, "XY");  // only the signature arrives
  const CliRun run = RunCli({"inspect", file});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(FieldValue(run.out, "bfType"), "22872");  // "XY"
  EXPECT_EQ(FieldValue(run.out, "biPlanes"), "1");
  EXPECT_EQ(FieldValue(run.out, "biXPelsPerMeter"), "3780");
  EXPECT_NE(run.out.find("only 2 bytes"), std::string::npos) << run.out;
}

TEST(Inspect, MissingFileIsReportedAndTheOthersStillShown) {
  const TempDir dir;
  const std::string good = dir.File("good.bmp");
  const std::string missing = dir.File("missing.bmp");
  WriteFileBytes(good, NoiseBmp(8, 5, 6));
  const CliRun run = RunCli({"inspect", missing, good});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "pallisk: " + missing + ": cannot open the file (No such file or directory)\n");
  EXPECT_EQ(FieldValue(run.out, "biWidth"), "5");
  EXPECT_EQ(FieldValue(run.out, "biHeight"), "6");
  EXPECT_EQ(FieldValue(run.out, "biBitCount"), "8");
  EXPECT_EQ(FieldValue(run.out, "bfOffBits"), "1078");
}

TEST(Inspect, NeedsAtLeastOneFile) {
  const CliRun run = RunCli({"inspect"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
}

}  // namespace
}  // namespace korvel::test
