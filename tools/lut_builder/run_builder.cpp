#include "tools/lut_builder/run_builder.h"

#include <sstream>
#include <string>
#include <vector>

#include "tools/lut_builder/builder_options.h"
#include "tools/lut_builder/gamut_mapping.h"
#include "tools/lut_builder/lut_file.h"
#include "tools/lut_builder/lut_table.h"

namespace lut_builder {
namespace {

constexpr std::string_view kProgram = "morva6_lut_builder";

int usage_error(std::ostream& err, const std::string& message) {
    err << kProgram << ": " << message << "\n"
        << "Try '" << kProgram << " --help' for the options.\n";
    return kExitBadUsage;
}

std::string describe(const BuilderOptions& options) {
    std::string text = options.layout == LutLayout::morva6 ? "six-ink layout" : "ulma layout";
    if (options.identity) return text + ", identity table";
    const MappingSettings& m = options.mapping;
    text += ", gamut-mapped table (lightness ";
    text += m.lightness == LightnessMode::linear ? "linear" : "clip";
    text += ", chroma ";
    if (m.chroma == ChromaMode::clip) return text + "clip)";
    std::ostringstream knee;
    knee << m.knee;
    return text + "compress, knee " + knee.str() + ")";
}

}  // namespace

int run_builder(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    const ParsedOptions parsed = parse_options(args);
    if (!parsed.options) return usage_error(err, parsed.error);
    const BuilderOptions& options = *parsed.options;
    if (options.help) {
        out << usage_text();
        return kExitWritten;
    }

    std::vector<Rgb8> table;
    if (options.identity) {
        table = identity_table();
    } else {
        std::vector<Rgb> inks;
        for (const Rgb8& ink : options.inks) inks.push_back(to_rgb(ink));
        const GamutTargetResult target =
            make_gamut_target(inks, kBlackInk, kWhiteInk, options.mapping);
        if (!target.target) return usage_error(err, "unusable inks: " + target.error);
        table = mapped_table(*target.target);
    }

    const std::vector<std::uint8_t> bytes = options.layout == LutLayout::morva6
                                                ? encode_morva6_lut(options.inks, table)
                                                : encode_ulma_lut(table);
    std::string error;
    if (!write_file_replacing(options.output, bytes, error)) {
        err << kProgram << ": " << error << "\n";
        return kExitWriteFailed;
    }
    out << "Wrote " << options.output << ": " << bytes.size() << " bytes, " << describe(options)
        << ".\n";
    return kExitWritten;
}

}  // namespace lut_builder
