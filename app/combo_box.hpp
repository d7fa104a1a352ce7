#pragma once
// Sizing of standard combo boxes that behaves the same on Windows and on Wine.
#include <windows.h>

namespace tamblin::app {

// Makes the closed combo box exactly height pixels tall.
void fitComboHeight(HWND combo, int height);

// Sets the height of the items of a combo box's list.
void setComboItemHeight(HWND combo, int height);

}  // namespace tamblin::app
