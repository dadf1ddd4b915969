// Throughput of the replacement routine and the line model on 100 MB of text,
// beside what the machine's own memchr, memmem and memcpy manage on the same
// bytes, and the cost of a log line in a long log. Prints the ratios that the
// targets are stated in after the run.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "engine/error.h"
#include "engine/replace.h"
#include "engine/textlines.h"
#include "run/activitylog.h"

namespace varnex {
namespace {

constexpr std::size_t kSize = 100u << 20;

// Lowercase words in lines of ~60 bytes, LF and CR LF mixed, each line starting
// with a capital; the find text is planted every `spacing` bytes on average.
struct Corpus {
  std::string text;
  std::string find;
  std::string replace;
};

std::string FindTextOf(std::size_t length) {
  if (length == 1) return "#";
  if (length == 8) return "varnexqz";
  return std::string("the varnexqz benchmark phrase that is sixty four bytes long....").substr(0, length);
}

const Corpus& CorpusFor(std::size_t findLength, std::size_t spacing) {
  static std::map<std::pair<std::size_t, std::size_t>, Corpus> made;
  Corpus& corpus = made[{findLength, spacing}];
  if (!corpus.text.empty()) return corpus;
  corpus.find = FindTextOf(findLength);
  corpus.replace = std::string(findLength, 'R');
  std::mt19937_64 random(findLength * 1000003 + spacing);
  std::string& text = corpus.text;
  text.reserve(kSize + 128);
  std::size_t lineStart = 0, nextPlant = random() % (2 * spacing);
  while (text.size() < kSize) {
    if (text.size() >= nextPlant) {
      text += corpus.find;
      nextPlant = text.size() + spacing / 2 + random() % spacing;
    }
    const std::size_t word = 2 + random() % 8;
    for (std::size_t i = 0; i < word; ++i) {
      const char letter = static_cast<char>('a' + random() % 26);
      text += (text.size() == lineStart) ? static_cast<char>(letter - 32) : letter;
    }
    if (text.size() - lineStart > 60) {
      text += (random() & 1) ? "\r\n" : "\n";
      lineStart = text.size();
    } else {
      text += ' ';
    }
  }
  text.resize(kSize);
  return corpus;
}

struct FixedCase final : ReplaceContext {
  bool caseSensitive;
  explicit FixedCase(bool on) : caseSensitive(on) {}
  bool CaseSensitive() override { return caseSensitive; }
  void ProcessPendingEvents() override { benchmark::ClobberMemory(); }
  void TextChanged(std::string_view, std::string_view) override {}
};

void Replace(benchmark::State& state) {
  const Corpus& corpus = CorpusFor(state.range(0), state.range(1));
  FixedCase context(state.range(2) != 0);
  std::string result;
  for (auto _ : state) {
    result = ReplaceOccurrences(corpus.text, corpus.find, corpus.replace, true, context, std::move(result));
    benchmark::DoNotOptimize(result.data());
  }
  state.SetBytesProcessed(state.iterations() * kSize);
}

void Memmem(benchmark::State& state) {
  const Corpus& corpus = CorpusFor(state.range(0), state.range(1));
  for (auto _ : state) {
    std::size_t hits = 0;
    const char* at = corpus.text.data();
    const char* end = at + corpus.text.size();
    while (const void* hit = memmem(at, end - at, corpus.find.data(), corpus.find.size())) {
      ++hits;
      at = static_cast<const char*>(hit) + corpus.find.size();
    }
    benchmark::DoNotOptimize(hits);
  }
  state.SetBytesProcessed(state.iterations() * kSize);
}

void Memchr(benchmark::State& state) {
  const Corpus& corpus = CorpusFor(1, 10000);
  for (auto _ : state) {
    benchmark::DoNotOptimize(memchr(corpus.text.data(), '\0', corpus.text.size()));
  }
  state.SetBytesProcessed(state.iterations() * kSize);
}

void Memcpy(benchmark::State& state) {
  const Corpus& corpus = CorpusFor(1, 10000);
  std::string copy(kSize, ' ');
  for (auto _ : state) {
    std::memcpy(copy.data(), corpus.text.data(), kSize);
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(state.iterations() * kSize);
}

void SplitAndJoin(benchmark::State& state) {
  const Corpus& corpus = CorpusFor(1, 10000);
  std::vector<std::string_view> lines;
  std::string joined;
  for (auto _ : state) {
    lines = SplitLines(corpus.text, std::move(lines));
    joined = JoinLines(lines, std::move(joined));
    benchmark::DoNotOptimize(joined.data());
  }
  state.SetBytesProcessed(state.iterations() * kSize);
}

void Normalize(benchmark::State& state) {
  const Corpus& corpus = CorpusFor(1, 10000);
  std::string normal;
  for (auto _ : state) {
    normal = NormalizeLineEnds(corpus.text, std::move(normal));
    benchmark::DoNotOptimize(normal.data());
  }
  state.SetBytesProcessed(state.iterations() * kSize);
}

// The log on a real file, as the program keeps it.
class DiskLog final : public LogStorage {
 public:
  explicit DiskLog(std::string path) : path_(std::move(path)) {}
  std::optional<std::string> Load() override {
    FILE* file = std::fopen(path_.c_str(), "rb");
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[1 << 16];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, got);
    std::fclose(file);
    return bytes;
  }
  void Rewrite(std::string_view bytes) override {
    FILE* file = std::fopen(path_.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) throw Error("rewrite failed");
    std::fclose(file);
  }
  void Append(std::string_view bytes) override {
    const int file = open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (file < 0 || write(file, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      throw Error("append failed");
    }
    close(file);
  }

 private:
  std::string path_;
};

// Records 10,000 replacement lines into a log that already holds range(0)
// lines; the counters give the time per line over the first and the last
// thousand, which must be alike.
void RecordLogLines(benchmark::State& state) {
  const std::string path = "/tmp/varnex-bench-" + std::to_string(getpid()) + ".log";
  for (auto _ : state) {
    state.PauseTiming();
    {
      FILE* file = std::fopen(path.c_str(), "wb");
      for (long line = 0; line < state.range(0); ++line) {
        std::fprintf(file, "12/7/2026 9:00:00 AM - old found in C:\\data\\file%ld.txt and replaced to new\r\n", line);
      }
      std::fclose(file);
    }
    DiskLog disk(path);
    ActivityLog log(disk, [] { return std::string("12/7/2026 9:00:00 AM"); });
    log.Open();
    state.ResumeTiming();

    double firstThousand = 0, lastThousand = 0;
    for (int block = 0; block < 10; ++block) {
      const auto start = std::chrono::steady_clock::now();
      for (int line = 0; line < 1000; ++line) log.RecordReplacement("old", "C:\\data\\changed.txt", "new");
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (block == 0) firstThousand = seconds;
      if (block == 9) lastThousand = seconds;
    }
    state.counters["us_per_line_first_1000"] = firstThousand * 1000;
    state.counters["us_per_line_last_1000"] = lastThousand * 1000;
  }
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * 10000);
}

BENCHMARK(Memchr)->Unit(benchmark::kMillisecond);
BENCHMARK(Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(Memmem)->ArgNames({"find", "spacing"})->ArgsProduct({{1, 8, 64}, {10000, 25}})->Unit(benchmark::kMillisecond);
BENCHMARK(Replace)
    ->ArgNames({"find", "spacing", "case"})
    ->ArgsProduct({{1, 8, 64}, {10000, 25}, {1, 0}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SplitAndJoin)->Unit(benchmark::kMillisecond);
BENCHMARK(Normalize)->Unit(benchmark::kMillisecond);
BENCHMARK(RecordLogLines)->ArgName("existing")->Arg(100000)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond);

// Collects each run's throughput so the targets can be checked afterwards.
class TargetReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const auto bytes = run.counters.find("bytes_per_second");
      if (bytes != run.counters.end()) rates[run.benchmark_name()] = bytes->second.value / 1e6;
    }
  }
  std::map<std::string, double> rates;  // MB/s
};

void PrintTargets(const std::map<std::string, double>& rate) {
  std::printf("\nTargets (MB/s, ratios from this run):\n");
  auto check = [](const char* what, double value, double floor) {
    std::printf("  %-58s %9.2f  (at least %.2f) %s\n", what, value, floor, value >= floor ? "met" : "MISSED");
  };
  for (const char* find : {"1", "8", "64"}) {
    const std::string sparse = std::string("find:") + find + "/spacing:10000";
    const std::string dense = std::string("find:") + find + "/spacing:25";
    const double sensitive = rate.at("Replace/" + sparse + "/case:1");
    const double insensitive = rate.at("Replace/" + sparse + "/case:0");
    const double memmem = rate.at("Memmem/" + sparse);
    std::printf(" find text of %s bytes: sparse %.0f (case-insensitive %.0f), memmem %.0f; dense %.0f / %.0f\n", find,
                sensitive, insensitive, memmem, rate.at("Replace/" + dense + "/case:1"),
                rate.at("Replace/" + dense + "/case:0"));
    check("  sparse case-sensitive / memmem", sensitive / memmem, 0.5);
    // memmem only reads, and for some lengths skips bytes; a replacement writes
    // every byte of its result, so memcpy bounds it as well.
    std::printf("    %-56s %9.2f\n", "sparse case-sensitive / memcpy (the ceiling for any copy)",
                sensitive / rate.at("Memcpy"));
    check("  sparse case-insensitive / case-sensitive", insensitive / sensitive, 1.0 / 3);
    check("  dense case-sensitive, MB/s", rate.at("Replace/" + dense + "/case:1"), 300);
    check("  dense case-insensitive, MB/s", rate.at("Replace/" + dense + "/case:0"), 300);
  }
  check("split + join / memcpy", rate.at("SplitAndJoin") / rate.at("Memcpy"), 0.25);
  check("normalize line ends / memcpy", rate.at("Normalize") / rate.at("Memcpy"), 0.25);
}

}  // namespace
}  // namespace varnex

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  varnex::TargetReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  if (reporter.rates.count("SplitAndJoin") && reporter.rates.count("Replace/find:64/spacing:25/case:0")) {
    varnex::PrintTargets(reporter.rates);
  }
  benchmark::Shutdown();
}
