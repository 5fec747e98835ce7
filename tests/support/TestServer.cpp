#include "support/TestServer.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tabulix::test {
namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

TestServer Load() {
  TestServer s;
  s.host = Env("TABULIX_TEST_HOST");
  s.port = static_cast<unsigned>(std::atoi(Env("TABULIX_TEST_PORT").c_str()));
  s.socket = Env("TABULIX_TEST_SOCKET");
  s.user = Env("TABULIX_TEST_USER");
  s.password = Env("TABULIX_TEST_PASSWORD");
  return s;
}

}  // namespace

bool HaveServer() {
  const TestServer& s = Server();
  return !s.host.empty() && s.port != 0 && !s.user.empty();
}

const TestServer& Server() {
  static const TestServer server = Load();
  if (server.host.empty() || server.port == 0 || server.user.empty()) {
    ADD_FAILURE() << "No test server: run the tests through scripts/test.sh, which starts one "
                     "and sets TABULIX_TEST_HOST, _PORT, _SOCKET, _USER and _PASSWORD";
  }
  return server;
}

}  // namespace tabulix::test
