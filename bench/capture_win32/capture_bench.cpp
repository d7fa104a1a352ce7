// captureRegion of the whole screen against the bare platform work it cannot avoid: one BitBlt
// into a 24-bit DIB section and one GetDIBits of its rows. Google Benchmark has no MinGW build
// here, so this is a plain interleaved timing loop; the ratio is what matters, measured in one run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "recognition/win32/recognition_object.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double bareCapture(int width, int height, std::vector<unsigned char>& buffer) {
  const auto start = Clock::now();
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, section);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  GetDIBits(memory, section, 0, static_cast<UINT>(height), buffer.data(), &info, DIB_RGB_COLORS);
  DeleteObject(section);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 40;
  tamblin::startRecognition();
  auto* object = tamblin::recognitionObject();
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  std::vector<unsigned char> buffer(static_cast<std::size_t>((width * 3 + 3) / 4 * 4) * height);

  std::vector<double> bare, capture;
  std::size_t length = 0;
  for (int i = 0; i < rounds + 2; ++i) {
    const double b = bareCapture(width, height, buffer);
    const auto start = Clock::now();
    length = object->captureRegion().size();
    const double c = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (i >= 2) {  // the first rounds warm the caches and Wine's surfaces
      bare.push_back(b);
      capture.push_back(c);
    }
  }
  tamblin::stopRecognition();
  const double mb = median(bare), mc = median(capture);
  std::printf("| captureRegion, full %dx%d screen (%zu bytes) | %.2f ms | bare BitBlt+GetDIBits %.2f ms | ratio %.3f |\n",
              width, height, length, mc, mb, mc / mb);
  return 0;
}
