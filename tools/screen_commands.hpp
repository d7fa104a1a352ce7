#pragma once
// The subcommands of `recognise` that work on the live screen (Windows builds only).
#include <optional>
#include <span>
#include <string_view>

namespace tamblin::tool {

// The exit status of command run with args (the arguments after the command's name), or nullopt
// when command is none of the screen commands. Usage errors are thrown as cli::UsageError.
std::optional<int> runScreenCommand(std::string_view command, std::span<char*> args);

// Lines for `recognise --help`, each ending in '\n'; empty where there are no screen commands.
std::string_view screenCommandUsage();

}  // namespace tamblin::tool
