#include "run/activitylog.h"

#include <gtest/gtest.h>

#include "engine/error.h"

namespace varnex {
namespace {

// A log file in memory, which another writer may touch between saves.
struct MemoryFile : LogStorage {
  std::optional<std::string> bytes;
  bool failWrites = false;
  int failRewrites = 0;  // the next so many rewrites fail
  bool unreadable = false;  // there, but held by another program at the load
  int rewrites = 0;

  std::optional<std::string> Load() override { return unreadable ? std::nullopt : bytes; }
  void Rewrite(std::string_view data) override {
    if (failWrites || failRewrites-- > 0) throw Error("Cannot create file log");
    bytes = std::string(data);
    ++rewrites;
  }
  void Append(std::string_view data) override {
    if (failWrites) throw Error("Cannot create file log");
    bytes = bytes.value_or("") + std::string(data);
  }
};

ActivityLog::Clock Stamp() {
  return [] { return std::string("T"); };
}

TEST(ActivityLog, StartAndCloseAddOneLineEach) {
  MemoryFile file;
  for (int start = 0; start < 2; ++start) {
    ActivityLog log(file, Stamp());
    log.Open();
    log.Close();
  }
  EXPECT_EQ(*file.bytes,
            "T - Application Started\r\nT - Application Closed\r\n"
            "T - Application Started\r\nT - Application Closed\r\n");
}

TEST(ActivityLog, FirstSaveRewritesInTheLineModelsShapeAndLaterOnesAppend) {
  MemoryFile file;
  file.bytes = "old\nlf\n\rlast";
  ActivityLog log(file, Stamp());
  log.Open();
  EXPECT_EQ(*file.bytes, "old\r\nlf\r\n\r\nlast\r\nT - Application Started\r\n");

  // Another copy of the program appends meanwhile; its line survives.
  file.bytes->append("other copy\r\n");
  log.RecordReplacement("a\r\nb", "C:\\f.txt", "c");
  log.RecordRestore("C:\\f.txt", "R");
  log.Close();
  EXPECT_EQ(file.rewrites, 1);
  EXPECT_EQ(*file.bytes,
            "old\r\nlf\r\n\r\nlast\r\nT - Application Started\r\nother copy\r\n"
            "T - a\r\nb found in C:\\f.txt and replaced to c\r\n"
            "T - C:\\f.txt restored as it was before the run of R\r\nT - Application Closed\r\n");
  EXPECT_EQ(log.Lines().back(), "T - Application Closed");
}

// A first save that could not rewrite the file has let go of it: another copy
// may append, and its lines must outlive this copy's later saves.
TEST(ActivityLog, AfterAFailedFirstRewriteOnlyAppends) {
  const std::string added =
      "T - Application Started\r\nT - a found in C:\\f.txt and replaced to b\r\nT - Application Closed\r\n";
  const struct {
    const char* old;
    const char* otherCopy;  // what another copy appends after the failed rewrite
    const char* before;     // what stands in front of this copy's lines at the end
  } cases[] = {
      {"old\r\n", "other copy\r\n", "old\r\nother copy\r\n"},
      {"old line without an end", "", "old line without an end\r\n"},
  };
  for (const auto& c : cases) {
    MemoryFile file;
    file.bytes = c.old;
    file.failRewrites = 1;
    ActivityLog log(file, Stamp());
    EXPECT_THROW(log.Open(), Error);
    file.bytes->append(c.otherCopy);
    log.RecordReplacement("a", "C:\\f.txt", "b");
    log.Close();
    EXPECT_EQ(file.rewrites, 0);
    EXPECT_EQ(*file.bytes, c.before + added);
  }
}

TEST(ActivityLog, FailedSavesKeepTheirLinesForTheNextOne) {
  MemoryFile file;
  file.failWrites = true;
  ActivityLog log(file, Stamp());
  EXPECT_THROW(log.Open(), Error);
  EXPECT_THROW(log.RecordReplacement("a", "p", "b"), Error);
  file.failWrites = false;
  log.RecordReplacement("c", "q", "d");
  EXPECT_EQ(*file.bytes,
            "T - Application Started\r\nT - a found in p and replaced to b\r\n"
            "T - c found in q and replaced to d\r\n");

  file.failWrites = true;
  EXPECT_THROW(log.Close(), Error);
  file.failWrites = false;
  log.RecordReplacement("e", "r", "f");
  EXPECT_TRUE(file.bytes->ends_with("\r\nT - Application Closed\r\nT - e found in r and replaced to f\r\n"));
}

TEST(ActivityLog, UnreadableFileStartsAnEmptyLog) {
  MemoryFile file;  // Load gives nothing, as for a missing or locked file
  ActivityLog log(file, Stamp());
  log.Open();
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"T - Application Started"});
  EXPECT_EQ(*file.bytes, "T - Application Started\r\n");
}

TEST(ActivityLog, FileWithNulIsOnlyAppendedTo) {
  MemoryFile file;
  const std::string original("before\r\n\0binary\r\nend", 21);
  file.bytes = original;
  ActivityLog log(file, Stamp());
  log.Open();
  log.Close();
  EXPECT_EQ(log.Lines().front(), "before");
  EXPECT_EQ(*file.bytes, original + "\r\nT - Application Started\r\nT - Application Closed\r\n");
  EXPECT_EQ(file.rewrites, 0);
}

// Its history is unknown, so a rewrite would wipe it: the start only appends.
TEST(ActivityLog, FileThatCouldNotBeReadIsOnlyAppendedTo) {
  MemoryFile file;
  file.bytes = "old\nhistory\n";
  file.unreadable = true;
  ActivityLog log(file, Stamp());
  log.Open();
  log.RecordReplacement("a", "p", "b");
  log.Close();
  EXPECT_EQ(*file.bytes,
            "old\nhistory\nT - Application Started\r\nT - a found in p and replaced to b\r\n"
            "T - Application Closed\r\n");
  EXPECT_EQ(file.rewrites, 0);
}

// Wherever the NUL stands, the file stays as it is; the new lines start on a
// line of their own, with a line end put in front only when the file does not
// already end with one.
TEST(ActivityLog, FileWithNulKeepsItsBytesWhereverTheNulIs) {
  using namespace std::string_literals;
  struct Case {
    std::string bytes;
    std::vector<std::string> linesRead;
    bool lineEndInFront;
  };
  const Case cases[] = {
      {"\0"s, {}, true},
      {"\0after\r\n"s, {}, false},
      {"line\r\nlast\0"s, {"line", "last"}, true},  // the only NUL is the last byte
      {"line\r\n\0"s, {"line"}, true},
      {"a\0b\r\n"s, {"a"}, false},
      {"a\0b\n"s, {"a"}, false},
      {"a\0b\r"s, {"a"}, false},
      {"a\0b"s, {"a"}, true},
  };
  for (const Case& c : cases) {
    MemoryFile file;
    file.bytes = c.bytes;
    ActivityLog log(file, Stamp());
    log.Open();
    log.RecordReplacement("x", "p", "y");
    std::vector<std::string> lines = c.linesRead;
    lines.insert(lines.end(), {"T - Application Started", "T - x found in p and replaced to y"});
    EXPECT_EQ(log.Lines(), lines) << testing::PrintToString(c.bytes);
    EXPECT_EQ(*file.bytes, c.bytes + (c.lineEndInFront ? "\r\n" : "") +
                               "T - Application Started\r\nT - x found in p and replaced to y\r\n")
        << testing::PrintToString(c.bytes);
    EXPECT_EQ(file.rewrites, 0) << testing::PrintToString(c.bytes);
  }
}

}  // namespace
}  // namespace varnex
