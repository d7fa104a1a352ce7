// The live-screen subcommands of recognise, run as a separate process against a test window.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "recognition/win32/recognition_object.hpp"
#include "tests/win32/capture/capture_checks.hpp"

namespace {

using namespace capture_test;
using tamblin::识图1类;

constexpr const char* kTitle = "Tamblin recognise test";

// Wine's PrintWindow reaches a window of another process without its picture (the print comes
// back black), while Windows renders it. The tool is such another process, so what a window
// capture of the test window holds is checked on Windows only; its shape is checked everywhere.
bool printsAcrossProcesses() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr;
}

struct ToolRun {
  DWORD status = 0;
  std::string out;
};

// The tool's path as the build knows it; under Wine a Unix path is reached through drive Z:.
std::string toolPath() {
  std::string path = RECOGNISE_EXE;
  if (!path.empty() && path.front() == '/') {
    for (char& c : path)
      if (c == '/') c = '\\';
    path = "Z:" + path;
  }
  return path;
}

ToolRun recognise(const std::vector<std::string>& args) {
  std::string command = "\"" + toolPath() + "\"";
  for (const std::string& arg : args) command += " \"" + arg + "\"";
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  CreatePipe(&readEnd, &writeEnd, &inherit, 0);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  ToolRun run;
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    ADD_FAILURE() << "cannot start " << command;
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
    run.status = 999;
    return run;
  }
  CloseHandle(writeEnd);
  char buffer[4096];
  DWORD got = 0;
  // The window under test lives on this thread: keep its messages flowing while the tool runs.
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr)) break;
    if (available > 0) {
      if (!ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) || got == 0) break;
      run.out.append(buffer, got);
      continue;
    }
    if (WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0) {
      while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
             ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
        run.out.append(buffer, got);
      break;
    }
    pump(1);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &run.status);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  CloseHandle(readEnd);
  return run;
}

std::string tempFile(const char* name) {
  char directory[MAX_PATH];
  GetTempPathA(MAX_PATH, directory);
  return std::string(directory) + "tamblin-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

ByteArray readBytes(const std::string& path) {
  ByteArray bytes;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<std::uint8_t>(c));
    std::fclose(file);
  }
  return bytes;
}

std::string hexHandle(HWND window) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
  return text;
}

class RecogniseTool : public ::testing::Test {
 protected:
  void SetUp() override {
    SetWindowTextA(window.get(), kTitle);
    ASSERT_TRUE(window.waitUntilShown());
  }
  void TearDown() override {
    for (const std::string& file : files) DeleteFileA(file.c_str());
  }
  std::string file(const char* name) {
    files.push_back(tempFile(name));
    return files.back();
  }
  PatternWindow window{640, 420, 37, 23};
  识图1类 recognition;
  std::vector<std::string> files;
};

TEST_F(RecogniseTool, CapturesWriteTheImageAndPrintItsLength) {
  const std::string region = file("region.bmp");
  ToolRun run = recognise({"capture-region", region, "--window", kTitle, "--x", "2", "--y", "1", "--width", "9"});
  EXPECT_EQ(run.status, 0u) << run.out;
  const ByteArray regionBytes = readBytes(region);
  EXPECT_EQ(run.out, std::to_string(regionBytes.size()) + "\r\n");
  expectHeader(regionBytes, 9, 22, 24);
  expectPicture(regionBytes, window, 2, 1);

  const POINT origin = window.screenPoint(0, 0);
  const std::string screen = file("screen.bmp");
  run = recognise({"capture-region", screen, "--x", std::to_string(origin.x), "--y", std::to_string(origin.y),
                   "--width", "37", "--height", "23"});
  EXPECT_EQ(run.status, 0u) << run.out;
  EXPECT_EQ(readBytes(screen), recognition.captureRegion(0, 0, 0, 0, window.get()));

  const std::string client = file("client.bmp");
  run = recognise({"capture-window", hexHandle(window.get()), client, "--x", "3", "--width", "5", "--height", "4"});
  EXPECT_EQ(run.status, 0u) << run.out;
  const ByteArray clientBytes = readBytes(client);
  EXPECT_EQ(run.out, std::to_string(clientBytes.size()) + "\r\n");
  expectHeader(clientBytes, 5, 4, recognition.getColourDepth());
  if (printsAcrossProcesses()) {
    EXPECT_EQ(clientBytes, recognition.captureWindow(window.get(), 3, 0, 5, 4));
  }

  const std::string nothing = file("nothing.bmp");
  run = recognise({"capture-region", nothing, "--width", "-5"});
  EXPECT_EQ(run.status, 1u) << run.out;
  EXPECT_EQ(run.out, "58\r\n");
  EXPECT_EQ(readBytes(nothing).size(), 58u);
}

TEST_F(RecogniseTool, PrepareCapturesAHiddenWindowAndPutsItBack) {
  ShowWindow(window.get(), SW_HIDE);
  pump();
  const std::string plain = file("plain.bmp");
  ToolRun run = recognise({"capture-window", kTitle, plain});
  EXPECT_EQ(run.status, 1u) << run.out;
  EXPECT_EQ(run.out, "0\r\n");

  const std::string prepared = file("prepared.bmp");
  run = recognise({"capture-window", kTitle, prepared, "--prepare"});
  EXPECT_EQ(run.status, 0u) << run.out;
  const ByteArray bytes = readBytes(prepared);
  expectHeader(bytes, 37, 23, recognition.getColourDepth());
  if (printsAcrossProcesses()) {
    expectPicture(bytes, window, 0, 0);
  }
  pump();
  EXPECT_FALSE(IsWindowVisible(window.get()));
  RECT rect{};
  GetWindowRect(window.get(), &rect);
  EXPECT_EQ(rect.left, 640);
  EXPECT_EQ(rect.top, 420);
}

TEST_F(RecogniseTool, PixelsAndSearches) {
  const std::string red = "0x" + std::string("000000FF");
  struct Case {
    std::vector<std::string> args;
    DWORD status;
    std::string out;
    bool printsTheWindow = false;
  };
  const std::string needle = file("needle.bmp");
  ASSERT_EQ(recognise({"capture-window", kTitle, needle, "--x", "5", "--y", "4", "--width", "6", "--height", "3"}).status,
            0u);
  const POINT origin = window.screenPoint(0, 0);
  char expected[16];
  std::snprintf(expected, sizeof expected, "0x%08X", static_cast<unsigned>(window.at(4, 3)));
  const Case cases[] = {
      {{"colour-depth"}, 0, std::to_string(recognition.getColourDepth())},
      {{"window-pixel", kTitle, "5", "4"}, 0, expected, true},
      {{"window-pixel", kTitle, "0", "4"}, 1, "-1"},
      {{"screen-pixel", "4", "3", "--window", kTitle, "--client"}, 0, expected},
      {{"screen-pixel", std::to_string(origin.x + 4), std::to_string(origin.y + 3)}, 0, expected},
      {{"find-colour-in-window", kTitle, red}, 0, "21 16", true},
      {{"find-colour-in-window", kTitle, red, "--start", "21,16"}, 0, "22 16", true},
      {{"find-colour-in-region", red, "--window", kTitle}, 0, "21 16"},
      {{"find-colour-in-region", red, "--x", std::to_string(origin.x), "--y", std::to_string(origin.y), "--width",
        "37", "--height", "23"},
       0,
       "21 16"},
      {{"find-colour-in-region", red}, 1, "-1 -1"},
      {{"find-image-in-window", kTitle, needle}, 0, "6 7", true},
      {{"find-image-in-window", kTitle, needle, "--x", "2", "--y", "1"}, 0, "4 6", true},
      {{"find-image-in-window", kTitle, needle, "--tolerance", "3", "--start", "6,7"}, 1, "-1 -1", true},
  };
  for (const Case& c : cases) {
    if (c.printsTheWindow && !printsAcrossProcesses()) continue;
    std::string shown;
    for (const std::string& arg : c.args) shown += arg + " ";
    const ToolRun run = recognise(c.args);
    EXPECT_EQ(run.status, c.status) << shown << "-> " << run.out;
    EXPECT_EQ(run.out, c.out + "\r\n") << shown;
  }
}

TEST_F(RecogniseTool, BadWindowsAndArgumentsAreUsageErrors) {
  const std::vector<std::string> bad[] = {
      {"window-pixel", "no window has this title", "1", "1"},
      {"capture-window", kTitle},
      {"screen-pixel", "1", "1", "--client"},
      {"find-colour-in-window", kTitle, "red"},
  };
  for (const auto& args : bad) {
    const ToolRun run = recognise(args);
    EXPECT_EQ(run.status, 2u) << args[0] << ": " << run.out;
    EXPECT_EQ(run.out.rfind("recognise: ", 0), 0u) << run.out;
  }
}

}  // namespace
