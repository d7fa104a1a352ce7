#pragma once
// savedWindows: the windows that prepareWindow moved, module state beside the class.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace tamblin {

struct SavedWindow {
  HWND window = nullptr;
  std::int32_t wasVisible = 0;
  std::int32_t wasIconic = 0;
  std::int32_t left = 0;
  std::int32_t top = 0;
};

// The process-wide list; valid between createSavedWindows() and releaseSavedWindows().
std::vector<SavedWindow>& savedWindows();
void createSavedWindows();
// Releases the list. Windows still listed that still exist are put back first.
void releaseSavedWindows();

}  // namespace tamblin
