#include "tools/core_commands.hpp"

#include <cstdio>
#include <string>

#include "recognition/core/bitmap_image.hpp"
#include "recognition/core/byte_search.hpp"
#include "recognition/core/colour.hpp"
#include "recognition/core/colour_search.hpp"
#include "recognition/core/image_search.hpp"
#include "tools/cli.hpp"

namespace tamblin::tool {

namespace {

using cli::Arguments;

ByteArray load(const Arguments& arguments, std::size_t index) {
  return cli::loadImageFile(std::string(arguments.at(index)), arguments.flag("--raw"));
}

int info(std::span<char*> args) {
  const Arguments arguments(args, {}, {"--raw"});
  arguments.expectPositional(1, 1, "info IMAGE [--raw]");
  const ImageInfo result = getImageInfo(load(arguments, 0));
  std::printf("%d %d %d %d %d\n", result.width, result.height, result.bitsPerPixel, result.size, result.bytesPerPixel);
  return result == ImageInfo{} ? cli::kExitNotFound : cli::kExitFound;
}

int pixel(std::span<char*> args) {
  const Arguments arguments(args, {}, {"--raw"});
  arguments.expectPositional(3, 3, "pixel IMAGE X Y [--raw]");
  const ByteArray image = load(arguments, 0);
  return cli::printColour(
      getImagePixel(image, cli::parseNumber(arguments.at(1), "X"), cli::parseNumber(arguments.at(2), "Y")));
}

// One answer, or with --all every answer, each fed back as the next start point.
template <typename Search>
int printPoints(const Arguments& arguments, Search search) {
  ImagePoint start = arguments.point("--start", {});
  ImagePoint answer = search(start);
  if (!arguments.flag("--all") || answer == kNotFound) return cli::printPoint(answer);
  // Each answer's start offset lies beyond the hit, so the walk ends; the check is a backstop.
  while (answer != kNotFound && answer != start) {
    cli::printPoint(answer);
    start = answer;
    answer = search(start);
  }
  return cli::kExitFound;
}

int findImageCommand(std::span<char*> args) {
  const Arguments arguments(args, {"--tolerance", "--start"}, {"--all", "--raw"});
  arguments.expectPositional(2, 2, "find-image BIG SMALL [--tolerance T] [--start X,Y] [--all] [--raw]");
  const ByteArray big = load(arguments, 0);
  const ByteArray small = load(arguments, 1);
  const std::int32_t tolerance = arguments.number("--tolerance", 0);
  return printPoints(arguments, [&](ImagePoint start) { return findImage(big, small, tolerance, start); });
}

int findColourCommand(std::span<char*> args) {
  const Arguments arguments(args, {"--tolerance", "--start"}, {"--all", "--raw"});
  arguments.expectPositional(2, 2, "find-colour IMAGE COLOUR [--tolerance T] [--start X,Y] [--all] [--raw]");
  const ByteArray image = load(arguments, 0);
  const Colour colour = cli::parseNumber(arguments.at(1), "COLOUR");
  const std::int32_t tolerance = arguments.number("--tolerance", 0);
  return printPoints(arguments, [&](ImagePoint start) { return findColour(image, colour, tolerance, start); });
}

int findBytesCommand(std::span<char*> args) {
  const Arguments arguments(args, {"--start", "--tolerance"}, {"--raw"});
  arguments.expectPositional(2, 2, "find-bytes HAYSTACK NEEDLE [--start N] [--tolerance T] [--raw]");
  const ByteArray haystack = load(arguments, 0);
  const ByteArray needle = load(arguments, 1);
  const std::int32_t position =
      findBytesTolerant(haystack, needle, arguments.number("--start", 0), arguments.number("--tolerance", 0));
  return cli::printNumber(position, position != -1);
}

constexpr std::string_view kColourUsage =
    "colour grey|quantise565|brightness|spread C | colour component C CHANNEL | colour difference C1 C2 [MODE]";

int colourCommand(std::span<char*> args) {
  const Arguments arguments(args, {});
  if (arguments.count() < 2) cli::fail("usage: recognise " + std::string(kColourUsage));
  const std::string_view operation = arguments.at(0);
  const auto colourAt = [&](std::size_t index) {
    const char* name = operation != "difference" ? "C" : (index == 1 ? "C1" : "C2");
    return cli::parseNumber(arguments.at(index), name);
  };
  if (operation == "grey" || operation == "quantise565") {
    arguments.expectPositional(2, 2, "colour " + std::string(operation) + " C");
    return cli::printColour(operation == "grey" ? toGrey(colourAt(1)) : quantise565(colourAt(1)));
  }
  if (operation == "brightness" || operation == "spread") {
    arguments.expectPositional(2, 2, "colour " + std::string(operation) + " C");
    const Colour colour = colourAt(1);
    return cli::printNumber(operation == "brightness" ? colourBrightness(colour) : colourSpread(colour), true);
  }
  if (operation == "component") {
    arguments.expectPositional(3, 3, "colour component C CHANNEL");
    return cli::printNumber(colourComponent(colourAt(1), cli::parseNumber(arguments.at(2), "CHANNEL")), true);
  }
  if (operation == "difference") {
    arguments.expectPositional(3, 4, "colour difference C1 C2 [MODE]");
    const std::int32_t mode = arguments.count() == 4 ? cli::parseNumber(arguments.at(3), "MODE") : 0;
    return cli::printNumber(colourDifference(colourAt(1), colourAt(2), mode), true);
  }
  cli::fail("unknown colour operation '" + std::string(operation) + "'; usage: recognise " + std::string(kColourUsage));
}

}  // namespace

std::optional<int> runCoreCommand(std::string_view command, std::span<char*> args) {
  if (command == "info") return info(args);
  if (command == "pixel") return pixel(args);
  if (command == "find-image") return findImageCommand(args);
  if (command == "find-colour") return findColourCommand(args);
  if (command == "find-bytes") return findBytesCommand(args);
  if (command == "colour") return colourCommand(args);
  return std::nullopt;
}

std::string_view coreCommandUsage() {
  return "  info IMAGE                          W H BITS SIZE BYTES\n"
         "  pixel IMAGE X Y                     0x00BBGGRR, or -1\n"
         "  find-image BIG SMALL [--tolerance T] [--start X,Y] [--all]     X Y per line\n"
         "  find-colour IMAGE COLOUR [--tolerance T] [--start X,Y] [--all] X Y per line\n"
         "  find-bytes HAYSTACK NEEDLE [--start N] [--tolerance T]         position from 1, or -1\n"
         "  colour grey|quantise565 C           0x00BBGGRR\n"
         "  colour brightness|spread C          number\n"
         "  colour component C CHANNEL          number (channel 1 red, 2 green, 3 blue)\n"
         "  colour difference C1 C2 [MODE]      number (mode 1-3 one channel, 4 the sum)\n";
}

}  // namespace tamblin::tool
