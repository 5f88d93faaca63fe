// Six-ink LUT files in Python: morva6.Lut, load_lut and build_lut.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>
#include <vector>

#include <morva6/morva6.h>

namespace morva6_python {

// The bytes of one six-ink LUT file, checked for length and never changed,
// and the render context that points into them.
class Lut {
  public:
    explicit Lut(std::vector<std::uint8_t> bytes);
    const std::vector<std::uint8_t>& bytes() const { return *bytes_; }
    const OvexRenderContext& context() const { return context_; }

  private:
    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
    OvexRenderContext context_{};
};

void register_lut(pybind11::module_& m);

}  // namespace morva6_python
