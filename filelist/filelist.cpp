#include "filelist/filelist.h"

#include <optional>
#include <utility>

#include "engine/error.h"
#include "engine/leftout.h"
#include "engine/paths.h"
#include "framework/windowtext.h"

namespace varnex {

int FileList::Count() const { return static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0)); }

std::string FileList::Entry(int index) const {
  std::optional<std::string> text = ListBoxText(list_, index);
  if (!text) throw Error("List index out of bounds (" + std::to_string(index) + ")");
  return std::move(*text);
}

void FileList::Append(const std::string& entry) {
  const LRESULT added = AddListBoxText(list_, entry);
  if (added == LB_ERR || added == LB_ERRSPACE) throw Error("The file list cannot take another entry");
}

void FileList::Clear() { SendMessageW(list_, LB_RESETCONTENT, 0, 0); }

std::vector<std::string> FileList::Entries() const {
  std::vector<std::string> entries;
  const int count = Count();
  entries.reserve(static_cast<std::size_t>(count));
  for (int index = 0; index < count; ++index) entries.push_back(Entry(index));
  return entries;
}

std::vector<std::string> FileList::Files() const { return HoldsRealFiles() ? Entries() : std::vector<std::string>{}; }

void FileList::ShowPlaceholderIfEmpty() {
  if (Count() == 0) Append(kNoFilesAdded);
}

void FileList::Add(const std::string& path) {
  if (!FitsLongestPath(path)) throw Error(TooLongEntriesText(1));
  if (!HoldsRealFiles()) Clear();
  Append(path);
}

void FileList::SetEntries(const std::vector<std::string>& entries) {
  Clear();
  for (const std::string& entry : entries) Append(entry);
  ShowPlaceholderIfEmpty();
}

void FileList::RemoveAll() {
  Clear();
  Append(kNoFilesAdded);
}

void FileList::MakeCurrent(int index) { SendMessageW(list_, LB_SETCARETINDEX, index, FALSE); }

int FileList::Current() const {
  if (Count() == 0) return -1;
  const LRESULT caret = SendMessageW(list_, LB_GETCARETINDEX, 0, 0);
  return caret < 0 ? -1 : static_cast<int>(caret);
}

void FileList::SelectAlone(int index) {
  SendMessageW(list_, LB_SETSEL, FALSE, -1);
  SendMessageW(list_, LB_SETSEL, TRUE, index);
  MakeCurrent(index);
}

int FileList::FindPrefix(const std::string& prefix) const { return FindListBoxPrefix(list_, prefix); }

void FileList::RemoveSelected() {
  for (int index = Count() - 1; index >= 0; --index) {
    if (SendMessageW(list_, LB_GETSEL, index, 0) > 0) SendMessageW(list_, LB_DELETESTRING, index, 0);
  }
  ShowPlaceholderIfEmpty();
}

bool FileList::HoldsRealFiles() const { return Count() > 0 && Entry(0) != kNoFilesAdded; }

void DrawFileListRow(HDC dc, const RECT& row, bool selected, bool current, std::string_view text) {
  FillRect(dc, &row, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  RECT textArea = row;
  textArea.left += 2;
  DrawTextLine(dc, text, textArea, DT_VCENTER | DT_NOPREFIX);
  if (current) DrawFocusRect(dc, &row);
}

}  // namespace varnex
