#pragma once

#include <cstdint>

// Small enumerations shared by every layer of the database-access code.
namespace tabulix {

// Update state of a dataset record.
enum TZRecordType : std::uint8_t {
  ztModified = 0,
  ztInserted = 1,
  ztDeleted = 2,
  ztUnmodified = 3,
};

// Outcome of the last operation of a direct connection, transaction or query.
enum TDirStatus : std::uint8_t { stNone, stOk, stFail, stNotSupported };

// Code page applied to statements going out and texts coming in; etNone leaves text alone.
enum TEncodingType : std::uint8_t {
  etNone,
  et866,
  etKoi8r,
  etKoi8u,
  etCp1251,
  etIso88592,
  etCp1250,
};

// Selects a server's SQL dialect. The product's own components always use skMySql.
using ServerKind = std::uint8_t;
inline constexpr ServerKind skMySql = 0;
inline constexpr ServerKind skPostgreSql = 1;
inline constexpr ServerKind skInterBase = 2;
inline constexpr ServerKind skMsSql = 3;
inline constexpr ServerKind skOracle = 4;
inline constexpr ServerKind skGeneric = 6;

}  // namespace tabulix
