#pragma once
// The subcommands of `recognise` over files and numbers, on every platform.
#include <optional>
#include <span>
#include <string_view>

namespace tamblin::tool {

// The exit status of command run with args, or nullopt when command is not one of these.
std::optional<int> runCoreCommand(std::string_view command, std::span<char*> args);

std::string_view coreCommandUsage();

}  // namespace tamblin::tool
