// The colour checker chart: six columns by four rows of flat patches.
#include <algorithm>

#include "tools/sample_pictures/sample_pictures.h"

namespace sample_pictures {

ChartLayout chart_layout(int width, int height) {
    // A patch and the gap after it take 1.2 patch widths; the frame around
    // the chart is at least half a gap wide.
    ChartLayout layout;
    layout.size = std::max(1, std::min(width * 10 / 75, height * 10 / 51));
    layout.pitch = layout.size + std::max(1, layout.size / 5);
    // Small pictures: the one-pixel gaps weigh more, so shrink until a frame
    // of at least one pixel remains.
    while (layout.size > 1 &&
           (5 * layout.pitch + layout.size > width - 2 || 3 * layout.pitch + layout.size > height - 2)) {
        --layout.size;
        layout.pitch = layout.size + std::max(1, layout.size / 5);
    }
    const int chart_width = 5 * layout.pitch + layout.size;
    const int chart_height = 3 * layout.pitch + layout.size;
    layout.left = (width - chart_width) / 2;
    layout.top = (height - chart_height) / 2;
    return layout;
}

Picture colour_chart(int width, int height) {
    Picture picture = blank_picture(width, height);
    const ChartLayout layout = chart_layout(width, height);
    const Rgb frame{24, 24, 24};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgb c = frame;
            const int cx = x - layout.left;
            const int cy = y - layout.top;
            if (cx >= 0 && cy >= 0 && cx % layout.pitch < layout.size && cy % layout.pitch < layout.size) {
                const int column = cx / layout.pitch;
                const int row = cy / layout.pitch;
                if (column < 6 && row < 4) {
                    const ChartPatch& patch = kColourChart[static_cast<std::size_t>(row * 6 + column)];
                    c = {double(patch.r), double(patch.g), double(patch.b)};
                }
            }
            put(picture, x, y, c);
        }
    }
    return picture;
}

}  // namespace sample_pictures
