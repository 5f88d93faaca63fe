#include "ulmarender/engine/version.h"

const UlmaVersion kUlma0302 = {
    .version_line = "Ulma render 0302.windows (18/11/2022)",
    .positional_rule = PositionalRule::last_four,
    .option_string = "+p::c:b:n:",
    .renders_at_each_proof = false,
    .adjustments = true,
    .green_enhance_always = false,
};

const UlmaVersion kUlma0301 = {
    .version_line = "Ulma render 0301.windows (08/02/2022)",
    .positional_rule = PositionalRule::first_after_proof,
    .option_string = "+p::",
    .renders_at_each_proof = true,
    .adjustments = false,
    .green_enhance_always = true,
};
