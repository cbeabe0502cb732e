// No exception may leave the library: a host built with another compiler or runtime cannot catch
// it. Every exported member runs its body through Guarded, which turns any exception (an
// allocation that fails, above all) into the member's failure result.
#pragma once

#include <utility>

namespace nebrin::frame {

template <typename Result, typename Body>
Result Guarded(Result failure, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    return failure;
  }
}

// For members without a result: an exception ends the member with whatever it wrote so far.
template <typename Body>
void GuardedVoid(Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
  } catch (...) {
  }
}

}  // namespace nebrin::frame
