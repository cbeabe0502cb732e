// The simulated machine's COM: the calling thread's apartment, the process's COM security, and the
// table of interface references that the machine's COM-like services hand out.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <new>

#include "platform/com.h"
#include "platform/sim/machine.h"

namespace nebrin::sim {

// Runs a step of a COM-like service that allocates: memory the machine cannot get is
// E_OUTOFMEMORY with nothing changed, as the system's own objects answer (the step sets its
// outputs last).
template <typename Step>
platform::HResult Allocating(Step step) {
  try {
    return step();
  } catch (const std::bad_alloc&) {
    return platform::kEOutOfMemory;
  }
}

// An object the machine hands out as an interface reference. Each service derives its own.
class SimComObject {
 public:
  virtual ~SimComObject() = default;
};

// The references handed out and not yet released. A reference is never reused, so one released
// twice is seen as a misuse.
class ComObjectTable {
 public:
  platform::ComRef Add(std::shared_ptr<SimComObject> object);
  // The object behind a reference, if it is held and of type T.
  template <typename T>
  T* Find(platform::ComRef ref) const {
    auto it = refs_.find(ref);
    return it == refs_.end() ? nullptr : dynamic_cast<T*>(it->second.get());
  }
  // false when the reference is not held.
  bool Release(platform::ComRef ref);
  std::size_t size() const { return refs_.size(); }

 private:
  std::map<platform::ComRef, std::shared_ptr<SimComObject>> refs_;
  platform::ComRef next_ = 0x800;
};

class SimCom final : public platform::Com {
 public:
  explicit SimCom(Machine::State& machine) : machine_(machine) {}

  platform::HResult Initialize() override;
  void Uninitialize() override;
  platform::HResult InitializeSecurity() override;
  void Release(platform::ComRef object) override;

 private:
  Machine::State& machine_;
};

}  // namespace nebrin::sim
