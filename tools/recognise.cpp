// recognise: the recognition class's operations from a shell. See --help.
#include <cstdio>
#include <exception>
#include <new>
#include <span>
#include <string>
#include <string_view>

#include "tools/cli.hpp"
#include "tools/core_commands.hpp"
#include "tools/screen_commands.hpp"

namespace {

void printUsage(std::FILE* out) {
  std::fputs("usage: recognise COMMAND ARGUMENTS...\n", out);
  std::fputs(std::string(tamblin::tool::coreCommandUsage()).c_str(), out);
  std::fputs(std::string(tamblin::tool::screenCommandUsage()).c_str(), out);
  std::fputs(
      "Numbers are decimal or 0x-hex, negative allowed; hex up to 0xFFFFFFFF is a 32-bit pattern.\n"
      "Files in this system's bitmap layout are taken as they are, a standard 24- or 32-bit BMP is\n"
      "converted first, any other file is taken as bytes; --raw takes every file as it is.\n"
      "Exit status: 0 found or computed, 1 nothing found, 2 usage or file error.\n",
      out);
}

}  // namespace

int main(int argc, char** argv) {
  const std::span<char*> all(argv, static_cast<std::size_t>(argc));
  if (all.size() < 2) {
    std::fputs("recognise: no command given; 'recognise --help' lists them\n", stderr);
    return tamblin::cli::kExitUsage;
  }
  const std::string_view command = all[1];
  if (command == "--help" || command == "-h" || command == "help") {
    printUsage(stdout);
    return tamblin::cli::kExitFound;
  }
  const std::span<char*> args = all.subspan(2);
  try {
    if (const std::optional<int> status = tamblin::tool::runCoreCommand(command, args)) return *status;
    if (const std::optional<int> status = tamblin::tool::runScreenCommand(command, args)) return *status;
    tamblin::cli::fail("unknown command '" + std::string(command) + "'; 'recognise --help' lists them");
  } catch (const tamblin::cli::UsageError& error) {
    std::fprintf(stderr, "recognise: %s\n", error.what());
  } catch (const std::bad_alloc&) {
    std::fputs("recognise: out of memory\n", stderr);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "recognise: %s\n", error.what());
  }
  return tamblin::cli::kExitUsage;
}
