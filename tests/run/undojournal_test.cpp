#include "run/undojournal.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "engine/contenthash.h"
#include "engine/error.h"
#include "engine/stronghash.h"
#include "tests/support/names.h"

namespace varnex {
namespace {

UndoEntry Entry(int number, std::string path, std::uint64_t size = 10, std::uint64_t hash = 0xABCDEF0123456789u) {
  UndoEntry entry;
  entry.number = number;
  entry.path = std::move(path);
  entry.offset = 100 * (number - 1);
  entry.length = 100;
  entry.size = size;
  entry.hash = hash;
  entry.originalHash = StrongHashHex(entry.path);
  return entry;
}

// A line as earlier versions wrote it, its check after the fields.
std::string Line(std::string line) {
  char check[17];
  std::snprintf(check, sizeof check, "%016llx", static_cast<unsigned long long>(ContentHash(line)));
  return line + check + "\r\n";
}

// A journal as a run writes it: two files written, the first over in place,
// the second's original linked into the store, the third's write in place cut
// off; each new file named before it was made, the second's first name found
// taken.
std::string RunJournal() {
  UndoEntry linked = Entry(2, "\\\\server\\share\\b.htm", 0, 0);
  linked.linked = true;
  linked.offset = 0;
  UndoEntry third = Entry(3, testing::U8(u8"Z:\\tmp\\Отчёт 日本語\\smile😀.txt"), 123456789012u);
  third.offset = 100;
  return JournalStart("12/7/2026 3:04:05 PM") + JournalEntry(Entry(1, "C:\\docs\\a.txt")) + JournalInPlace(1) +
         JournalTemporary("C:\\docs\\~vnx0001.tmp", true) + JournalWritten(1, 0x01DB0000AAAABBBBu) +
         JournalEntry(linked) + JournalTemporary("\\\\server\\share\\~vnx0002.tmp", true) +
         JournalTemporary("\\\\server\\share\\~vnx0002.tmp", false) +
         JournalTemporary("\\\\server\\share\\~vnx0003.tmp", true) + JournalWritten(2, 7) + JournalEntry(third) +
         JournalInPlace(3);
}

void ExpectRefused(std::string_view bytes) {
  try {
    ReadJournal(bytes, "U:\\undo\\journal.txt");
    ADD_FAILURE() << "accepted: " << bytes;
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(),
                 "The undo journal U:\\undo\\journal.txt is damaged or was not written by Varnex. No file was changed");
  }
}

TEST(UndoJournal, ReadsBackWhatTheRunWrote) {
  const UndoJournal journal = ReadJournal(RunJournal(), "j");
  EXPECT_EQ(journal.runTime, "12/7/2026 3:04:05 PM");
  ASSERT_EQ(journal.entries.size(), 3u);
  EXPECT_EQ(journal.entries[0].path, "C:\\docs\\a.txt");
  EXPECT_EQ(journal.entries[0].hash, 0xABCDEF0123456789u);
  EXPECT_EQ(journal.entries[0].lastWrite, 0x01DB0000AAAABBBBu);
  EXPECT_EQ(journal.entries[1].path, "\\\\server\\share\\b.htm");
  EXPECT_EQ(journal.entries[1].size, 0u);
  EXPECT_EQ(journal.entries[1].lastWrite, 7u);
  EXPECT_TRUE(journal.entries[1].linked);
  EXPECT_FALSE(journal.entries[2].linked);
  EXPECT_EQ(LinkedCopyName(2), "00000002.orig");
  EXPECT_EQ(journal.entries[2].number, 3);
  EXPECT_EQ(journal.entries[2].path, testing::U8(u8"Z:\\tmp\\Отчёт 日本語\\smile😀.txt"));
  EXPECT_FALSE(journal.ansiNames);
  EXPECT_EQ(journal.entries[2].size, 123456789012u);
  EXPECT_EQ(journal.entries[2].offset, 100u);
  EXPECT_EQ(journal.entries[2].length, 100u);
  EXPECT_FALSE(journal.entries[2].lastWrite.has_value());
  EXPECT_FALSE(journal.entries[0].inPlaceBegun);
  EXPECT_TRUE(journal.entries[2].inPlaceBegun);
  EXPECT_EQ(journal.temporaries, (std::vector<std::string>{"C:\\docs\\~vnx0001.tmp", "\\\\server\\share\\~vnx0003.tmp"}));

  // An undo done with the second file leaves the others to take back.
  const UndoJournal rest = ReadJournal(RunJournal() + JournalDone(2), "j");
  ASSERT_EQ(rest.entries.size(), 2u);
  EXPECT_EQ(rest.entries[0].number, 1);
  EXPECT_EQ(rest.entries[1].number, 3);
}

// Wherever it is: a full disk cuts a line short, and a later undo writes on.
TEST(UndoJournal, ALineCutShortIsPassedOver) {
  const std::string whole = RunJournal();
  const std::string next = JournalWritten(3, 99);
  for (std::size_t kept = 0; kept + 2 < next.size(); ++kept) {
    const UndoJournal journal = ReadJournal(whole + next.substr(0, kept), "j");
    ASSERT_EQ(journal.entries.size(), 3u);
    EXPECT_FALSE(journal.entries[2].lastWrite.has_value());
    const UndoJournal followed = ReadJournal(whole + next.substr(0, kept) + JournalDone(1), "j");
    ASSERT_EQ(followed.entries.size(), 2u) << kept;
    EXPECT_FALSE(followed.entries[1].lastWrite.has_value());
  }
  EXPECT_TRUE(ReadJournal("", "j").entries.empty());
  EXPECT_TRUE(ReadJournal(JournalStart("t").substr(0, 10), "j").entries.empty());
}

// A journal of a build that named files in the ANSI code page says so in its
// first line; its names are taken as they are, to be read in that code page.
// Earlier versions' journals keep no hash of the originals; version 1's names
// are in the ANSI code page, to be read in it.
TEST(UndoJournal, EarlierVersionsJournalsAreRead) {
  const std::string entry = Line("F\t1\tP\t0\t5\t3\t00000000000000aa\tC:\\caf\xE9.txt\t");
  for (const char* version : {"1", "2"}) {
    const UndoJournal journal = ReadJournal(Line("Varnex undo journal\t" + std::string(version) + "\tt\t") + entry, "j");
    EXPECT_EQ(journal.ansiNames, version == std::string("1"));
    EXPECT_EQ(journal.entries.at(0).path, "C:\\caf\xE9.txt");
    EXPECT_EQ(journal.entries.at(0).length, 5u);
    EXPECT_TRUE(journal.entries.at(0).originalHash.empty());
  }
  EXPECT_EQ(ReadJournal(RunJournal(), "j").entries.at(0).originalHash, StrongHashHex("C:\\docs\\a.txt"));
  EXPECT_EQ(ReadJournal(Line("Varnex undo journal\t3\tt\t") + JournalEntry(Entry(1, "C:\\a")), "j").entries.size(), 1u);
}

TEST(UndoJournal, AnyChangedByteIsRefused) {
  const std::string whole = RunJournal();
  for (std::size_t at = 0; at < whole.size(); ++at) {
    if (whole[at] == '\r' || whole[at] == '\n') continue;
    std::string damaged = whole;
    damaged[at] = damaged[at] == 'x' ? 'y' : 'x';
    ExpectRefused(damaged);
  }
}

TEST(UndoJournal, LinesOutOfShapeOrOrderAreRefused) {
  const std::string start = JournalStart("t");
  const std::string first = JournalEntry(Entry(1, "C:\\a.txt"));
  const std::vector<std::string> refused = {
      "text that was never a journal\r\n",
      JournalEntry(Entry(1, "C:\\a.txt")),                                // no first line
      start + start,                                                      // two first lines
      start + JournalEntry(Entry(2, "C:\\a.txt")),                        // numbers not in turn
      start + first + [] {                                                // bytes not behind the last ones
        UndoEntry overlapping = Entry(2, "C:\\b.txt");
        overlapping.offset = 50;
        return JournalEntry(overlapping);
      }(),
      start + [] {                                                        // a linked one in the pack
        UndoEntry linked = Entry(1, "C:\\b.txt");
        linked.linked = true;
        linked.offset = 7;
        return JournalEntry(linked);
      }(),
      start + first + JournalEntry(Entry(1, "C:\\b.txt")),                // a number twice
      start + first + JournalEntry(Entry(2, "C:\\a.txt")),                // a file twice
      start + JournalWritten(1, 5),                                       // written before named
      start + first + JournalWritten(1, 5) + JournalWritten(1, 6),        // written twice
      start + first + JournalWritten(2, 5),                               // written, never named
      start + first + "\r\n",                                             // an empty line
      start + first + JournalDone(2),                                     // done, never named
      start + first + JournalDone(1) + JournalDone(1),                    // done twice
      start + first + JournalInPlace(2),                                  // in place, never named
      Line("Varnex undo journal\t3\tt\t") + first + JournalInPlace(1),  // in place, before its version
      start + [] {                                                        // no hash of the original
        UndoEntry unhashed = Entry(1, "C:\\b.txt");
        unhashed.originalHash.clear();
        return JournalEntry(unhashed);
      }(),
  };
  for (const std::string& journal : refused) ExpectRefused(journal);
}

TEST(UndoJournal, OnlyPlainFullPathsAreFollowed) {
  for (const char* path : {"a.txt", "\\a.txt", "C:a.txt", "C:\\docs\\..\\Windows\\win.ini", "C:\\.\\a.txt",
                           "C:\\docs\\..", "C:/docs/a.txt", "C:\\docs\\", "\\\\\\a", "1:\\a.txt"}) {
    ExpectRefused(JournalStart("t") + JournalEntry(Entry(1, path)));
    ExpectRefused(JournalStart("t") + JournalTemporary(path, true));
  }
  for (const char* path : {"C:\\a", "z:\\..a\\b..\\c.txt", "\\\\host\\share\\x"}) {
    EXPECT_EQ(ReadJournal(JournalStart("t") + JournalEntry(Entry(1, path)), "j").entries.at(0).path, path);
  }
}

TEST(ContentHash, TellsEveryOneByteChangeAndLengthApart) {
  // Across the four-lane blocks and the tail, with the edges of the byte range.
  for (std::size_t size : {0u, 1u, 7u, 8u, 31u, 32u, 33u, 64u, 95u, 129u}) {
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>(i * 37);
    const std::uint64_t hash = ContentHash(text);
    EXPECT_EQ(ContentHash(std::string(text)), hash);
    EXPECT_NE(ContentHash(text + '\0'), hash) << size;
    for (std::size_t at = 0; at < size; ++at) {
      for (unsigned char flip : {0x01, 0x80, 0xFF}) {
        std::string changed = text;
        changed[at] = static_cast<char>(changed[at] ^ flip);
        EXPECT_NE(ContentHash(changed), hash) << size << " at " << at;
      }
    }
  }
  // Blocks swapped.
  const std::string a(32, 'a'), b(32, 'b');
  EXPECT_NE(ContentHash(a + b), ContentHash(b + a));
}

// BLAKE2b's published values, and the same result however the bytes arrive.
TEST(StrongHash, GivesTheKnownValuesInAnyPieces) {
  EXPECT_EQ(StrongHashHex(""), "0e5751c026e543b2e8ab2eb06099daa1d1e5df47778f7787faab45cdf12fe3a8");
  StrongHash abc(64);
  abc.Add("abc");
  EXPECT_EQ(abc.Hex(),
            "ba80a53f981c4d0d6a2797b69f12f6e94c212f14685ac4b74b12bb6fdbffa2d1"
            "7d87c5392aab792dc252d5de4533cc9518d38aa8dbf1925ab92386edd4009923");
  std::string text(1000, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(i * 7);
  for (std::size_t size : {0u, 127u, 128u, 129u, 256u, 1000u}) {
    const std::string whole = StrongHashHex(text.substr(0, size));
    for (std::size_t piece : {1u, 128u, 200u}) {
      StrongHash pieces;
      for (std::size_t at = 0; at < size; at += piece) pieces.Add(text.substr(at, std::min(piece, size - at)));
      EXPECT_EQ(pieces.Hex(), whole) << size << " in pieces of " << piece;
    }
  }
}

}  // namespace
}  // namespace varnex
