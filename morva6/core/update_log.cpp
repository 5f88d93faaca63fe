// The library's version history, handed out by Ovex_get_updateLog.
#include "morva6/morva6.h"

namespace {

// One fixed text in static storage; callers neither free nor change it.
constexpr char updateLogMsg[] =
    "Version Updates:\n"
    " v1.0.0 (2024-09-03):\n"
    "  - Initial release\n"
    " v1.1.0 (2024-09-05):\n"
    "  - Fixed HGD3 bug\n"
    "  - Added version number\n"
    "  - Added Ovex_get_updateLog function\n"
    "  - Removed Ovex_get_date function\n"
    " v1.1.1 (2024-10-01):\n"
    "  - Fixed gamma correction bug\n"
    " v1.1.2 (2024-10-15):\n"
    "  - Improved compatibility with Morva 6 Rendering Tool\n"
    " v1.2.0 (2024-11-11):\n"
    "  - Renamed function Ovex_HGD to Ovex_TFT_format_transfer\n"
    "  - Added HSD odd/even and HSD even/odd modes to Ovex_TFT_format_transfer\n"
    " v1.2.1 (2024-11-14):\n"
    "  - Added support for ARM-OpenWRT platform\n"
    "\n"
    "Current Version: v1.2.1\n"
    "Morva6 rendering library, six-ink e-paper panels.\n";

}  // namespace

extern "C" const char* Ovex_get_updateLog(void) { return updateLogMsg; }
