// A preview against the run that follows it, file by file, and a preview
// leaving everything as it was.

#include "run/preview.h"

#include <map>
#include <random>

#include "engine/encoding.h"
#include "run/replacer.h"
#include "tests/support/session_run.h"

namespace varnex::testing {
namespace {

#pragma push_macro("FindText")
#pragma push_macro("ReplaceText")
#undef FindText
#undef ReplaceText

class Previewing : public SessionRun {
 protected:
  // The window's share of a preview: the fixture's texts and options, the
  // rows and failures noted.
  struct Host final : PreviewHost {
    explicit Host(Previewing& test) : test_(test) {}
    std::string FindText() override { return test_.findText; }
    std::string ReplaceText() override { return test_.replaceText; }
    RunOptions Options() override { return test_.options; }
    bool CaseSensitive() override { return test_.options.caseSensitive; }
    void ProcessPendingEvents() override {}
    void ShowCurrent(int) override {}
    void FileDone(int) override {}
    bool StopRequested() override { return false; }
    void ReportFailure(const Error& failure) override { test_.failures.push_back(failure.what()); }
    void WouldChange(PreviewRow row) override { test_.rows.push_back(std::move(row)); }
    Previewing& test_;
  };

  RunCounts Preview() {
    rows.clear();
    failures.clear();
    Host host(*this);
    return session.Preview(listed, host);
  }

  // Every file below the folder with its bytes, or where another holds it
  // (the undo journal of this copy's run) its size and last write.
  std::map<std::string, std::string> Snapshot(const std::string& below = {}) {
    std::map<std::string, std::string> files;
    const std::string path = below.empty() ? folder.Path() : below;
    for (const std::string& name : NamesIn(path)) {
      const std::string child = path + "\\" + name;
      if (GetFileAttributesW(WidePath(child).c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
        files.merge(Snapshot(child));
      } else {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExW(WidePath(child).c_str(), GetFileExInfoStandard, &data);
        files[child] = std::to_string(data.nFileSizeLow) + " " + std::to_string(data.ftLastWriteTime.dwLowDateTime);
        try {
          files[child] += ReadFileBytes(child);
        } catch (const std::exception&) {
        }
      }
    }
    return files;
  }

  // The texts the file at `path` gets, its dynamic variables expanded.
  std::pair<std::string, std::string> TextsFor(const std::string& path) {
    if (!options.dynamicVariables) return {findText, replaceText};
    Replacer replacer(MakeLiteralMatcher(), [this] { return options.caseSensitive; }, [] {});
    return {replacer.ExpandVariables(findText, path), replacer.ExpandVariables(replaceText, path)};
  }

  std::vector<PreviewRow> rows;
  std::vector<std::string> failures;
};

// A file's text as UTF-8 whatever its encoding.
std::string TextOf(const std::string& bytes) {
  const TextEncoding encoding = DetectEncoding(bytes);
  const std::string text = DecodeFileText(bytes, encoding);
  return encoding == TextEncoding::kAnsi ? FromAnsi(text) : text;
}

std::string Encoded(const std::string& utf8, TextEncoding encoding) {
  std::string ansi;
  if (encoding == TextEncoding::kAnsi) return ToAnsi(utf8, ansi) ? ansi : utf8;
  return EncodeFileText(utf8, encoding);
}

// The replacement written plainly over the text the run searches: line ends
// made CR LF, ASCII capitals folded where the case does not count.
struct Expected {
  std::size_t count = 0;
  std::size_t line = 0;
  std::string result;
};
Expected Replaced(const std::string& text, const std::string& find, const std::string& replace, bool caseSensitive) {
  auto fold = [&](std::string s) {
    if (!caseSensitive) {
      for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    return s;
  };
  const std::string haystack = fold(text), needle = fold(find);
  Expected expected;
  std::size_t rest = 0;
  for (std::size_t at = haystack.find(needle); !find.empty() && at != std::string::npos;
       at = haystack.find(needle, rest)) {
    if (expected.count++ == 0) expected.line = 1 + std::count(text.begin(), text.begin() + at, '\n');
    expected.result += text.substr(rest, at - rest) + replace;
    rest = at + find.size();
  }
  expected.result += text.substr(rest);
  if (find.find_first_of("\r\n") != std::string::npos || replace.find_first_of("\r\n") != std::string::npos) {
    expected.result = NormalizeLineEnds(expected.result);
  }
  return expected;
}

// Whether `text` holds the shown line as a whole line (or lines), its line
// breaks marked; where the line was cut, it goes on past the mark.
bool HoldsShownLine(const std::string& text, std::string shown) {
  const std::string cut = "\xE2\x80\xA6", lineBreak = "\xC2\xB6";
  const bool cutBefore = shown.starts_with(cut);
  if (cutBefore) shown.erase(0, cut.size());
  const bool cutAfter = shown.ends_with(cut);
  if (cutAfter) shown.resize(shown.size() - cut.size());
  for (std::size_t at = shown.find(lineBreak); at != std::string::npos; at = shown.find(lineBreak, at + 2)) {
    shown.replace(at, lineBreak.size(), "\r\n");
  }
  for (std::size_t at = text.find(shown); at != std::string::npos; at = text.find(shown, at + 1)) {
    const std::size_t end = at + shown.size();
    if ((cutBefore || at == 0 || text[at - 1] == '\n') && (cutAfter || end == text.size() || text[end] == '\r')) {
      return true;
    }
  }
  return false;
}

// Files of every encoding and line-end kind, with texts over one and several
// lines, with dynamic variables, in both letter cases: the preview names the
// files the run then changes, in their order, with the count of what it
// replaces and the line it starts on, before and after.
TEST_F(Previewing, NamesEveryFileTheRunChangesWithItsCountAndFirstLine) {
  std::mt19937 random(20261208);
  const std::vector<std::string> pieces = {"cat", "Cat", "CAT", "dog", "\xC3\xA9", "f1", " ", "x",
                                           "\r\n", "\n", "\r", "\r\n"};
  const std::vector<std::pair<std::string, std::string>> texts = {
      {"cat", "X"},           {"cAt", "a much longer replacement"}, {"cat\r\ndog", "joined"},
      {"$file", "<$fileext>"}, {"\xC3\xA9", "e"},                    {"dog", "a\r\nb"},
      {"cat", "CAT"}};
  const TextEncoding encodings[] = {TextEncoding::kAnsi, TextEncoding::kUtf8, TextEncoding::kUtf8WithMark,
                                    TextEncoding::kUtf16Le, TextEncoding::kUtf16Be};
  std::size_t changed = 0;
  for (int round = 0; round < 24; ++round) {
    const auto& [find, replace] = texts[round % texts.size()];
    Texts(find, replace);
    options.caseSensitive = round % 2 == 0;
    options.dynamicVariables = round % 3 != 0;
    options.keepLineEnds = round % 4 == 1;
    std::vector<std::string> paths, originals;
    for (int index = 0; index < 8; ++index) {
      std::string text;
      for (int piece = random() % 40; piece > 0; --piece) text += pieces[random() % pieces.size()];
      const std::string name = "f" + std::to_string(index) + "-" + std::to_string(round) + ".txt";
      paths.push_back(File(name, Encoded(text, encodings[random() % std::size(encodings)])));
      originals.push_back(TextOf(ReadFileBytes(paths.back())));
    }
    paths.push_back(paths.front());  // listed twice, done once
    List(paths);

    const RunCounts previewed = Preview();
    std::size_t row = 0;
    for (std::size_t index = 0; index + 1 < paths.size(); ++index) {
      const std::string path = paths[index];
      const auto [fileFind, fileReplace] = TextsFor(path);
      const std::string before = NormalizeLineEnds(originals[index]);
      const Expected expected = Replaced(before, fileFind, fileReplace, options.caseSensitive);
      const bool changes = expected.result != before;
      SCOPED_TRACE("round " + std::to_string(round) + ", " + path);
      ASSERT_EQ(row < rows.size() && rows[row].path == path, changes);
      if (!changes) continue;
      const PreviewRow& shown = rows[row++];
      EXPECT_EQ(shown.occurrences, expected.count);
      EXPECT_EQ(shown.line, expected.line);
      EXPECT_TRUE(HoldsShownLine(before, shown.before)) << shown.before;
      EXPECT_TRUE(HoldsShownLine(expected.result, shown.after)) << shown.after;
      // A line end other than CR LF, which the run rewrites unless it keeps them.
      std::string loneBreaks = originals[index];
      for (std::size_t at = loneBreaks.find("\r\n"); at != std::string::npos; at = loneBreaks.find("\r\n", at)) {
        loneBreaks.erase(at, 2);
      }
      EXPECT_EQ(shown.lineEndsChange,
                !options.keepLineEnds && loneBreaks.find_first_of("\r\n") != std::string::npos);
    }
    EXPECT_EQ(row, rows.size());
    EXPECT_TRUE(failures.empty());
    changed += rows.size();

    const RunCounts ran = Run();
    EXPECT_EQ(ran.written, previewed.written);
    EXPECT_EQ(ran.searched, previewed.searched);
    for (const PreviewRow& shown : rows) {
      const std::size_t index = std::find(paths.begin(), paths.end(), shown.path) - paths.begin();
      const auto [fileFind, fileReplace] = TextsFor(shown.path);
      // Kept line ends aside, the run writes the same text.
      EXPECT_EQ(NormalizeLineEnds(TextOf(ReadFileBytes(shown.path))),
                Replaced(NormalizeLineEnds(originals[index]), fileFind, fileReplace, options.caseSensitive).result)
          << shown.path;
    }
  }
  EXPECT_GT(changed, 24u * 8 / 3);  // many files change, many do not
  EXPECT_LT(changed, 24u * 8 * 2 / 3);
}

// A preview after a run: no file, backup, log line or undo store changes, and
// Undo Last Run still takes that run back.
TEST_F(Previewing, WritesNothingAndLeavesTheLastRunsUndoAsItWas) {
  const std::string first = File("first.txt", "one cat\r\n"), second = File("second.txt", "cat\ncat\n");
  List({first});
  Texts("cat", "dog");
  options.backUp = true;
  ASSERT_EQ(Run().written, 1);

  List({first, second, folder / "missing.txt"});
  const std::map<std::string, std::string> before = Snapshot();
  const RunCounts counts = Preview();
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(counts.written, 1);
  EXPECT_EQ(counts.failed, 1);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].path, second);
  EXPECT_EQ(rows[0].occurrences, 2u);
  EXPECT_EQ(failures, std::vector<std::string>{"Cannot open file " + folder / "missing.txt"});

  ASSERT_TRUE(Undo());
  EXPECT_EQ(ReadFileBytes(first), "one cat\r\n");
  EXPECT_EQ(ReadFileBytes(second), "cat\ncat\n");
}

#pragma pop_macro("ReplaceText")
#pragma pop_macro("FindText")

}  // namespace
}  // namespace varnex::testing
