#pragma once

#include "framework/ScreenCursor.h"

namespace tabulix::app {

// The screen cursor through Qt's application-wide override cursor: the hourglass and the
// SQL-wait cursor show Qt's wait cursor, crDefault takes the override away.
class QtScreenCursor final : public ScreenCursor {
 public:
  QtScreenCursor() = default;
  ~QtScreenCursor() override;
  QtScreenCursor(const QtScreenCursor&) = delete;
  QtScreenCursor& operator=(const QtScreenCursor&) = delete;

  TCursor Cursor() const override { return cursor_; }
  void SetCursor(TCursor cursor) override;

 private:
  TCursor cursor_ = crDefault;
  bool overridden_ = false;
};

}  // namespace tabulix::app
