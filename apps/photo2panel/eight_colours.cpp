#include <unistd.h>

#include <cstdio>
#include <string>

#include "apps/photo2panel/outputs.h"
#include "apps/photo2panel/render.h"
#include "ulmarender/engine/render_picture.h"
#include "ulmarender/engine/settings.h"

namespace photo2panel {
namespace {

// The eight-colour core prints the program's console lines on standard
// output. They are caught here; on failure they become the reason given.
class CaughtOutput {
public:
    CaughtOutput() {
        std::fflush(stdout);
        file_ = std::tmpfile();
        saved_ = file_ != nullptr ? dup(STDOUT_FILENO) : -1;
        if (saved_ >= 0) dup2(fileno(file_), STDOUT_FILENO);
    }
    ~CaughtOutput() {
        restore();
        if (file_ != nullptr) std::fclose(file_);
    }
    CaughtOutput(const CaughtOutput&) = delete;
    CaughtOutput& operator=(const CaughtOutput&) = delete;

    // The caught lines, joined, without the core's blank lines.
    std::string text() {
        restore();
        std::string all;
        if (file_ == nullptr) return all;
        std::rewind(file_);
        char line[512];
        while (std::fgets(line, sizeof line, file_) != nullptr) {
            std::string part(line);
            while (!part.empty() && (part.back() == '\n' || part.back() == '\r' || part.back() == ' ')) part.pop_back();
            while (!part.empty() && (part.front() == '\n' || part.front() == '\r')) part.erase(0, 1);
            if (!part.empty()) all += (all.empty() ? "" : "; ") + part;
        }
        return all;
    }

private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stdout);
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
        saved_ = -1;
    }
    std::FILE* file_ = nullptr;
    int saved_ = -1;
};

}  // namespace

bool open_render_data(const std::string& folder, std::string& error) {
    CaughtOutput caught;
    if (ulma_open_render_data(folder.c_str())) return true;
    error = "not a usable render-data folder: " + caught.text();
    return false;
}

bool render_eight_colours(const RgbPicture& picture, const Options& options, const PictureFiles& files,
                          common::OutputSet& outputs, std::string& error) {
    // The settings as ulmarender's command line sets them.
    gProof = files.preview.empty() ? 0 : 1;
    gSat_offset = options.chroma;
    gLight_offset = options.lightness;
    gNoise_range = options.noise;
    gPreprocess = gSat_offset != 0.0 || gLight_offset != 0.0 ? 1 : 0;
    UlmaRendering rendering;
    {
        CaughtOutput caught;
        if (!ulma_render_picture(kUlma0302, picture.rgb, picture.width, picture.height, options.render_data.c_str(),
                                 options.temperature, rendering)) {
            error = "the eight-colour renderer stopped: " + caught.text();
            return false;
        }
        // Its warnings (a band without its LUT) reach the user.
        const std::string said = caught.text();
        for (std::size_t at = said.find("error!"); at != std::string::npos; at = said.find("error!", at + 1)) {
            const std::size_t end = said.find("; ", at);
            std::fprintf(stderr, "photo2panel: %s: warning: %s\n", options.render_data.c_str(),
                         said.substr(at, end == std::string::npos ? std::string::npos : end - at).c_str());
        }
    }
    std::vector<std::uint8_t> png;
    if (!files.preview.empty() &&
        !encode_png({rendering.width, rendering.height, rendering.proof_rgb}, png, error))
        return false;
    outputs.add(files.panel,
                "P5\n" + std::to_string(rendering.width) + " " + std::to_string(rendering.height) + "\n255\n",
                rendering.panel_codes);
    if (!files.preview.empty()) outputs.add(files.preview, "", png);
    return true;
}

}  // namespace photo2panel
