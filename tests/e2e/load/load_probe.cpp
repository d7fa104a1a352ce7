// Helper of the load test, run on the same Wine desktop as the program:
//   load_probe usage     GDI objects and memory of the program's process, as Windows counts them
//   load_probe answers   whether the program's window answers a message within a second
// Exit status 1 when the program's window is not there (or, for answers, does not answer).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "app/main_window.hpp"
#include "tests/win32/reliability/resource_use.hpp"

namespace {

HWND mainWindow() { return FindWindowA(tamblin::app::kMainWindowClass, nullptr); }

int usage() {
  const HWND main = mainWindow();
  if (main == nullptr) return 1;
  DWORD id = 0;
  GetWindowThreadProcessId(main, &id);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
  if (process == nullptr) return 1;
  const reliability::GdiObjects gdi = reliability::gdiObjects(process);
  const reliability::MemoryUse memory = reliability::memoryUse(process);
  CloseHandle(process);
  std::printf("gdi %d %d\n", gdi.all, gdi.regions);
  std::printf("private %zu\n", memory.privateBytes);
  std::printf("workingset %zu\n", memory.workingSet);
  return gdi.all > 0 ? 0 : 1;
}

int answers() {
  const HWND main = mainWindow();
  if (main == nullptr) return 1;
  const auto start = std::chrono::steady_clock::now();
  DWORD_PTR result = 0;
  const LRESULT answered = SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result);
  char title[64] = "";
  if (answered != 0) GetWindowTextA(main, title, sizeof title);
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  if (answered == 0) {
    std::printf("no answer within %.0f ms\n", took.count());
    return 1;
  }
  std::printf("answered in %.1f ms, title \"%s\"\n", took.count(), title);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "usage") == 0) return usage();
  if (argc == 2 && std::strcmp(argv[1], "answers") == 0) return answers();
  std::fputs("usage: load_probe usage|answers\n", stderr);
  return 2;
}
