#include "app/colour_chooser.hpp"

#include "app/combo_box.hpp"

#include <commdlg.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tamblin::app {

namespace {

enum class EntryKind { colour, transparent, custom, more };

struct Entry {
  EntryKind kind;
  Colour colour;
  const char* label;
};

// Labels are GBK.
const Entry kStandardEntries[] = {
    {EntryKind::colour, 0x0000FF, "\xBA\xEC"},                   // 红
    {EntryKind::colour, 0x00FF00, "\xC2\xCC"},                   // 绿
    {EntryKind::colour, 0xFF0000, "\xC0\xB6"},                   // 蓝
    {EntryKind::colour, 0x00FFFF, "\xBB\xC6"},                   // 黄
    {EntryKind::colour, 0xFFFF00, "\xC7\xE0"},                   // 青
    {EntryKind::colour, 0xFF00FF, "\xC6\xB7\xBA\xEC"},           // 品红
    {EntryKind::colour, 0x0080FF, "\xB3\xC8"},                   // 橙
    {EntryKind::colour, 0xFFFFFF, "\xB0\xD7"},                   // 白
    {EntryKind::colour, 0x000000, "\xBA\xDA"},                   // 黑
    {EntryKind::transparent, kTransparentColour, "\xCD\xB8\xC3\xF7"},  // 透明
};
constexpr char kCustomLabel[] = "\xD7\xD4\xB6\xA8\xD2\xE5";           // 自定义
constexpr char kMoreLabel[] = "\xB8\xFC\xB6\xE0\xD1\xD5\xC9\xAB\xA1\xAD";  // 更多颜色…

constexpr int kListId = 1;
constexpr int kItemHeight = 18;

struct State {
  HWND list = nullptr;
  std::vector<Entry> entries;
  Colour colour = 0;
  bool picking = false;
  std::array<COLORREF, 16> customColours{};
};

State* stateOf(HWND chooser) { return reinterpret_cast<State*>(GetWindowLongPtrA(chooser, GWLP_USERDATA)); }

void fillList(State& state) {
  SendMessageA(state.list, CB_RESETCONTENT, 0, 0);
  for (std::size_t i = 0; i < state.entries.size(); ++i) {
    SendMessageA(state.list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(state.entries[i].label));
  }
}

int indexOfKind(const State& state, EntryKind kind) {
  for (std::size_t i = 0; i < state.entries.size(); ++i) {
    if (state.entries[i].kind == kind) return static_cast<int>(i);
  }
  return -1;
}

// Selects the entry holding colour, adding or replacing the custom entry when none does.
void selectColour(State& state, Colour colour) {
  int index = -1;
  for (std::size_t i = 0; i < state.entries.size(); ++i) {
    const Entry& entry = state.entries[i];
    if (entry.kind != EntryKind::more && entry.colour == colour) {
      index = static_cast<int>(i);
      break;
    }
  }
  if (index < 0) {
    index = indexOfKind(state, EntryKind::custom);
    if (index < 0) {
      index = indexOfKind(state, EntryKind::more);
      state.entries.insert(state.entries.begin() + index, Entry{EntryKind::custom, colour, kCustomLabel});
      SendMessageA(state.list, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(kCustomLabel));
    }
    state.entries[static_cast<std::size_t>(index)].colour = colour;
  }
  state.colour = colour;
  SendMessageA(state.list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  InvalidateRect(state.list, nullptr, TRUE);
}

// comdlg32 is loaded only when the dialog is wanted, so the program imports nothing beyond
// USER32 and GDI32.
void pickMoreColours(HWND chooser, State& state) {
  if (state.picking) return;
  state.picking = true;
  Colour chosen = state.colour;
  bool accepted = false;
  if (HMODULE dialogs = LoadLibraryA("comdlg32.dll")) {
    using ChooseColourFunction = BOOL(WINAPI*)(LPCHOOSECOLORA);
    const FARPROC address = GetProcAddress(dialogs, "ChooseColorA");
    ChooseColourFunction chooseColour = nullptr;
    static_assert(sizeof chooseColour == sizeof address);
    std::memcpy(&chooseColour, &address, sizeof chooseColour);
    if (chooseColour != nullptr) {
      CHOOSECOLORA dialog{};
      dialog.lStructSize = sizeof dialog;
      dialog.hwndOwner = GetAncestor(chooser, GA_ROOT);
      dialog.rgbResult = state.colour == kTransparentColour ? 0 : static_cast<COLORREF>(state.colour);
      dialog.lpCustColors = state.customColours.data();
      dialog.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
      if (chooseColour(&dialog)) {
        accepted = true;
        chosen = static_cast<Colour>(dialog.rgbResult & 0x00FFFFFF);
      }
    }
    FreeLibrary(dialogs);
  }
  // Cancelled: the list shows the colour that was chosen before.
  selectColour(state, accepted ? chosen : state.colour);
  state.picking = false;
}

void onListCommand(HWND chooser, State& state, WORD code) {
  if (state.picking) return;
  const auto selected = static_cast<int>(SendMessageA(state.list, CB_GETCURSEL, 0, 0));
  if (selected < 0 || selected >= static_cast<int>(state.entries.size())) return;
  const Entry& entry = state.entries[static_cast<std::size_t>(selected)];
  const bool more = entry.kind == EntryKind::more;
  switch (code) {
    case CBN_SELCHANGE:
      if (!more) {
        state.colour = entry.colour;
      } else if (SendMessageA(state.list, CB_GETDROPPEDSTATE, 0, 0) == 0) {
        pickMoreColours(chooser, state);  // a key press while the list is shut
      }
      break;
    case CBN_SELENDOK:
      // The user chose the entry; an open list merely pointing at it (the pointer resting
      // there while the list is cancelled or the window closes) opens nothing.
      if (more) pickMoreColours(chooser, state);
      break;
    case CBN_SELENDCANCEL:
      if (more) {
        selectColour(state, state.colour);
      } else {
        state.colour = entry.colour;
      }
      break;
    default:
      break;
  }
}

void fillSwatch(HDC dc, RECT swatch, const Entry& entry) {
  if (entry.kind == EntryKind::transparent) {
    // A chequerboard, as image editors show transparency.
    const HBRUSH light = CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF));
    const HBRUSH dark = CreateSolidBrush(RGB(0xC0, 0xC0, 0xC0));
    constexpr int kCell = 4;
    for (int y = swatch.top; y < swatch.bottom; y += kCell) {
      for (int x = swatch.left; x < swatch.right; x += kCell) {
        const RECT cell{x, y, std::min<LONG>(x + kCell, swatch.right), std::min<LONG>(y + kCell, swatch.bottom)};
        FillRect(dc, &cell, (((x - swatch.left) / kCell + (y - swatch.top) / kCell) % 2) ? dark : light);
      }
    }
    DeleteObject(light);
    DeleteObject(dark);
  } else {
    const HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(entry.colour));
    FillRect(dc, &swatch, brush);
    DeleteObject(brush);
  }
  FrameRect(dc, &swatch, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void drawItem(const State& state, const DRAWITEMSTRUCT& item) {
  const HDC dc = item.hDC;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID >= state.entries.size()) return;
  const Entry& entry = state.entries[item.itemID];

  RECT text = item.rcItem;
  text.left += 3;
  if (entry.kind != EntryKind::more) {
    const RECT swatch{item.rcItem.left + 2, item.rcItem.top + 2, item.rcItem.left + 24, item.rcItem.bottom - 2};
    fillSwatch(dc, swatch, entry);
    text.left = swatch.right + 4;
  }
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextA(dc, entry.label, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_COMBOBOXEDIT) != 0) DrawFocusRect(dc, &item.rcItem);
}

LRESULT CALLBACK chooserProc(HWND chooser, UINT message, WPARAM wParam, LPARAM lParam) {
  State* state = stateOf(chooser);
  switch (message) {
    case WM_NCCREATE: {
      auto* fresh = new State();
      fresh->entries.assign(std::begin(kStandardEntries), std::end(kStandardEntries));
      fresh->entries.push_back(Entry{EntryKind::more, 0, kMoreLabel});
      SetWindowLongPtrA(chooser, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(fresh));
      break;
    }
    case WM_CREATE: {
      const auto& create = *reinterpret_cast<const CREATESTRUCTA*>(lParam);
      const int listHeight = kItemHeight * static_cast<int>(state->entries.size() + 1) + 4;
      state->list = CreateWindowExA(0, "COMBOBOX", nullptr,
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST |
                                        CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                                    0, 0, create.cx, create.cy + listHeight, chooser,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), create.hInstance, nullptr);
      if (state->list == nullptr) return -1;
      SendMessageA(state->list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
      fillList(*state);
      fitComboHeight(state->list, create.cy);
      selectColour(*state, static_cast<Colour>(reinterpret_cast<INT_PTR>(create.lpCreateParams)));
      return 0;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrA(chooser, GWLP_USERDATA, 0);
      delete state;
      return DefWindowProcA(chooser, message, wParam, lParam);
    case WM_MEASUREITEM: {
      auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      measure.itemHeight = kItemHeight;
      return TRUE;
    }
    case WM_DRAWITEM:
      if (state != nullptr) drawItem(*state, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (state != nullptr && LOWORD(wParam) == kListId) onListCommand(chooser, *state, HIWORD(wParam));
      return 0;
    case WM_SETFOCUS:
      if (state != nullptr && state->list != nullptr) SetFocus(state->list);
      return 0;
    case WM_ENABLE:
      if (state != nullptr && state->list != nullptr) EnableWindow(state->list, static_cast<BOOL>(wParam));
      return 0;
    case kColourChooserGetColour:
      return state != nullptr ? static_cast<LRESULT>(static_cast<std::uint32_t>(state->colour)) : 0;
    case kColourChooserSetColour:
      if (state != nullptr) selectColour(*state, static_cast<Colour>(static_cast<std::uint32_t>(wParam)));
      return 0;
    default:
      break;
  }
  return DefWindowProcA(chooser, message, wParam, lParam);
}

}  // namespace

void registerColourChooserClass(HINSTANCE instance) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(instance, kColourChooserClass, &existing)) return;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = chooserProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kColourChooserClass;
  RegisterClassExA(&windowClass);
}

HWND createColourChooser(HWND parent, int id, int left, int top, int width, int height, Colour initialColour) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
  registerColourChooserClass(instance);
  return CreateWindowExA(0, kColourChooserClass, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP, left, top, width,
                         height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                         reinterpret_cast<void*>(static_cast<INT_PTR>(static_cast<std::uint32_t>(initialColour))));
}

Colour colourChooserColour(HWND chooser) {
  return static_cast<Colour>(static_cast<std::uint32_t>(SendMessageA(chooser, kColourChooserGetColour, 0, 0)));
}

void setColourChooserColour(HWND chooser, Colour colour) {
  SendMessageA(chooser, kColourChooserSetColour, static_cast<WPARAM>(static_cast<std::uint32_t>(colour)), 0);
}

HWND colourChooserList(HWND chooser) {
  const State* state = stateOf(chooser);
  return state != nullptr ? state->list : nullptr;
}

}  // namespace tamblin::app
