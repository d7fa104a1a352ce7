#include "app/main_window.hpp"

#include "app/colour_chooser.hpp"
#include "app/combo_box.hpp"
#include "app/crosshair_ticker.hpp"

namespace tamblin::app {

namespace {

constexpr char kTitle[] = "Orvane  Tamblin";
// "点击显示准星"
constexpr char kStartCaption[] = "\xB5\xE3\xBB\xF7\xCF\xD4\xCA\xBE\xD7\xBC\xD0\xC7";
// ﹢ ¤ · ⊙ ◎ ○
const char* const kGlyphs[] = {"\xA9\x80", "\xA1\xE8", "\xA1\xA4", "\xA1\xD1", "\xA1\xF2", "\xA1\xF0"};
constexpr char kInitialGlyph[] = "\xA1\xD1";  // ⊙
constexpr Colour kInitialColour = 255;

constexpr int kControlWidth = 80;
constexpr int kControlHeight = 24;
// The list drops down to this many pixels below the top of the glyph list.
constexpr int kGlyphListDroppedHeight = 160;

// The control that had the focus when the window was last deactivated.
HWND theLastFocus = nullptr;

HMENU controlId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

// The direct child of parent that holds window, or null.
HWND childHolding(HWND parent, HWND window) {
  while (window != nullptr && GetParent(window) != parent) window = GetParent(window);
  return window;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kStartButtonId && HIWORD(wParam) == BN_CLICKED) {
        onShowCrosshairClicked();
        return 0;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (HWND focus = childHolding(window, GetFocus())) theLastFocus = focus;
      }
      break;
    case WM_SETFOCUS: {
      HWND target = theLastFocus != nullptr && IsChild(window, theLastFocus) ? theLastFocus
                                                                             : GetNextDlgTabItem(window, nullptr, FALSE);
      if (target != nullptr) SetFocus(target);
      return 0;
    }
    case WM_DESTROY:
      theLastFocus = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void registerMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(instance, kMainWindowClass, &existing)) return;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = mainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, "DEFAULT_ICON");
  windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                      LR_DEFAULTCOLOR | LR_SHARED));
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kMainWindowClass;
  RegisterClassExA(&windowClass);
}

HWND createGlyphList(HWND window, HINSTANCE instance) {
  // For CBS_DROPDOWN the height given at creation is the reach of the dropped list; without
  // CBS_NOINTEGRALHEIGHT the list would stop short of it at a whole number of items.
  HWND combo = CreateWindowExA(0, "COMBOBOX", nullptr,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL |
                                   CBS_NOINTEGRALHEIGHT,
                               0, 0,
                               kControlWidth, kGlyphListDroppedHeight, window, controlId(kGlyphListId), instance,
                               nullptr);
  SendMessageA(combo, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  for (const char* glyph : kGlyphs) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(glyph));
  // 0 lifts the edit field's limit to the largest the platform allows.
  SendMessageA(combo, CB_LIMITTEXT, 0, 0);
  fitComboHeight(combo, kControlHeight);
  setComboItemHeight(combo, static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0)) + 1);
  // The text equals the fourth item, yet no item is selected.
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kInitialGlyph));
  return combo;
}

}  // namespace

POINT mainWindowPosition(int screenWidth, int screenHeight) {
  return {static_cast<LONG>((screenWidth - kMainWindowWidth) / 2.0),
          static_cast<LONG>((screenHeight - kMainWindowHeight) / 2.0)};
}

MainWindow createMainWindow(HINSTANCE instance) {
  registerMainWindowClass(instance);
  MainWindow main;
  const POINT position = mainWindowPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  main.window = CreateWindowExA(0, kMainWindowClass, kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, position.x,
                                position.y, kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance, nullptr);
  if (main.window == nullptr) return main;

  main.组合框1 = createGlyphList(main.window, instance);
  main.颜色选择器1 =
      createColourChooser(main.window, kColourChooserId, 0, 40, kControlWidth, kControlHeight, kInitialColour);
  main.按钮1 = CreateWindowExA(0, "BUTTON", kStartCaption,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER, 96, 16,
                               kControlWidth, kControlHeight, main.window, controlId(kStartButtonId), instance, nullptr);
  SendMessageA(main.按钮1, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);

  bindCrosshairSources(main.组合框1, main.颜色选择器1);
  ShowWindow(main.window, SW_SHOW);
  UpdateWindow(main.window);
  return main;
}

bool preTranslateMessage(HWND mainWindow, const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  if (message.hwnd != mainWindow && !IsChild(mainWindow, message.hwnd)) return false;
  if (message.wParam == VK_ESCAPE) {
    SendMessageA(mainWindow, WM_CLOSE, 0, 0);
    return true;
  }
  if (message.wParam == VK_TAB) {
    // An open list would lose its owner's focus under it; let the list have the key.
    HWND control = childHolding(mainWindow, GetFocus());
    if (control != nullptr && SendMessageA(control, CB_GETDROPPEDSTATE, 0, 0) != 0) return false;
    const bool backwards = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    if (HWND next = GetNextDlgTabItem(mainWindow, control, backwards)) SetFocus(next);
    return true;
  }
  return false;
}

int runMessageLoop(HWND mainWindow) {
  MSG message{};
  BOOL got = 0;
  while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
    if (preTranslateMessage(mainWindow, message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return got == 0 ? static_cast<int>(message.wParam) : 1;
}

}  // namespace tamblin::app
