// TMF's Undo Last Run: the question, the restore and what it tells the user.

#include <shlobj.h>

#include <algorithm>
#include <exception>

#include "engine/error.h"
#include "forms/main.h"

namespace varnex {
namespace {

// A message box taller than the screen helps nobody.
constexpr std::size_t kNamesShown = 20;

std::string Outcome(const UndoStore::Outcome& outcome) {
  std::string text = "Undo Last Run restored " + std::to_string(outcome.restored.size()) + " file(s).";
  if (outcome.leftAlone.empty()) return text;
  text += "\r\rThese files were changed or removed since that run and were left as they are:";
  for (std::size_t index = 0; index < outcome.leftAlone.size() && index < kNamesShown; ++index) {
    text += "\r" + outcome.leftAlone[index];
  }
  if (outcome.leftAlone.size() > kNamesShown) {
    text += "\rand " + std::to_string(outcome.leftAlone.size() - kNamesShown) + " more.";
  }
  return text;
}

}  // namespace

std::vector<std::string> TMF::UndoFolders(const std::string& programDirectory) {
  std::vector<std::string> folders{programDirectory + "\\undo"};
  char localData[MAX_PATH];
  if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localData))) {
    folders.push_back(std::string(localData) + "\\Varnex\\undo");
  }
  return folders;
}

bool TMF::CanUndo() const { return !running_ && undoStore_.Existing().has_value(); }

void TMF::UndoLastRun1Click() {
  if (running_) return;
  const std::optional<std::string> folder = undoStore_.Existing();
  if (!folder) {
    app_.MessageBox().Show(app_.Title(), "There is no run to undo.", MB_OK | MB_ICONINFORMATION);
    return;
  }
  // A journal in no shape to follow is refused here, before anything is touched.
  const UndoJournal journal = undoStore_.Load(*folder);
  const auto changed = std::count_if(journal.entries.begin(), journal.entries.end(),
                                     [](const UndoEntry& entry) { return entry.lastWrite.has_value(); });
  const std::string question = "Do you want to undo the last run of " + journal.runTime + "?\rIt changed " +
                               std::to_string(changed) + " file(s).";
  if (!Confirm(question.c_str())) return;

  const Application::BusyCursor busy(app_);
  std::exception_ptr logFailure;
  const UndoStore::Outcome outcome = undoStore_.Restore(*folder, journal, [&](const std::string& path) {
    try {
      activityLog_.RecordRestore(path, journal.runTime);
    } catch (const std::exception&) {
      if (!logFailure) logFailure = std::current_exception();
    }
  });
  undoStore_.Remove(*folder);
  app_.MessageBox().Show(app_.Title(), Outcome(outcome),
                         MB_OK | (outcome.leftAlone.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
  if (logFailure) std::rethrow_exception(logFailure);
}

}  // namespace varnex
