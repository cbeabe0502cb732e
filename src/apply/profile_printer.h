// The profile's printer as the default, the step applications take after the network shell.
#pragma once

#include "NebrinCoreDll.h"
#include "frame/no_throw.h"
#include "frame/record_text.h"
#include "platform/platform.h"

namespace nebrin::apply {

// Makes the profile's printer the default when the profile asks for it. Neither the spooler's
// answer nor a name that could not be handed to it (memory ran out) changes an application's
// result: the network shell has run by then, and the result says how far the application got.
inline void MakeProfilePrinterDefault(const EnvInfoStr& env) noexcept {
  if (env.bDefaultPrinterFlag == 0) return;
  frame::GuardedVoid([&] {
    platform::Current().spooler().SetDefaultPrinter(frame::FieldText(env.strPrinterName));
  });
}

}  // namespace nebrin::apply
