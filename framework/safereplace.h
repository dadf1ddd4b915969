#pragma once
// Putting a complete new file in an old one's place so that the old one's path
// holds, whatever fails on the way, either the old bytes or the whole new text,
// and no file of ours stays behind.

#include <functional>
#include <string>

#include "framework/filesystem.h"
#include "framework/handle.h"

namespace varnex {

// Opens `path` as FileSystem::Open does, trying `retries` times more, a moment
// apart, while another holds it.
FileHandle OpenWaiting(FileSystem& files, const std::string& path, DWORD access, DWORD share, DWORD disposition,
                       int retries);

// Told the full name of each new file of ours before it is made (`ours`), and
// again (not `ours`) where none could be made under it, the name being
// someone else's. Whoever keeps that record has what a run ended by force
// left under the names still ours removed (RemoveLeftoverTemporary); nothing
// else is ever taken for a leftover.
using TemporaryRecord = std::function<void(const std::string& path, bool ours)>;

// A new file of our own beside `path`, open for writing and reading, its name in `created`
// and told to `record` where given; an empty handle when none can be made.
// The name is as short as the file's own where a longer one would not fit, so
// every file that can be opened can also be rewritten. The handle shares
// deletion only: the file may be renamed while it is held, and nobody else
// can take it for a leftover meanwhile.
FileHandle CreateFileBeside(FileSystem& files, const std::string& path, std::string& created,
                            const TemporaryRecord& record = nullptr);

// Removes a file of ours, waiting a moment for whoever holds it.
void RemoveOurFile(FileSystem& files, const std::string& path);

// Removes the new file of ours at `path`, recorded before it was made, that a
// run ended by force (a crash, a kill, a power cut) may have left: only a name
// of the kind CreateFileBeside makes, and only where nobody has it open
// (another copy of the program may be writing a file of that name right now).
// Failures are left unsaid.
void RemoveLeftoverTemporary(FileSystem& files, const std::string& path);

enum class Placed { kReplacement, kOriginal, kNeither };

// Puts the complete file `replacement` (beside `path`, stamped `made` through
// its own handle once written) in the place of `path` and says what the path
// holds afterwards. Whether the new file went in is told by its number on the
// volume, whatever the calls' error codes claim; a new file that has gone
// before it could take its place (another program removed it) leaves the path
// as it was. `hold`, where given, is our own open handle on the original that
// keeps others off it to the last moment; it is closed as soon as it is in the
// way. Under kNeither (neither file could be moved back into place) both are
// left where they are, for they are then the only copies. Where `original` is
// given, a retry after a sharing violation goes ahead only while the path
// still names the file so stamped: whoever held it may have saved it.
Placed PutInPlace(FileSystem& files, const std::string& path, const std::string& replacement, const FileStamp& made,
                  FileHandle* hold = nullptr, const FileStamp* original = nullptr);

// The same by one rename over the original, where ReplaceFileW would keep
// nothing more (see FileSystem::ReplaceKeepsMore): the path holds either file
// at every moment, and on failure the replacement is removed.
Placed RenameInPlace(FileSystem& files, const std::string& path, const std::string& replacement,
                     const FileStamp& made, const FileStamp* original = nullptr);

}  // namespace varnex
