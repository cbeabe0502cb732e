// COM service: the calling thread's apartment (CoInitialize, CoUninitialize), the process's COM
// security, and the release of the interface pointers that the COM-like services hand out.
//
// An interface pointer crosses the seam as a ComRef: an opaque reference owned by whoever received
// it, released exactly once through Com::Release (IUnknown::Release on Windows). Services that
// create or return COM objects hand out ComRefs; subsystem code holds each one in a UniqueComRef.
#pragma once

#include <cstdint>
#include <utility>

#include "platform/hresult.h"

namespace nebrin::platform {

using ComRef = std::uintptr_t;
inline constexpr ComRef kNoComRef = 0;

class Com {
 public:
  virtual ~Com() = default;

  // CoInitialize(nullptr): S_OK, S_FALSE when the thread's apartment was already initialised, or
  // a failure (RPC_E_CHANGED_MODE on a thread in the multithreaded apartment).
  virtual HResult Initialize() = 0;
  // CoUninitialize: ends one successful Initialize.
  virtual void Uninitialize() = 0;
  // CoInitializeSecurity with the default descriptor, authentication services chosen by the
  // system (-1), RPC_C_AUTHN_LEVEL_PKT, RPC_C_IMP_LEVEL_IMPERSONATE and EOAC_NONE.
  virtual HResult InitializeSecurity() = 0;
  // IUnknown::Release of a reference a service handed out.
  virtual void Release(ComRef object) = 0;
};

// COM initialised on the calling thread for one operation. Uninitialises on destruction only when
// this initialisation succeeded (S_OK or S_FALSE): an unmatched CoUninitialize would tear down the
// apartment of the host's own thread.
class ComApartment {
 public:
  explicit ComApartment(Com& com) : com_(com), outcome_(com.Initialize()) {}
  ~ComApartment() {
    if (!Failed(outcome_)) com_.Uninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  HResult outcome() const { return outcome_; }

 private:
  Com& com_;
  HResult outcome_;
};

// Owns one interface reference and releases it.
class UniqueComRef {
 public:
  explicit UniqueComRef(Com& com, ComRef object = kNoComRef) : com_(&com), object_(object) {}
  ~UniqueComRef() { reset(); }
  UniqueComRef(UniqueComRef&& other) noexcept
      : com_(other.com_), object_(std::exchange(other.object_, kNoComRef)) {}
  UniqueComRef& operator=(UniqueComRef&& other) noexcept {
    if (this != &other) {
      reset();
      com_ = other.com_;
      object_ = std::exchange(other.object_, kNoComRef);
    }
    return *this;
  }
  UniqueComRef(const UniqueComRef&) = delete;
  UniqueComRef& operator=(const UniqueComRef&) = delete;

  ComRef get() const { return object_; }
  explicit operator bool() const { return object_ != kNoComRef; }
  // Releases what is held and hands out the slot for a service to fill.
  ComRef& receive() {
    reset();
    return object_;
  }
  // Gives up ownership without releasing (the reference passes to the caller).
  ComRef release() { return std::exchange(object_, kNoComRef); }
  void reset() {
    if (object_ != kNoComRef) com_->Release(std::exchange(object_, kNoComRef));
  }

 private:
  Com* com_;
  ComRef object_ = kNoComRef;
};

}  // namespace nebrin::platform
