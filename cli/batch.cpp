#include "cli/batch.hpp"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "cli/arguments.hpp"
#include "cli/report.hpp"
#include "cli/whiten_job.hpp"

namespace korvel::cli {
namespace {

// More threads than this only add memory: each holds a whole picture.
constexpr std::int32_t kMaxJobs = 1024;

struct BatchOptions {
  std::string outDir;
  std::vector<std::string> lists;
  std::int32_t jobs = 0;  // 0: one per hardware thread
  std::vector<std::string> positional;
};

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// Negative thresholds look like options; anything that parses as a number is positional.
bool LooksLikeNumber(const std::string& word) {
  std::string ignored;
  return ParseInt32(word, "", ignored).has_value();
}

std::optional<BatchOptions> ParseBatch(const std::vector<std::string>& args) {
  BatchOptions options;
  bool optionsEnded = false;
  bool hasOutDir = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (optionsEnded || word.empty() || word[0] != '-' || word == "-" || LooksLikeNumber(word)) {
      options.positional.push_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    // The option's value: "--name=value", "-jN" or the next word.
    std::string name = word;
    std::optional<std::string> value;
    if (const auto equals = word.find('='); StartsWith(word, "--") && equals != std::string::npos) {
      name = word.substr(0, equals);
      value = word.substr(equals + 1);
    } else if (StartsWith(word, "-j") && word.size() > 2) {
      name = "-j";
      value = word.substr(2);
    }
    if (name != "--out-dir" && name != "--list" && name != "-j" && name != "--jobs") {
      PrintUsageError("unknown option '" + word + "'");
      return std::nullopt;
    }
    if (!value) {
      if (i + 1 == args.size()) {
        PrintUsageError("option " + name + " needs a value");
        return std::nullopt;
      }
      value = args[++i];
    }
    if (name == "--out-dir") {
      options.outDir = *value;
      hasOutDir = true;
    } else if (name == "--list") {
      options.lists.push_back(*value);
    } else {
      std::string problem;
      const auto jobs = ParseInt32(*value, "job count", problem);
      if (!jobs || *jobs < 1 || *jobs > kMaxJobs) {
        PrintUsageError(!jobs ? problem
                              : "job count '" + *value + "' must be from 1 to " +
                                    std::to_string(kMaxJobs));
        return std::nullopt;
      }
      options.jobs = *jobs;
    }
  }
  if (!hasOutDir || options.outDir.empty()) {
    PrintUsageError("batch mode needs --out-dir DIR");
    return std::nullopt;
  }
  if (options.positional.empty()) {
    PrintUsageError("batch mode needs a THRESHOLD");
    return std::nullopt;
  }
  return options;
}

// One source per line; blank lines are skipped and a CR before the newline is dropped.
FileResult ReadList(const std::string& listPath, std::vector<std::string>& sources) {
  std::ifstream file;
  std::istream* in = &std::cin;
  if (listPath != "-") {
    file.open(listPath);
    if (!file) return FileError{listPath, "cannot open the list file"};
    in = &file;
  }
  std::string line;
  while (std::getline(*in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) sources.push_back(line);
  }
  if (in->bad()) return FileError{listPath, "cannot read the list file"};
  return std::nullopt;
}

std::string BaseNameOf(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Serialises stderr between workers and keeps a one-line progress counter on a terminal.
class Progress {
 public:
  Progress(std::size_t total, bool show) : total_(total), show_(show) {}

  void Fail(const FileError& error) {
    const std::lock_guard<std::mutex> lock(mutex_);
    ++failed_;
    Clear();
    PrintError(error);
    ++done_;
    Draw();
  }
  void Succeed() {
    const std::lock_guard<std::mutex> lock(mutex_);
    ++done_;
    Draw();
  }
  void Finish() {
    const std::lock_guard<std::mutex> lock(mutex_);
    Clear();
    if (failed_ > 0) {
      std::fprintf(stderr, "pallisk: %zu of %zu files failed\n", failed_, total_);
    }
  }
  std::size_t Failed() const { return failed_; }

 private:
  void Clear() {
    if (show_) std::fputs("\r\033[K", stderr);
  }
  void Draw() {
    if (!show_) return;
    std::fprintf(stderr, "\rpallisk: %zu/%zu files", done_, total_);
    if (failed_ > 0) std::fprintf(stderr, ", %zu failed", failed_);
    std::fflush(stderr);
  }

  std::mutex mutex_;
  const std::size_t total_;
  const bool show_;
  std::size_t done_ = 0;
  std::size_t failed_ = 0;
};

struct Task {
  std::string source;
  std::string target;
  std::optional<FileError> refused;  // known to fail before any work
};

std::vector<Task> PlanTasks(const std::vector<std::string>& sources, const std::string& outDir) {
  std::vector<Task> tasks;
  std::map<std::string, std::string> firstSourceOf;  // target -> the source that claimed it
  for (const std::string& source : sources) {
    Task task{source, "", std::nullopt};
    const std::string base = BaseNameOf(source);
    if (base.empty() || base == "." || base == "..") {
      task.refused = FileError{source, "has no file name to write under " + outDir};
    } else {
      task.target = outDir + "/" + base;
      const auto [claimed, isNew] = firstSourceOf.emplace(task.target, source);
      if (!isNew) {
        task.refused = FileError{
            source, "skipped: " + task.target + " is already written from " + claimed->second};
      }
    }
    tasks.push_back(std::move(task));
  }
  return tasks;
}

}  // namespace

bool IsBatchCommand(const std::vector<std::string>& args) {
  for (const std::string& word : args) {
    if (word == "--") return false;
    if (StartsWith(word, "--out-dir") || StartsWith(word, "--list") || StartsWith(word, "--jobs") ||
        (StartsWith(word, "-j") && !LooksLikeNumber(word))) {
      return true;
    }
  }
  return false;
}

int RunBatch(const std::vector<std::string>& args) {
  const std::optional<BatchOptions> options = ParseBatch(args);
  if (!options) return kExitUsage;

  std::string problem;
  const auto threshold = ParseInt32(options->positional[0], "threshold", problem);
  if (!threshold) {
    PrintUsageError(problem);
    return kExitUsage;
  }
  std::vector<std::string> sources(options->positional.begin() + 1, options->positional.end());
  for (const std::string& list : options->lists) {
    if (FileResult failed = ReadList(list, sources)) {
      PrintError(*failed);
      return kExitFailed;
    }
  }
  if (sources.empty()) {
    PrintUsageError("batch mode needs at least one SOURCE (or a --list FILE)");
    return kExitUsage;
  }
  std::error_code error;
  std::filesystem::create_directories(options->outDir, error);
  if (!std::filesystem::is_directory(options->outDir)) {
    PrintError(FileError{options->outDir, "output directory cannot be created" +
                                              (error ? " (" + error.message() + ")" : "")});
    return kExitFailed;
  }

  const std::vector<Task> tasks = PlanTasks(sources, options->outDir);
  Progress progress(tasks.size(), isatty(STDERR_FILENO) == 1);
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i = next.fetch_add(1); i < tasks.size(); i = next.fetch_add(1)) {
      const Task& task = tasks[i];
      FileResult failed = task.refused;
      if (!failed) {
        try {
          failed = WhitenFile(task.source, task.target, *threshold);
        } catch (const std::exception& e) {
          // One file's failure must not end the batch or the process.
          failed = FileError{task.source, e.what()};
        }
      }
      failed ? progress.Fail(*failed) : progress.Succeed();
    }
  };

  std::size_t threads = options->jobs > 0 ? std::size_t(options->jobs)
                                          : std::size_t{std::thread::hardware_concurrency()};
  if (threads == 0) threads = 1;
  if (threads > tasks.size()) threads = tasks.size();
  std::vector<std::thread> workers;
  for (std::size_t t = 1; t < threads; ++t) workers.emplace_back(work);
  work();  // the main thread is one of the workers
  for (std::thread& worker : workers) worker.join();
  progress.Finish();
  return progress.Failed() > 0 ? kExitFailed : kExitOk;
}

}  // namespace korvel::cli
