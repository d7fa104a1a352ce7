#pragma once
// One owner per GDI handle. Declare owners in the order of acquisition: C++ destroys them in
// reverse, which is the order the platform wants them released (selection, object, DC).
#include <windows.h>

#include <utility>

namespace tamblin::gdi {

// A device context from GetDC, released with ReleaseDC for the same window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A memory device context from CreateCompatibleDC, deleted with DeleteDC.
class MemoryDc {
 public:
  explicit MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
  ~MemoryDc() {
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// A font, bitmap or other GDI object, deleted with DeleteObject.
template <typename Handle>
class Object {
 public:
  Object() = default;
  explicit Object(Handle handle) : handle_(handle) {}
  ~Object() { reset(); }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  Object(Object&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Object& operator=(Object&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  Handle get() const { return handle_; }
  // Deletes the object now; it must no longer be selected into any DC.
  void reset() {
    if (handle_ != nullptr) DeleteObject(handle_);
    handle_ = nullptr;
  }

 private:
  Handle handle_ = nullptr;
};
using Font = Object<HFONT>;
using Bitmap = Object<HBITMAP>;

// An object selected into a DC; the previous object is selected back on destruction or restore().
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() { restore(); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  void restore() {
    if (dc_ != nullptr && previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    dc_ = nullptr;
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace tamblin::gdi
