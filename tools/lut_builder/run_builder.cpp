#include "tools/lut_builder/run_builder.h"

#include <string>
#include <vector>

#include "common/output_set.h"
#include "tools/lut_builder/builder_options.h"
#include "tools/lut_builder/ink_mixing.h"
#include "tools/lut_builder/lut_file.h"
#include "tools/lut_builder/lut_table.h"
#include "tools/lut_builder/palette_table.h"

namespace lut_builder {
namespace {

constexpr std::string_view kProgram = "morva6_lut_builder";

int usage_error(std::ostream& err, const std::string& message) {
    err << kProgram << ": " << message << "\n"
        << "Try '" << kProgram << " --help' for the options.\n";
    return kExitBadUsage;
}

InkMixerResult six_ink_mixer(const BuilderOptions& options) {
    std::vector<Rgb> engine;
    std::vector<LinearRgb> light;
    for (std::size_t i = 0; i < kInkCount; ++i) {
        engine.push_back(to_rgb(options.inks[i]));
        light.push_back(linear_from_lab(options.ink_colours[i]));
    }
    return make_ink_mixer(engine, light, kBlackInk, kWhiteInk);
}

}  // namespace

bool build_lut_bytes(const BuilderOptions& options, std::vector<std::uint8_t>& bytes, std::string& error) {
    std::vector<Rgb8> table;
    if (options.identity) {
        table = identity_table();
    } else {
        const InkMixerResult mixer =
            options.layout == LutLayout::morva6 ? six_ink_mixer(options) : make_palette_mixer(options.palette);
        if (!mixer.mixer) {
            error = "unusable inks: " + mixer.error;
            return false;
        }
        table = options.layout == LutLayout::morva6 ? mixing_table(*mixer.mixer, options.choices)
                                                    : palette_table(*mixer.mixer, options.choices);
    }
    bytes = options.layout == LutLayout::morva6 ? encode_morva6_lut(options.inks, table) : encode_ulma_lut(table);
    return true;
}

int run_builder(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    const ParsedOptions parsed = parse_options(args);
    if (!parsed.options) return usage_error(err, parsed.error);
    const BuilderOptions& options = *parsed.options;
    if (options.help || options.version) {
        out << (options.help ? usage_text() : std::string(kProgram) + " " MORVA6_VERSION "\n");
        return kExitWritten;
    }

    const std::vector<std::string> inputs{options.palette_file}, outputs{options.output};
    if (const std::string clash = common::find_clash(inputs, outputs); !options.palette_file.empty() && !clash.empty())
        return usage_error(err, clash);
    std::vector<std::uint8_t> bytes;
    if (std::string problem; !build_lut_bytes(options, bytes, problem)) return usage_error(err, problem);
    std::string error;
    if (!write_file_replacing(options.output, bytes, error)) {
        err << kProgram << ": " << error << "\n";
        return kExitWriteFailed;
    }
    out << "Wrote " << options.output << ": " << bytes.size() << " bytes, "
        << (options.layout == LutLayout::morva6 ? "six-ink layout, " : "ulma layout, ")
        << (options.identity ? "identity table" : "ink-mixing table") << ".\n";
    return kExitWritten;
}

}  // namespace lut_builder
