#pragma once
// One move-only owner for every kind of Windows handle, parameterised by how the
// handle is closed and which value means "none".

#include <windows.h>

#include <commctrl.h>

#include <utility>

namespace varnex {

template <class Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(Type handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  Type Get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Empty(); }

  Type Release() { return std::exchange(handle_, Traits::Empty()); }
  void Reset(Type handle = Traits::Empty()) {
    if (handle_ != Traits::Empty()) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Type handle_ = Traits::Empty();
};

struct FileHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) { CloseHandle(handle); }
};
using FileHandle = UniqueHandle<FileHandleTraits>;

template <class Handle>
struct GdiObjectTraits {
  using Type = Handle;
  static Type Empty() { return nullptr; }
  static void Close(Type object) { DeleteObject(object); }
};
using FontHandle = UniqueHandle<GdiObjectTraits<HFONT>>;
using BitmapHandle = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using BrushHandle = UniqueHandle<GdiObjectTraits<HBRUSH>>;

// A device context made by CreateCompatibleDC (one from GetDC goes back with ReleaseDC instead).
struct MemoryDcTraits {
  using Type = HDC;
  static Type Empty() { return nullptr; }
  static void Close(Type dc) { DeleteDC(dc); }
};
using MemoryDcHandle = UniqueHandle<MemoryDcTraits>;

struct ImageListTraits {
  using Type = HIMAGELIST;
  static Type Empty() { return nullptr; }
  static void Close(Type list) { ImageList_Destroy(list); }
};
using ImageListHandle = UniqueHandle<ImageListTraits>;

struct MenuTraits {
  using Type = HMENU;
  static Type Empty() { return nullptr; }
  static void Close(Type menu) { DestroyMenu(menu); }
};
using MenuHandle = UniqueHandle<MenuTraits>;

// Puts an object into a device context for a scope and the old one back after.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc_, old_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace varnex

namespace varnex {

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Type find) { FindClose(find); }
};
using FindHandle = UniqueHandle<FindHandleTraits>;

struct ModuleTraits {
  using Type = HMODULE;
  static Type Empty() { return nullptr; }
  static void Close(Type module) { FreeLibrary(module); }
};

}  // namespace varnex
