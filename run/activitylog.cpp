#include "run/activitylog.h"

#include <span>

#include "engine/textlines.h"
#include "run/logline.h"

namespace varnex {

ActivityLog::ActivityLog(LogStorage& storage, Clock timeStamp) : storage_(storage), timeStamp_(std::move(timeStamp)) {}

void ActivityLog::Open() {
  const std::string stamp = timeStamp_();
  lines_.clear();
  const std::optional<std::string> text = storage_.Load();
  if (text) {
    for (std::string_view line : SplitLines(*text)) lines_.emplace_back(line);
    keepFileAsItIs_ = TextBeforeNul(*text).size() != text->size();
    linesOnDisk_ = lines_.size();
    fileEndsInsideLine_ = !text->empty() && text->back() != '\r' && text->back() != '\n';
  } else {
    // A file that is there but could not be read must not be rewritten from
    // an empty history; where there is none, an append makes it as well.
    keepFileAsItIs_ = true;
    linesOnDisk_ = 0;
    fileEndsInsideLine_ = false;
  }
  Add(StartedLine(stamp));
}

void ActivityLog::RecordReplacement(std::string_view findText, std::string_view path, std::string_view replaceText) {
  Add(ReplacementLine(timeStamp_(), findText, path, replaceText));
}

void ActivityLog::RecordFailure(std::string_view failure) { Add(FailureLine(timeStamp_(), failure)); }

void ActivityLog::RecordRestore(std::string_view path, std::string_view runTime) {
  Add(RestoredLine(timeStamp_(), path, runTime));
}

void ActivityLog::Close() { Add(ClosedLine(timeStamp_())); }

void ActivityLog::Add(std::string line) {
  lines_.push_back(std::move(line));
  Save();
}

void ActivityLog::Save() {
  if (!rewritten_ && !keepFileAsItIs_) {
    try {
      storage_.Rewrite(JoinLines(lines_));
    } catch (...) {
      // The load's hold on the file may be gone with the failed rewrite, and
      // another copy may append from now on: a later rewrite from memory would
      // drop its lines, so from here on this start only appends.
      keepFileAsItIs_ = true;
      throw;
    }
    rewritten_ = true;
    fileEndsInsideLine_ = false;
  } else {
    std::string added = JoinLines(std::span(lines_).subspan(linesOnDisk_));
    if (fileEndsInsideLine_) added.insert(0, "\r\n");
    storage_.Append(added);
    fileEndsInsideLine_ = false;
  }
  linesOnDisk_ = lines_.size();
}

}  // namespace varnex
