#pragma once

namespace tabulix::app {

// The connection indicator (the window's LEDconnect): told after every completed connect and
// after every disconnect of the connection component, the intermediate ones of an import
// included, so it turns green, red, green, red during one run.
class ConnectionIndicator {
 public:
  virtual ~ConnectionIndicator() = default;
  virtual void ShowConnected(bool connected) = 0;
};

}  // namespace tabulix::app
