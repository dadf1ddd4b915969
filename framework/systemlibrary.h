#pragma once
// System DLLs that are not among Windows' known DLLs. Windows looks for such a
// DLL beside the program first, and a DLL of that name put there by anyone who
// can write to the program's folder (a downloads folder, a shared drive) would
// run inside the program. So the program imports none of them: it loads each
// on first use from the system folder alone, and keeps every later search of
// the process, the system's own on the program's behalf included, out of its
// folder and the current one.

#include <windows.h>

#include "framework/handle.h"

namespace varnex {

// First thing at start: later DLL searches look in the system folder only.
void KeepDllSearchInSystemFolder();

// A function's address as the type of its declaration, through void (*)(),
// which every function pointer type may be cast from and to.
template <class Function>
Function* FunctionAs(FARPROC address) {
  return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(address));
}

class SystemLibrary {
 public:
  // Loads the DLL (a bare file name) from the system folder; a library that
  // is not there stays unloaded and finds nothing.
  explicit SystemLibrary(const char* fileName);

  // The library's function of that name and of the type of the system's own
  // declaration (decltype(WNetGetConnectionW)); null when the library or the
  // function is missing.
  template <class Function>
  Function* Find(const char* name) const {
    return FunctionAs<Function>(Address(name));
  }

 private:
  FARPROC Address(const char* name) const;

  UniqueHandle<ModuleTraits> module_;
};

}  // namespace varnex
