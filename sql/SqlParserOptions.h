#pragma once

#include <cstdint>
#include <initializer_list>

namespace tabulix {

// Options of a table dataset; bit 0 first.
enum TZDatasetOption : std::uint8_t {
  doParamsAsIs,
  doHourGlass,
  doQueryAllRecords,
  doAutoFillDefs,
  doCalcDefault,
  doQuickOpen,
  doEnableAutoInc,
  doUseRowId,
  doCursorFetch,
  doSqlFilter,
  doRefreshAfterPost,
  doRefreshBeforeEdit,
};

// A set of TZDatasetOption values.
class TZDatasetOptions {
 public:
  constexpr TZDatasetOptions() = default;
  constexpr TZDatasetOptions(std::initializer_list<TZDatasetOption> options) {
    for (TZDatasetOption option : options) Include(option);
  }

  constexpr bool Contains(TZDatasetOption option) const { return bits_ & Bit(option); }
  constexpr TZDatasetOptions& Include(TZDatasetOption option) {
    bits_ = static_cast<std::uint16_t>(bits_ | Bit(option));
    return *this;
  }
  constexpr TZDatasetOptions& Exclude(TZDatasetOption option) {
    bits_ = static_cast<std::uint16_t>(bits_ & ~Bit(option));
    return *this;
  }
  constexpr std::uint16_t Bits() const { return bits_; }
  friend constexpr bool operator==(TZDatasetOptions, TZDatasetOptions) = default;

 private:
  static constexpr std::uint16_t Bit(TZDatasetOption option) {
    return static_cast<std::uint16_t>(1u << option);
  }
  std::uint16_t bits_ = 0;
};

inline constexpr TZDatasetOptions kDefaultDatasetOptions{doHourGlass, doAutoFillDefs, doUseRowId};

}  // namespace tabulix
