// Helper of the end-to-end test, run on the same Wine desktop as the program:
//   probe layout    prints where the program's window and controls are, in screen pixels
//   probe repaint   repaints the whole desktop, wiping whatever was drawn straight on the screen
// Exit status 1 when the program's window is not there.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

POINT centreOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

int layout() {
  HWND main = FindWindowA("TamblinMainWindow", "Orvane  Tamblin");
  if (main == nullptr) return 1;
  HWND list = GetDlgItem(main, 101);
  HWND chooser = GetDlgItem(main, 102);
  HWND button = GetDlgItem(main, 103);
  // GetComboBoxInfo does not reach into another process under Wine; the field is the combo
  // box's Edit child.
  HWND field = FindWindowExA(list, nullptr, "Edit", nullptr);
  // The window exists before its controls do, and is shown only once they all are.
  if (field == nullptr || chooser == nullptr || button == nullptr || !IsWindowVisible(main)) return 1;
  RECT rect{};
  GetWindowRect(main, &rect);
  std::printf("window %ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
  const POINT fieldCentre = centreOf(field);
  const POINT chooserCentre = centreOf(chooser);
  const POINT buttonCentre = centreOf(button);
  std::printf("field %ld %ld\n", fieldCentre.x, fieldCentre.y);
  std::printf("chooser %ld %ld\n", chooserCentre.x, chooserCentre.y);
  std::printf("button %ld %ld\n", buttonCentre.x, buttonCentre.y);
  std::printf("screen %d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  return 0;
}

BOOL CALLBACK invalidate(HWND window, LPARAM) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return TRUE;
}

int repaint() {
  // Invalidating the desktop with RDW_ALLCHILDREN does not reach other processes' windows
  // under Wine; invalidate every top-level window, then the desktop itself.
  EnumWindows(invalidate, 0);
  RedrawWindow(GetDesktopWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  // The program paints its own window in its own thread; give it a moment.
  Sleep(200);
  return FindWindowA("TamblinMainWindow", "Orvane  Tamblin") != nullptr ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "layout") == 0) return layout();
  if (argc == 2 && std::strcmp(argv[1], "repaint") == 0) return repaint();
  std::fprintf(stderr, "usage: probe layout|repaint\n");
  return 2;
}
