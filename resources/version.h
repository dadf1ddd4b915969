#pragma once
// The program's name and version, shared by the code and the version block.

#define VARNEX_TITLE "Varnex"
#define VARNEX_VERSION_TEXT "2.01"
#define VARNEX_FILE_VERSION 2, 0, 1, 0
#define VARNEX_FILE_VERSION_TEXT "2.0.1.0"
#define VARNEX_EXE_NAME "varnex.exe"
