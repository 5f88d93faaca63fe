#include "ulmarender/engine/channel_order.h"

#include <cstddef>
#include <utility>

namespace ulma {

void rgb_bgr_img_buf_convert(std::span<unsigned char> img_buffer) {
    for (std::size_t i = 0; i + 2 < img_buffer.size(); i += 3) std::swap(img_buffer[i], img_buffer[i + 2]);
}

}  // namespace ulma
