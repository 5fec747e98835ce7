#pragma once

#include "framework/LoginDialogService.h"
#include "framework/ScreenCursor.h"

namespace tabulix {

// The process-wide platform services that the database components use: the screen cursor and
// the modal login dialog. The window installs its own at start; without one the cursor is
// NoScreenCursor and the login dialog is NoLoginDialog, which cancels. Installed services are
// not owned and must outlive their installation; Scope installs for a block and puts the
// previous back.
class PlatformServices {
 public:
  static ScreenCursor& Cursor();
  static LoginDialogService& LoginDialog();
  // nullptr puts the default back.
  static void SetCursor(ScreenCursor* cursor);
  static void SetLoginDialog(LoginDialogService* prompt);

  class Scope {
   public:
    Scope(ScreenCursor* cursor, LoginDialogService* prompt);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    ScreenCursor* previousCursor_;
    LoginDialogService* previousPrompt_;
  };
};

}  // namespace tabulix
