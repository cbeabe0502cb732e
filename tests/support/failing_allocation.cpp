#include "support/failing_allocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::uint64_t> g_count{0};
std::atomic<std::uint64_t> g_failAt{0};  // 0: not armed
std::atomic<bool> g_fired{false};

bool FailThisOne() {
  const std::uint64_t failAt = g_failAt.load(std::memory_order_relaxed);
  const std::uint64_t n = g_count.fetch_add(1, std::memory_order_relaxed) + 1;
  if (failAt == 0 || n != failAt) return false;
  g_fired.store(true, std::memory_order_relaxed);
  return true;
}

void* Allocate(std::size_t size) {
  if (FailThisOne()) return nullptr;
  return std::malloc(size == 0 ? 1 : size);
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  if (FailThisOne()) return nullptr;
  void* p = nullptr;
  const std::size_t align = static_cast<std::size_t>(alignment);
  if (posix_memalign(&p, align < sizeof(void*) ? sizeof(void*) : align, size == 0 ? 1 : size) != 0)
    return nullptr;
  return p;
}

}  // namespace

namespace nebrin::testing {

FailingAllocation::FailingAllocation(std::uint64_t n) {
  g_fired.store(false);
  g_count.store(0);
  g_failAt.store(n);
}

FailingAllocation::~FailingAllocation() { g_failAt.store(0); }

bool FailingAllocation::fired() const { return g_fired.load(); }

std::uint64_t FailingAllocation::count() const { return g_count.load(); }

}  // namespace nebrin::testing

void* operator new(std::size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) {
  if (void* p = AllocateAligned(size, alignment)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  if (void* p = AllocateAligned(size, alignment)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return AllocateAligned(size, alignment);
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
