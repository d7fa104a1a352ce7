#pragma once
// The main window as the program builds it, with helpers that drive it the way the program's
// message loop and a user's keyboard would.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/crosshair_ticker.hpp"
#include "app/main_window.hpp"
#include "recognition/win32/recognition_object.hpp"

namespace tamblin::test {

// Dispatches for about ms milliseconds, with the program's own keyboard handling.
inline void runLoopFor(HWND mainWindow, int ms) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;
      if (mainWindow != nullptr && app::preTranslateMessage(mainWindow, message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(1);
  } while (GetTickCount64() < end);
}

// A key pressed and released through the system's input queue, like a keyboard.
inline void pressKey(WORD key) {
  INPUT input[2]{};
  input[0].type = INPUT_KEYBOARD;
  input[0].ki.wVk = key;
  input[1] = input[0];
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
}

inline void dropQuitMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Open lists follow the pointer; keep it off the window unless a test moves it.
    SetCursorPos(0, 0);
    startRecognition();
    main_ = app::createMainWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(main_.window, nullptr);
    SetForegroundWindow(main_.window);
    runLoopFor(main_.window, 50);
  }
  void TearDown() override {
    if (IsWindow(main_.window)) DestroyWindow(main_.window);
    runLoopFor(nullptr, 10);
    dropQuitMessages();
    stopRecognition();
  }
  // Gives the keyboard focus to control the way a click would, and waits until it has it.
  void focus(HWND control) {
    SetForegroundWindow(main_.window);
    SetFocus(control);
    runLoopFor(main_.window, 20);
  }

  app::MainWindow main_;
};

inline std::string text(HWND window) { return app::windowText(window); }

}  // namespace tamblin::test
