// morva6.fit_photo: photo2panel's reading and fitting, present when the
// module was built with libvips.
#pragma once

#include <pybind11/pybind11.h>

namespace morva6_python {

void register_fit_photo(pybind11::module_& m);

}  // namespace morva6_python
