// A test-only replacement of the global allocation functions that can make one allocation fail.
// Linked into a test program, it takes the place of every operator new and delete; unarmed it
// allocates as usual.
#pragma once

#include <cstdint>

namespace nebrin::testing {

// While it lives, the n-th allocation (1-based, counted from its construction) fails: the
// throwing forms of operator new throw std::bad_alloc, the nothrow forms answer null. Only that
// one fails; the allocations after it succeed again.
class FailingAllocation {
 public:
  explicit FailingAllocation(std::uint64_t n);
  ~FailingAllocation();
  FailingAllocation(const FailingAllocation&) = delete;
  FailingAllocation& operator=(const FailingAllocation&) = delete;

  // Whether the n-th allocation was reached (and failed).
  bool fired() const;
  // The allocations made since construction.
  std::uint64_t count() const;
};

}  // namespace nebrin::testing
