#include "app/combo_box.hpp"

namespace tamblin::app {

// Makes a combo box's closed field exactly height pixels tall. Platforms differ in what the
// field's item height includes (Wine adds 2 to the value set), so measure and correct.
void fitComboHeight(HWND combo, int height) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT shown{};
    GetWindowRect(combo, &shown);
    const int error = height - (shown.bottom - shown.top);
    if (error == 0) return;
    const auto field = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    if (field + error <= 0) return;
    SendMessageA(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + error);
  }
}

// Sets the height of a combo box's list items. Wine applies CB_SETITEMHEIGHT to owner-drawn
// lists only, so tell the list itself when the combo box did not.
void setComboItemHeight(HWND combo, int height) {
  SendMessageA(combo, CB_SETITEMHEIGHT, 0, height);
  if (SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0) == height) return;
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (GetComboBoxInfo(combo, &info) && info.hwndList != nullptr) SendMessageA(info.hwndList, LB_SETITEMHEIGHT, 0, height);
}

}  // namespace tamblin::app
