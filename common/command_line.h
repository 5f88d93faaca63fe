// The usual forms of a command line for the tools and photo2panel:
// "--name value" and "--name=value", "-n value" and "-nvalue", short
// options without a value bundled ("-q8"), and "--" ending the options so
// that every later word is an operand (a file named "-x.jpg"). A lone "-"
// and a negative number ("-20", unless a digit names an option) are
// operands.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace common {

struct OptionSpec {
    char short_name;             // '\0': none
    std::string_view long_name;  // without "--"; empty: none
    bool takes_value;
};

// One option with its value, or one operand (spec == nullptr).
struct CommandWord {
    const OptionSpec* spec = nullptr;
    std::string spelling;  // the option as written ("-o", "--size"), or the operand
    std::string value;
};

// Splits `args` (without the program name). False with `error` set
// ("unknown option --x", "--size needs a value", "--quiet takes no value").
bool split_command_line(std::span<const std::string_view> args, std::span<const OptionSpec> specs,
                        std::vector<CommandWord>& words, std::string& error);

}  // namespace common
