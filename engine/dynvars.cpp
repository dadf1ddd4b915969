#include "engine/dynvars.h"

#include "engine/paths.h"

namespace varnex {

std::array<DynamicVariable, 5> DynamicVariablesFor(std::string_view path) {
  return {{
      {"$fullfilename", std::string(path)},
      {"$filedir", std::string(ExtractFileDir(path))},
      {"$fileext", FileExt(ExtractFileExt(path))},
      {"$filename", std::string(ExtractFileName(path))},
      {"$file", std::string(BaseName(path))},
  }};
}

}  // namespace varnex
