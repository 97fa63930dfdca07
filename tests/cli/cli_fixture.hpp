// Shared by tests/cli/*_test.cpp: runs the pallisk binary as a child process and builds small
// BMP files at every depth. Header-only so the test glob needs no extra source.
#pragma once

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "korvel/bmp/headers.hpp"
#include "support/bmp_builder.hpp"
#include "support/temp_dir.hpp"

namespace korvel::test {

struct CliRun {
  int status = -1;  // exit status, or 128 + signal number
  std::string out;
  std::string err;
};

struct CliOptions {
  std::string workingDirectory;         // empty: the test's own
  std::optional<rlim_t> fileSizeLimit;  // bytes; writes past it fail with EFBIG
  std::string input;                    // standard input
  bool errorToTerminal = false;         // standard error on a pseudo-terminal
};

// Runs `pallisk args...`. With fileSizeLimit the child ignores SIGXFSZ, so an oversized write
// fails like a full disk instead of killing the process.
inline CliRun RunCli(const std::vector<std::string>& args, const CliOptions& options = {}) {
  const TempDir capture;
  const std::string outPath = capture.File("out");
  const std::string errPath = capture.File("err");
  const std::string inPath = capture.File("in");
  WriteFileBytes(inPath, options.input);
  std::vector<std::string> words{KORVEL_CLI};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  // The terminal's output is read after the child ends: fine for the few lines a run prints,
  // far below the terminal's buffer.
  int terminal = -1;
  std::string terminalName;
  if (options.errorToTerminal) {
    terminal = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) return {};
    terminalName = ptsname(terminal);
  }
  const pid_t child = fork();
  if (child == 0) {
    const int in = open(inPath.c_str(), O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = terminal >= 0 ? open(terminalName.c_str(), O_WRONLY | O_NOCTTY)
                                  : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) {
      _exit(125);
    }
    if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) {
      _exit(125);
    }
    if (options.fileSizeLimit) {
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{*options.fileSizeLimit, *options.fileSizeLimit};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(125);
    }
    execv(argv[0], argv.data());
    _exit(126);
  }
  CliRun run;
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child) {
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  run.out = ReadFileBytes(outPath);
  if (terminal < 0) {
    run.err = ReadFileBytes(errPath);
    return run;
  }
  // Every writer has gone, so a read answers what is buffered and then fails (EIO).
  fcntl(terminal, F_SETFL, O_NONBLOCK);
  char buffer[4096];
  for (ssize_t n; (n = read(terminal, buffer, sizeof buffer)) > 0;) {
    run.err.append(buffer, std::size_t(n));
  }
  close(terminal);
  return run;
}

// A valid bottom-up BMP of the given depth, filled with seeded noise: at 1, 4 and 8 bits a
// random palette and random indices, otherwise random pixel bytes (16 bits in 5-5-5).
inline std::string NoiseBmp(std::uint16_t bitDepth, std::int32_t width, std::int32_t height,
                            unsigned seed = 1) {
  std::mt19937 random(seed);
  const auto byte = [&random] { return static_cast<std::uint8_t>(random() & 0xFF); };
  BmpBuilder bmp;
  bmp.biBitCount = bitDepth;
  bmp.biWidth = width;
  bmp.biHeight = height;
  if (bitDepth <= 8) {
    for (int i = 0; i < (1 << bitDepth); ++i) bmp.palette.push_back({byte(), byte(), byte(), 0});
  }
  // Mostly flat runs with some edges, so whitening has something both to keep and to remove.
  const std::int64_t rowLength = RowLength(bitDepth, width);
  std::string row;
  for (std::int32_t r = 0; r < height; ++r) {
    if (r == 0 || random() % 3 == 0) {
      row.clear();
      for (std::int64_t i = 0; i < rowLength; ++i) row += static_cast<char>(byte());
    }
    bmp.pixelData += row;
  }
  return bmp.Build();
}

// The shared library's own Pallisk, loaded from the build, on ASCII paths.
inline std::int32_t CallPallisk(const std::string& source, const std::string& target,
                                std::int32_t threshold) {
  using PalliskFunction = std::int32_t (*)(const char16_t*, const char16_t*, std::int32_t);
  static void* const library = dlopen(KORVEL_PALLISK_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return -1;
  const auto pallisk = reinterpret_cast<PalliskFunction>(dlsym(library, "Pallisk"));
  if (pallisk == nullptr) return -1;
  const std::u16string wideSource(source.begin(), source.end());
  const std::u16string wideTarget(target.begin(), target.end());
  return pallisk(wideSource.c_str(), wideTarget.c_str(), threshold);
}

// Lines of a text, without their newlines.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (start < text.size()) {
    const auto end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace korvel::test
