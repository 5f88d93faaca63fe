#include "apps/photo2panel/render.h"

namespace photo2panel {

bool open_render_data(const std::string&, std::string& error) {
    error = "the eight-colour renderer is not available in this build";
    return false;
}

bool render_eight_colours(const RgbPicture&, const Options&, const PictureFiles&, std::string& error) {
    error = "the eight-colour renderer is not available in this build";
    return false;
}

}  // namespace photo2panel
