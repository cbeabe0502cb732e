// Constructors as Microsoft's compiler calls them. Its constructors return the object's address
// (in EAX/RAX) and a host built with it relies on that; GCC's return nothing. NebrinCoreDll.def
// exports each thunk under the constructor's decorated name. Every other member needs no thunk:
// GCC's i686 members already use __thiscall (object in ECX, the callee pops its arguments), and
// both compilers share one calling convention on x86-64.
#include <new>

#include "NebrinCoreDll.h"

#if defined(__i386__)
// GCC documents thiscall for C functions as an extension; in C++ it still warns that the
// attribute is meant for members, yet applies it (the i686 export check reads the thunks' code).
#pragma GCC diagnostic ignored "-Wattributes"
#define NEBRIN_MSVC_THISCALL __attribute__((thiscall))
#else
#define NEBRIN_MSVC_THISCALL
#endif

#define NEBRIN_MSVC_CONSTRUCTOR(Class)                                                  \
  extern "C" NEBRIN_MSVC_THISCALL Class* nebrin_msvc_constructor_##Class(Class* self) { \
    return ::new (static_cast<void*>(self)) Class;                                      \
  }

NEBRIN_MSVC_CONSTRUCTOR(CCommonFtn)
NEBRIN_MSVC_CONSTRUCTOR(CICSManage)
NEBRIN_MSVC_CONSTRUCTOR(CNetDiag)
NEBRIN_MSVC_CONSTRUCTOR(CNetInfoManage)
NEBRIN_MSVC_CONSTRUCTOR(CNetInfoRetrieve)
NEBRIN_MSVC_CONSTRUCTOR(CWLanControl)
NEBRIN_MSVC_CONSTRUCTOR(CNebrinCoreDll)
