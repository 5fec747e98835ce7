#pragma once

#include <string>

#include "framework/Exceptions.h"

namespace tabulix::source::paradox {

// Every reader failure names the file first, then the problem.
[[noreturn]] inline void ThrowFileError(const std::string& path, const std::string& problem) {
  throw Exception(path + ": " + problem);
}

}  // namespace tabulix::source::paradox
