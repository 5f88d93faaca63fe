// Built without libvips: the module has no fit_photo.
#include "python/fit_photo.h"

namespace morva6_python {

void register_fit_photo(pybind11::module_&) {}

}  // namespace morva6_python
