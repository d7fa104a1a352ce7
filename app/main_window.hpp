#pragma once
// The main window "Orvane  Tamblin" with its three controls, and its message loop.
#include <windows.h>

namespace tamblin::app {

inline constexpr char kMainWindowClass[] = "TamblinMainWindow";
inline constexpr int kMainWindowWidth = 182;
inline constexpr int kMainWindowHeight = 91;

// Control identifiers; 1 and 2 are IDOK and IDCANCEL, which keyboard handling could fake.
inline constexpr int kGlyphListId = 101;
inline constexpr int kColourChooserId = 102;
inline constexpr int kStartButtonId = 103;

struct MainWindow {
  HWND window = nullptr;
  HWND 组合框1 = nullptr;       // the glyph list
  HWND 颜色选择器1 = nullptr;   // the colour chooser
  HWND 按钮1 = nullptr;         // the start button
};

// Top-left corner of the window centred on a screen of this size, halves truncated toward zero.
POINT mainWindowPosition(int screenWidth, int screenHeight);

// Creates and shows the main window and its controls, and binds them to the crosshair ticker.
// Its class icon is the resource "DEFAULT_ICON" of instance. Destroying it posts WM_QUIT.
MainWindow createMainWindow(HINSTANCE instance);

// The keyboard handling the loop does before dispatching: Esc in the window or any of its
// controls closes it, Tab and Shift+Tab move between the controls. True when consumed.
bool preTranslateMessage(HWND mainWindow, const MSG& message);

// Runs until WM_QUIT and returns its exit code.
int runMessageLoop(HWND mainWindow);

}  // namespace tamblin::app
