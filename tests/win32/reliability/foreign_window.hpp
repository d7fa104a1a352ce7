#pragma once
// A test window that belongs to a thread of its own, which pumps its messages: whatever an
// operation sends it (PrintWindow, ShowWindow, MoveWindow) crosses threads, as with a game's window.
#include <windows.h>

#include <future>
#include <thread>

#include "tests/win32/capture/pattern_window.hpp"

namespace reliability {

class ForeignWindow {
 public:
  ForeignWindow(int left, int top, int width, int height) {
    std::future<HWND> made = made_.get_future();
    thread_ = std::thread([this, left, top, width, height] {
      capture_test::PatternWindow window(left, top, width, height);
      MSG message;
      PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before anyone posts to it
      threadId_ = GetCurrentThreadId();
      made_.set_value(window.get());
      while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
    });
    window_ = made.get();
  }
  ~ForeignWindow() {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  ForeignWindow(const ForeignWindow&) = delete;
  ForeignWindow& operator=(const ForeignWindow&) = delete;

  HWND get() const { return window_; }

 private:
  std::promise<HWND> made_;
  std::thread thread_;
  DWORD threadId_ = 0;
  HWND window_ = nullptr;
};

}  // namespace reliability
