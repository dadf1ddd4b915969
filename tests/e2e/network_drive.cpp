// Maps a drive letter of the Wine prefix to a Linux folder as a network
// drive, the way Wine's own configuration program does, so that the drive
// list asks the system for the drive's network connection.
// Usage: network_drive LETTER FOLDER (maps), network_drive LETTER (unmaps).

#include <windows.h>

#include <winioctl.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Wine's mount manager extension: its own request and the record it takes.
constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
struct UnixDrive {
  ULONG size;
  ULONG type;
  ULONG fsType;
  DWORD serial;
  ULONGLONG unixDevice;
  WCHAR letter;
  USHORT mountPointOffset;  // a Linux path in the bytes that follow; 0 unmaps
  USHORT deviceOffset;
  USHORT labelOffset;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3 || std::strlen(argv[1]) != 1) {
    std::fprintf(stderr, "usage: network_drive LETTER [FOLDER]\n");
    return 2;
  }
  const char* folder = argc == 3 ? argv[2] : nullptr;
  std::vector<char> request(sizeof(UnixDrive) + (folder != nullptr ? std::strlen(folder) + 1 : 0));
  auto* drive = reinterpret_cast<UnixDrive*>(request.data());
  drive->size = static_cast<ULONG>(request.size());
  drive->type = folder != nullptr ? DRIVE_REMOTE : DRIVE_NO_ROOT_DIR;
  drive->letter = static_cast<WCHAR>(argv[1][0]);
  if (folder != nullptr) {
    drive->mountPointOffset = sizeof(UnixDrive);
    std::strcpy(request.data() + sizeof(UnixDrive), folder);
  }
  const HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (manager == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "cannot open the mount manager: error %lu\n", GetLastError());
    return 1;
  }
  DWORD returned = 0;
  const BOOL done = DeviceIoControl(manager, kDefineUnixDrive, request.data(), static_cast<DWORD>(request.size()),
                                    nullptr, 0, &returned, nullptr);
  const DWORD error = GetLastError();
  CloseHandle(manager);
  if (!done) {
    std::fprintf(stderr, "the mount manager refused: error %lu\n", error);
    return 1;
  }
  return 0;
}
