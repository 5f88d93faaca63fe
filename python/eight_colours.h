// morva6.RenderData and morva6.render_eight.
#pragma once

#include <pybind11/pybind11.h>

namespace morva6_python {

void register_eight_colours(pybind11::module_& m);

}  // namespace morva6_python
