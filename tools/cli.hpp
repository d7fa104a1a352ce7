#pragma once
// What every subcommand of `recognise` shares: exit statuses, number and option parsing, files,
// and printing answers. A subcommand reports a usage or file error by throwing UsageError (or
// calling fail); main prints "recognise: <message>" on one line of stderr and exits with 2.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "recognition/core/types.hpp"

namespace tamblin::cli {

inline constexpr int kExitFound = 0;     // found, or computed
inline constexpr int kExitNotFound = 1;  // the operation answered -1, (-1, -1) or a zero record
inline constexpr int kExitUsage = 2;     // bad arguments, unreadable file

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
[[noreturn]] void fail(const std::string& message);

// A decimal or 0x-hex number, optionally negative. Hex up to 0xFFFFFFFF stands for that 32-bit
// pattern (0xFF000000 is the transparent colour); decimal must fit a signed 32-bit integer. what
// names the argument in the error message.
std::int32_t parseNumber(std::string_view text, std::string_view what);
// "X,Y" as two numbers.
ImagePoint parsePoint(std::string_view text, std::string_view what);

// A subcommand's arguments: positional ones and --name options, in any order. Options listed in
// valueOptions take the next argument as their value ("--name VALUE" or "--name=VALUE"); those in
// flags stand alone. Any other argument beginning with "--" is an error; "-1" is positional, and
// "--" ends the options.
class Arguments {
 public:
  Arguments(std::span<char*> args, std::initializer_list<std::string_view> valueOptions,
            std::initializer_list<std::string_view> flags = {});

  // Fails with "usage: recognise <usage>" unless there are min to max positional arguments.
  void expectPositional(std::size_t min, std::size_t max, std::string_view usage) const;
  const std::vector<std::string_view>& positional() const { return positional_; }
  std::string_view at(std::size_t index) const { return positional_.at(index); }
  std::size_t count() const { return positional_.size(); }

  bool flag(std::string_view name) const;
  std::optional<std::string_view> value(std::string_view name) const;
  std::int32_t number(std::string_view name, std::int32_t fallback) const;
  ImagePoint point(std::string_view name, ImagePoint fallback) const;

 private:
  std::vector<std::string_view> positional_;
  std::vector<std::pair<std::string_view, std::string_view>> values_;
  std::vector<std::string_view> flags_;
};

// Whole files; a failure is a UsageError naming the file.
ByteArray readFile(const std::string& path);
void writeFile(const std::string& path, ByteView bytes);
// A file's bytes as the operations take them: unchanged with raw, or when already in this
// system's layout or no BMP at all; a standard BMP converted; an unsupported BMP an error.
ByteArray loadImageFile(const std::string& path, bool raw);

// Printing answers. Each returns the exit status the answer calls for.
std::string formatColour(std::int32_t colour);  // 0x00BBGGRR, or -1
int printPoint(ImagePoint point);               // "X Y"
int printNumber(std::int64_t number, bool found);
int printColour(std::int32_t colour);           // found unless -1

}  // namespace tamblin::cli
