// Out-arguments passed by reference. A host written in C, or one that passes a null pointer where
// the member takes a reference, hands the library a reference to nothing. The compiler may assume
// a reference is never null and drop a plain check, so the member takes the reference's address
// once, before using it anywhere, and reads it back through a volatile object the compiler cannot
// see through.
#pragma once

namespace nebrin::frame {

template <typename T>
T* OutArgument(T* address) noexcept {
  T* volatile seen = address;
  return seen;
}

}  // namespace nebrin::frame
