#include "framework/PlatformServices.h"

#include "framework/TerminalLoginPrompt.h"

namespace tabulix {

namespace {

struct Installed {
  ScreenCursor* cursor = nullptr;
  LoginPrompt* prompt = nullptr;
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

LoginPrompt& PlatformServices::Login() {
  static TerminalLoginPrompt terminal;
  LoginPrompt* prompt = Services().prompt;
  return prompt != nullptr ? *prompt : terminal;
}

void PlatformServices::SetCursor(ScreenCursor* cursor) {
  Services().cursor = cursor;
}

void PlatformServices::SetLoginPrompt(LoginPrompt* prompt) {
  Services().prompt = prompt;
}

PlatformServices::Scope::Scope(ScreenCursor* cursor, LoginPrompt* prompt)
    : previousCursor_(Services().cursor), previousPrompt_(Services().prompt) {
  SetCursor(cursor);
  SetLoginPrompt(prompt);
}

PlatformServices::Scope::~Scope() {
  SetCursor(previousCursor_);
  SetLoginPrompt(previousPrompt_);
}

}  // namespace tabulix
