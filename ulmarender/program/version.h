// The two versions of the eight-colour renderer, built from one core:
// ulmarender (0302) and its earlier version ulmarender03 (0301). Each
// program's main picks its record; everything that differs between the two
// is read from it at run time.
#pragma once

#include "ulmarender/engine/settings.h"

// Which words of the command line are the input, the output, the
// render-data directory and the temperature.
enum class PositionalRule {
    last_four,          // the last four words, whatever they hold
    first_after_proof,  // words 1 to 4, or 2 to 5 when the first is exactly "-p"; the temperature may be missing
};

struct UlmaVersion {
    const char* version_line;  // printed at the start and at the head of the usage text
    PositionalRule positional_rule;
    const char* option_string;   // for getopt; the leading '+' stops parsing at the first non-option
    bool renders_at_each_proof;  // every accepted -p renders at once (else one render after the options)
    ulma::StageSet stages;       // -c, -b, -n and the green enhancement
};

inline constexpr UlmaVersion kUlma0302 = {
    .version_line = "Ulma render 0302.windows (18/11/2022)",
    .positional_rule = PositionalRule::last_four,
    .option_string = "+p::c:b:n:",
    .renders_at_each_proof = false,
    .stages = ulma::kStages0302,
};

inline constexpr UlmaVersion kUlma0301 = {
    .version_line = "Ulma render 0301.windows (08/02/2022)",
    .positional_rule = PositionalRule::first_after_proof,
    .option_string = "+p::",
    .renders_at_each_proof = true,
    .stages = ulma::kStages0301,
};
