#pragma once

#include <string>
#include <vector>

namespace tabulix::test {

// The messages that the test program's TApplication reported from its message loop, oldest
// first; a test clears it before it starts.
std::vector<std::string>& ReportedErrors();

}  // namespace tabulix::test
