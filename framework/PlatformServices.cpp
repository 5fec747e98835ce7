#include "framework/PlatformServices.h"


namespace tabulix {

namespace {

struct Installed {
  ScreenCursor* cursor = nullptr;
  LoginDialogService* prompt = nullptr;
};

Installed& Services() {
  static Installed installed;
  return installed;
}

}  // namespace

ScreenCursor& PlatformServices::Cursor() {
  static NoScreenCursor none;
  ScreenCursor* cursor = Services().cursor;
  return cursor != nullptr ? *cursor : none;
}

LoginDialogService& PlatformServices::LoginDialog() {
  static NoLoginDialog none;
  LoginDialogService* prompt = Services().prompt;
  return prompt != nullptr ? *prompt : none;
}

void PlatformServices::SetCursor(ScreenCursor* cursor) {
  Services().cursor = cursor;
}

void PlatformServices::SetLoginDialog(LoginDialogService* prompt) {
  Services().prompt = prompt;
}

PlatformServices::Scope::Scope(ScreenCursor* cursor, LoginDialogService* prompt)
    : previousCursor_(Services().cursor), previousPrompt_(Services().prompt) {
  SetCursor(cursor);
  SetLoginDialog(prompt);
}

PlatformServices::Scope::~Scope() {
  SetCursor(previousCursor_);
  SetLoginDialog(previousPrompt_);
}

}  // namespace tabulix
