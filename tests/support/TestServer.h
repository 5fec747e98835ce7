#pragma once

#include <string>

namespace tabulix::test {

// Where the private test server listens; the test command exports these.
struct TestServer {
  std::string host;
  unsigned port = 0;
  std::string socket;
  std::string user;
  std::string password;
};

// Reads TABULIX_TEST_HOST, _PORT, _SOCKET, _USER and _PASSWORD. A server test must not pass
// silently without a server: when any is missing the calling test fails with a message.
const TestServer& Server();
bool HaveServer();

}  // namespace tabulix::test
