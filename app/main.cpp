// tamblin.exe: the crosshair program.
#include <windows.h>

#include "app/main_window.hpp"
#include "recognition/win32/recognition_object.hpp"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  tamblin::startRecognition();
  const tamblin::app::MainWindow main = tamblin::app::createMainWindow(instance);
  const int exitCode = main.window != nullptr ? tamblin::app::runMessageLoop(main.window) : 1;
  tamblin::stopRecognition();
  return exitCode;
}
