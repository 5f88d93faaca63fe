#include "morva6/sample/usage_text.h"

namespace {

// Some value lines end in one blank on purpose: they mark the default and
// are kept exactly as users and scripts have always seen them.
constexpr char kUsageText[] =
    "usage: Q6_render [--version] [--help]"
    " [-i <path> | --input <path>]"
    " [-o <path> | --output <path>]"
    " [-l <path> | --lut <path>]"
    " [-d <number> | --dither <number>]"
    " [-m <number> | --mode <number>]"
    " [-t <number> | --TFT <number>]"
    " [-h <number> | --hue <number>]"
    " [-s <number> | --saturation <number>]"
    " [-b <number> | --brightness <number>]"
    " [-c <number> | --contrast <number>]"
    " [-g <number> | --gamma <number>]\n"
    "\n"
    "Options:\n"
    "  --version                            Show version information\n"
    "  --help                               Show this help message\n"
    "  -i, --input <path>                   Input BMP file path (required)\n"
    "  -o, --output <path>                  Output BMP file path (required)\n"
    "  -l, --lut <path>                     Look-Up-Table path (required)\n"
    "                                           - Morva6_Render_LUT_Default_v1.bin (renamed from project_adaptive_LUT_V0.bin)\n"
    "                                           - Morva6_Render_LUT_Default_v2.bin\n"
    "  -d <number>, --dither <number>       Choose dithering method:\n"
    "                                           1: Floyd\n"
    "                                           2: Floyd Serpentine\n"
    "                                           3: Jarvis, Judice, and Ninkle\n"
    "                                           4: Jarvis, Judice, and Ninkle Serpentine\n"
    "                                           5: Stucki\n"
    "                                  (default)6: Stucki Serpentine \n"
    "  -m <number>, --mode <number>         Choose output format Mode:\n"
    "                                  (default)1: Output will be in external T-con format \n"
    "                                           2: Output will be in AOI IC format\n"
    "                                           3: Output will be in Simulation format\n"
    "  -t <number>, --TFT <number>          Set output for TFT format transfer:\n"
    "                                  (default)0: Disabled \n"
    "                                           1: Enable HGD with Source odd/even.\n"
    "                                           2: Enable HGD with Source even/odd.\n"
    "                                           3: Enable Swapping odd and even Gate.\n"
    "                                           4: Enable HSD with Gate odd/even.\n"
    "                                           5: Enable HSD with Gate even/odd.\n"
    "  -h <number>, --hue <number>          Set hue (range: 0~360, default: 0)\n"
    "  -s <number>, --saturation <number>   Set saturation (range: -100~100, default: 0)\n"
    "  -b <number>, --brightness <number>   Set brightness (range: -100~100, default: 0)\n"
    "  -c <number>, --contrast <number>     Set contrast (range: -100~100, default: 0)\n"
    "  -g <number>, --gamma <number>        Set gamma (range: 0.0~2.0, default: 1.0)\n";

}  // namespace

const char* usageText() { return kUsageText; }
