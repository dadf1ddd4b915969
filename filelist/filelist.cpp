#include "filelist/filelist.h"

#include "engine/error.h"

namespace varnex {

int FileList::Count() const { return static_cast<int>(SendMessageA(list_, LB_GETCOUNT, 0, 0)); }

std::string FileList::Entry(int index) const {
  const LRESULT length = SendMessageA(list_, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) throw Error("List index out of bounds (" + std::to_string(index) + ")");
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(SendMessageA(list_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

void FileList::Append(const std::string& entry) {
  const LRESULT added = SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  if (added == LB_ERR || added == LB_ERRSPACE) throw Error("The file list cannot take another entry");
}

void FileList::Clear() { SendMessageA(list_, LB_RESETCONTENT, 0, 0); }

void FileList::MakeCurrent(int index) { SendMessageA(list_, LB_SETCARETINDEX, index, FALSE); }

int FileList::Current() const {
  if (Count() == 0) return -1;
  const LRESULT caret = SendMessageA(list_, LB_GETCARETINDEX, 0, 0);
  return caret < 0 ? -1 : static_cast<int>(caret);
}

void FileList::SelectAlone(int index) {
  SendMessageA(list_, LB_SETSEL, FALSE, -1);
  SendMessageA(list_, LB_SETSEL, TRUE, index);
  MakeCurrent(index);
}

int FileList::FindPrefix(const std::string& prefix) const {
  const LRESULT found = SendMessageA(list_, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(prefix.c_str()));
  return found == LB_ERR ? -1 : static_cast<int>(found);
}

void FileList::RemoveSelected() {
  for (int index = Count() - 1; index >= 0; --index) {
    if (SendMessageA(list_, LB_GETSEL, index, 0) > 0) SendMessageA(list_, LB_DELETESTRING, index, 0);
  }
}

bool FileList::HoldsRealFiles() const { return Count() > 0 && Entry(0) != kNoFilesAdded; }

void DrawFileListRow(HDC dc, const RECT& row, bool selected, bool current, std::string_view text) {
  FillRect(dc, &row, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  RECT textArea = row;
  textArea.left += 2;
  DrawTextA(dc, text.data(), static_cast<int>(text.size()), &textArea, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (current) DrawFocusRect(dc, &row);
}

}  // namespace varnex
