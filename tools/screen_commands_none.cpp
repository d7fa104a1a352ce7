// Builds without a screen have no screen commands.
#include "tools/screen_commands.hpp"

namespace tamblin::tool {

std::optional<int> runScreenCommand(std::string_view, std::span<char*>) { return std::nullopt; }

std::string_view screenCommandUsage() { return {}; }

}  // namespace tamblin::tool
