#pragma once

#include "framework/PlatformServices.h"

namespace tabulix {

// Remembers the screen cursor, shows the SQL-wait cursor when asked to, and puts the
// remembered cursor back when it goes, also when the operation raised.
class SqlWaitCursor {
 public:
  explicit SqlWaitCursor(bool show = true) : saved_(PlatformServices::Cursor().Cursor()) {
    if (show) PlatformServices::Cursor().SetCursor(crSQLWait);
  }
  ~SqlWaitCursor() { PlatformServices::Cursor().SetCursor(saved_); }
  SqlWaitCursor(const SqlWaitCursor&) = delete;
  SqlWaitCursor& operator=(const SqlWaitCursor&) = delete;

 private:
  TCursor saved_;
};

}  // namespace tabulix
