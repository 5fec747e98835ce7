#pragma once

#include "framework/Exceptions.h"

namespace tabulix {

// Ends the current operation silently: the message loop does not report EAbort.
[[noreturn]] inline void Abort() {
  throw EAbort();
}

}  // namespace tabulix
