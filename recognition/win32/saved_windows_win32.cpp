#include "recognition/win32/saved_windows.hpp"

#include <algorithm>
#include <memory>

#include "recognition/win32/recognition_object.hpp"

namespace tamblin {

namespace {

std::unique_ptr<std::vector<SavedWindow>> theSavedWindows;

// Back to the saved top-left corner with the current size, then hidden and minimised again as
// the window was before it was prepared.
void putBack(const SavedWindow& saved) {
  RECT now{0, 0, 0, 0};
  GetWindowRect(saved.window, &now);
  MoveWindow(saved.window, saved.left, saved.top, now.right - now.left, now.bottom - now.top, TRUE);
  if (saved.wasVisible == 0) ShowWindow(saved.window, SW_HIDE);
  if (saved.wasIconic != 0) ShowWindow(saved.window, SW_MINIMIZE);
}

}  // namespace

std::vector<SavedWindow>& savedWindows() {
  // A caller that never went through start-up still gets a list rather than a null dereference.
  if (!theSavedWindows) theSavedWindows = std::make_unique<std::vector<SavedWindow>>();
  return *theSavedWindows;
}

void createSavedWindows() { theSavedWindows = std::make_unique<std::vector<SavedWindow>>(); }

void releaseSavedWindows() {
  if (!theSavedWindows) return;
  // A window left prepared would otherwise stay off-screen, out of the user's reach, after exit.
  for (const SavedWindow& saved : *theSavedWindows) {
    if (IsWindow(saved.window) != 0) putBack(saved);
  }
  theSavedWindows.reset();
}

std::int32_t 识图1类::prepareWindow(HWND window, std::int32_t restore) {
  if (GetParent(window) != nullptr) return 0;
  std::vector<SavedWindow>& list = savedWindows();
  const auto listed = std::find_if(list.begin(), list.end(),
                                   [window](const SavedWindow& saved) { return saved.window == window; });

  if (restore == 0) {
    // A handle that names no window must not leave a record behind nor report success.
    if (IsWindow(window) == 0) return 0;
    if (listed != list.end()) return 0;
    SavedWindow saved;
    saved.window = window;
    saved.wasIconic = IsIconic(window);
    if (saved.wasIconic != 0) ShowWindow(window, SW_SHOWNORMAL);
    // Asked only now: a minimised window has just been shown by the step above.
    saved.wasVisible = IsWindowVisible(window);
    if (saved.wasVisible == 0) ShowWindow(window, SW_SHOWNORMAL);
    RECT shown{0, 0, 0, 0};
    GetWindowRect(window, &shown);
    saved.left = shown.left;
    saved.top = shown.top;
    list.push_back(saved);
    MoveWindow(window, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), shown.right - shown.left,
               shown.bottom - shown.top, TRUE);
    return 1;
  }

  if (listed == list.end()) return 0;
  const SavedWindow saved = *listed;
  list.erase(listed);
  if (IsWindow(window) == 0) return 0;
  putBack(saved);
  return 1;
}

}  // namespace tamblin
