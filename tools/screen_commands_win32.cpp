// The live-screen subcommands of the Windows build: captures, pixel reads and searches of what the
// screen or a window shows now, so that needles can be taken and searches tried from a shell.
#include <windows.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>

#include "recognition/win32/recognition_object.hpp"
#include "tools/cli.hpp"
#include "tools/screen_commands.hpp"

namespace tamblin::tool {

namespace {

using cli::Arguments;

// The recognition object and savedWindows for one command. Ending it releases the list, which
// puts back a window that --prepare moved even when the command fails half-way.
class Session {
 public:
  Session() { startRecognition(); }
  ~Session() { stopRecognition(); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  识图1类& recognition() { return *recognitionObject(); }
};

// A window named by its exact title, or by its handle in 0x-hex. A handle is taken as given, so
// the operations answer for one that names no window; a title must name one.
HWND parseWindow(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    std::uint64_t value = 0;
    bool hex = text.size() <= 18;
    for (const char c : text.substr(2)) {
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0) hex = false;
      value = value * 16 + static_cast<std::uint64_t>(digit < 0 ? 0 : digit);
    }
    if (hex) return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
  }
  const std::string title(text);
  HWND window = FindWindowA(nullptr, title.c_str());
  if (window == nullptr) cli::fail("no top-level window is titled '" + title + "'");
  return window;
}

// Writes a capture unchanged and prints its length; a failure value (empty, or the bare 58-byte
// prefix) still goes to OUT, and counts as nothing found.
int writeCapture(const std::string& path, const ByteArray& image) {
  cli::writeFile(path, image);
  return cli::printNumber(static_cast<std::int64_t>(image.size()), image.size() > 58);
}

int colourDepth(std::span<char*> args) {
  const Arguments arguments(args, {});
  arguments.expectPositional(0, 0, "colour-depth");
  Session session;
  const std::int32_t depth = session.recognition().getColourDepth();
  return cli::printNumber(depth, depth != 0);
}

int screenPixel(std::span<char*> args) {
  const Arguments arguments(args, {"--window"}, {"--client"});
  arguments.expectPositional(2, 2, "screen-pixel X Y [--window W --client]");
  const std::int32_t x = cli::parseNumber(arguments.at(0), "X");
  const std::int32_t y = cli::parseNumber(arguments.at(1), "Y");
  const std::optional<std::string_view> window = arguments.value("--window");
  if (arguments.flag("--client") && !window) cli::fail("--client needs --window W");
  Session session;
  return cli::printColour(session.recognition().getScreenPixel(x, y, window ? parseWindow(*window) : nullptr,
                                                               arguments.flag("--client") ? 1 : 0));
}

int captureRegion(std::span<char*> args) {
  const Arguments arguments(args, {"--x", "--y", "--width", "--height", "--window"});
  arguments.expectPositional(1, 1, "capture-region OUT [--x X] [--y Y] [--width N] [--height N] [--window W]");
  const std::optional<std::string_view> windowText = arguments.value("--window");
  // Only a given --window selects window mode; without one the region is in screen terms.
  const std::optional<HWND> window = windowText ? std::optional<HWND>(parseWindow(*windowText)) : std::nullopt;
  Session session;
  return writeCapture(std::string(arguments.at(0)),
                      session.recognition().captureRegion(arguments.number("--x", 0), arguments.number("--y", 0),
                                                          arguments.number("--width", 0),
                                                          arguments.number("--height", 0), window));
}

int captureWindow(std::span<char*> args) {
  const Arguments arguments(args, {"--x", "--y", "--width", "--height"}, {"--window-coordinates", "--prepare"});
  arguments.expectPositional(2, 2,
                             "capture-window W OUT [--x X] [--y Y] [--width N] [--height N] "
                             "[--window-coordinates] [--prepare]");
  const HWND window = parseWindow(arguments.at(0));
  Session session;
  识图1类& recognition = session.recognition();
  const bool prepared = arguments.flag("--prepare") && recognition.prepareWindow(window) != 0;
  const ByteArray image =
      recognition.captureWindow(window, arguments.number("--x", 0), arguments.number("--y", 0),
                                arguments.number("--width", 0), arguments.number("--height", 0),
                                arguments.flag("--window-coordinates") ? 1 : 0);
  if (prepared) recognition.prepareWindow(window, 1);
  return writeCapture(std::string(arguments.at(1)), image);
}

int windowPixel(std::span<char*> args) {
  const Arguments arguments(args, {});
  arguments.expectPositional(3, 3, "window-pixel W X Y");
  const HWND window = parseWindow(arguments.at(0));
  const std::int32_t x = cli::parseNumber(arguments.at(1), "X");
  const std::int32_t y = cli::parseNumber(arguments.at(2), "Y");
  Session session;
  return cli::printColour(session.recognition().getWindowPixel(window, x, y));
}

// The rectangle, tolerance and start point that the four searches share.
struct SearchOptions {
  std::int32_t x, y, width, height, tolerance;
  ImagePoint start;
};
const std::initializer_list<std::string_view> kRegionSearchOptions{"--x", "--y", "--width", "--height",
                                                                       "--tolerance", "--start", "--window"};
const std::initializer_list<std::string_view> kWindowSearchOptions{"--x", "--y", "--width", "--height",
                                                                       "--tolerance", "--start"};
constexpr std::string_view kSearchUsage = "[--x X --y Y --width N --height N] [--tolerance T] [--start X,Y]";

SearchOptions searchOptions(const Arguments& arguments) {
  return {arguments.number("--x", 0),         arguments.number("--y", 0),
          arguments.number("--width", 0),     arguments.number("--height", 0),
          arguments.number("--tolerance", 0), arguments.point("--start", {})};
}
HWND optionalWindow(const Arguments& arguments) {
  const std::optional<std::string_view> window = arguments.value("--window");
  return window ? parseWindow(*window) : nullptr;
}

int findImageInRegion(std::span<char*> args) {
  const Arguments arguments(args, kRegionSearchOptions, {"--raw"});
  arguments.expectPositional(1, 1, "find-image-in-region SMALL " + std::string(kSearchUsage) + " [--window W] [--raw]");
  const ByteArray small = cli::loadImageFile(std::string(arguments.at(0)), arguments.flag("--raw"));
  const SearchOptions o = searchOptions(arguments);
  const HWND window = optionalWindow(arguments);
  Session session;
  return cli::printPoint(
      session.recognition().findImageInRegion(small, o.x, o.y, o.width, o.height, o.tolerance, o.start, window));
}

int findColourInRegion(std::span<char*> args) {
  const Arguments arguments(args, kRegionSearchOptions);
  arguments.expectPositional(1, 1, "find-colour-in-region COLOUR " + std::string(kSearchUsage) + " [--window W]");
  const Colour colour = cli::parseNumber(arguments.at(0), "COLOUR");
  const SearchOptions o = searchOptions(arguments);
  const HWND window = optionalWindow(arguments);
  Session session;
  return cli::printPoint(
      session.recognition().findColourInRegion(colour, o.x, o.y, o.width, o.height, o.tolerance, o.start, window));
}

int findImageInWindow(std::span<char*> args) {
  const Arguments arguments(args, kWindowSearchOptions, {"--raw"});
  arguments.expectPositional(2, 2, "find-image-in-window W SMALL " + std::string(kSearchUsage) + " [--raw]");
  const HWND window = parseWindow(arguments.at(0));
  const ByteArray small = cli::loadImageFile(std::string(arguments.at(1)), arguments.flag("--raw"));
  const SearchOptions o = searchOptions(arguments);
  Session session;
  return cli::printPoint(
      session.recognition().findImageInWindow(window, small, o.x, o.y, o.width, o.height, o.tolerance, o.start));
}

int findColourInWindow(std::span<char*> args) {
  const Arguments arguments(args, kWindowSearchOptions);
  arguments.expectPositional(2, 2, "find-colour-in-window W COLOUR " + std::string(kSearchUsage));
  const HWND window = parseWindow(arguments.at(0));
  const Colour colour = cli::parseNumber(arguments.at(1), "COLOUR");
  const SearchOptions o = searchOptions(arguments);
  Session session;
  return cli::printPoint(
      session.recognition().findColourInWindow(window, colour, o.x, o.y, o.width, o.height, o.tolerance, o.start));
}

}  // namespace

std::optional<int> runScreenCommand(std::string_view command, std::span<char*> args) {
  if (command == "colour-depth") return colourDepth(args);
  if (command == "screen-pixel") return screenPixel(args);
  if (command == "capture-region") return captureRegion(args);
  if (command == "capture-window") return captureWindow(args);
  if (command == "window-pixel") return windowPixel(args);
  if (command == "find-image-in-region") return findImageInRegion(args);
  if (command == "find-image-in-window") return findImageInWindow(args);
  if (command == "find-colour-in-region") return findColourInRegion(args);
  if (command == "find-colour-in-window") return findColourInWindow(args);
  return std::nullopt;
}

std::string_view screenCommandUsage() {
  return "On the live screen (W: a window's exact title, or its handle in 0x-hex):\n"
         "  colour-depth                        bits per pixel of the display\n"
         "  screen-pixel X Y [--window W --client]                          0x00BBGGRR, or -1\n"
         "  capture-region OUT [--x X] [--y Y] [--width N] [--height N] [--window W]\n"
         "                                      writes the bitmap image to OUT, prints its length\n"
         "  capture-window W OUT [--x X] [--y Y] [--width N] [--height N] [--window-coordinates] [--prepare]\n"
         "                                      likewise; --prepare shows a hidden or minimised window\n"
         "                                      off-screen for the capture and puts it back\n"
         "  window-pixel W X Y                  pixel of the client area, counted from 1; or -1\n"
         "  find-image-in-region SMALL [--x X --y Y --width N --height N] [--tolerance T] [--start X,Y]\n"
         "                       [--window W]   X Y inside the capture\n"
         "  find-image-in-window W SMALL [--x X --y Y --width N --height N] [--tolerance T] [--start X,Y]\n"
         "  find-colour-in-region COLOUR [...the same...] [--window W]\n"
         "  find-colour-in-window W COLOUR [...the same...]\n"
         "  Without --window a region search needs --width and --height: the class then reads the\n"
         "  rectangle in screen terms and replaces no size of 0.\n";
}

}  // namespace tamblin::tool
