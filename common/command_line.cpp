#include "common/command_line.h"

namespace common {
namespace {

const OptionSpec* find_long(std::span<const OptionSpec> specs, std::string_view name) {
    for (const OptionSpec& spec : specs)
        if (!spec.long_name.empty() && spec.long_name == name) return &spec;
    return nullptr;
}

const OptionSpec* find_short(std::span<const OptionSpec> specs, char name) {
    for (const OptionSpec& spec : specs)
        if (spec.short_name != '\0' && spec.short_name == name) return &spec;
    return nullptr;
}

}  // namespace

bool split_command_line(std::span<const std::string_view> args, std::span<const OptionSpec> specs,
                        std::vector<CommandWord>& words, std::string& error) {
    bool options_ended = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view word = args[i];
        // A negative number is an operand unless a digit names an option.
        const bool negative_number = word.size() >= 2 && word[0] == '-' && word[1] >= '0' && word[1] <= '9' &&
                                     find_short(specs, word[1]) == nullptr;
        if (options_ended || word.size() < 2 || word[0] != '-' || negative_number) {
            words.push_back({nullptr, std::string(word), {}});
        } else if (word == "--") {
            options_ended = true;
        } else if (word.starts_with("--")) {
            const std::size_t equals = word.find('=');
            const std::string_view name = word.substr(2, equals == std::string_view::npos ? word.npos : equals - 2);
            const OptionSpec* spec = find_long(specs, name);
            const std::string spelling = "--" + std::string(name);
            if (spec == nullptr) {
                error = "unknown option " + spelling;
                return false;
            }
            if (!spec->takes_value) {
                if (equals != std::string_view::npos) {
                    error = spelling + " takes no value";
                    return false;
                }
                words.push_back({spec, spelling, {}});
            } else if (equals != std::string_view::npos) {
                words.push_back({spec, spelling, std::string(word.substr(equals + 1))});
            } else if (i + 1 < args.size()) {
                words.push_back({spec, spelling, std::string(args[++i])});
            } else {
                error = spelling + " needs a value";
                return false;
            }
        } else {
            // "-abc": flags, the first one that takes a value takes the rest
            // of the word or, when nothing is left, the next word.
            for (std::size_t k = 1; k < word.size(); ++k) {
                const OptionSpec* spec = find_short(specs, word[k]);
                const std::string spelling = std::string("-") + word[k];
                if (spec == nullptr) {
                    error = "unknown option " + spelling + (k > 1 ? " in " + std::string(word) : std::string());
                    return false;
                }
                if (!spec->takes_value) {
                    words.push_back({spec, spelling, {}});
                    continue;
                }
                if (k + 1 < word.size()) {
                    words.push_back({spec, spelling, std::string(word.substr(k + 1))});
                } else if (i + 1 < args.size()) {
                    words.push_back({spec, spelling, std::string(args[++i])});
                } else {
                    error = spelling + " needs a value";
                    return false;
                }
                break;
            }
        }
    }
    return true;
}

}  // namespace common
