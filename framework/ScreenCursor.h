#pragma once

namespace tabulix {

// Cursor shapes by the platform's numbers.
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crSQLWait = -17;

// The screen's mouse cursor, a process-wide platform service (PlatformServices).
class ScreenCursor {
 public:
  virtual ~ScreenCursor() = default;
  virtual TCursor Cursor() const = 0;
  virtual void SetCursor(TCursor cursor) = 0;
};

// Without a screen there is no cursor: it always reads crDefault and ignores changes.
class NoScreenCursor final : public ScreenCursor {
 public:
  TCursor Cursor() const override { return crDefault; }
  void SetCursor(TCursor /*cursor*/) override {}
};

}  // namespace tabulix
