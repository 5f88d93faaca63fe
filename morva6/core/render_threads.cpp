#include "morva6/core/render_threads.h"

#include <morva6/morva6.h>

#include "common/threads.h"

namespace {

common::ChosenThreads chosen_threads;

}  // namespace

namespace morva6 {

int render_threads() { return chosen_threads.current(); }

}  // namespace morva6

extern "C" void morva6_set_threads(int32_t count) { chosen_threads.set(count); }

extern "C" int32_t morva6_threads(void) { return morva6::render_threads(); }
