// How many threads one render call may use: the calling thread's own choice
// (common::ThreadsForThisCaller), else the count set through
// morva6_set_threads, else the default budget (common/threads.h).
#pragma once

namespace morva6 {

int render_threads();

}  // namespace morva6
