// The usage text of the sample driver, printed whole by processArguments.
#pragma once

// One fixed text ending in a line break: the synopsis, an empty line,
// "Options:" and one line per option, descriptions starting in the 40th
// character and continuation lines after 43 blanks.
const char* usageText();
