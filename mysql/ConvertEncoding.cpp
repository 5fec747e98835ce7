#include "mysql/ConvertEncoding.h"

#include "mysql/internal/EncodingTables.h"

namespace tabulix {

namespace {

using namespace mysql_internal;

// The table of a source and target pair, or null for a pair without one.
const EncodingTable* TableFor(TEncodingType source, TEncodingType target) {
  switch (source) {
    case etNone:
    case etCp1251:
      switch (target) {
        case et866:
          return &kCp1251To866;
        case etKoi8r:
          return &kCp1251ToKoi8r;
        case etKoi8u:
          return &kCp1251ToKoi8u;
        case etIso88592:
          return source == etNone ? &kCp1250ToIso88592 : nullptr;
        default:
          return nullptr;
      }
    case et866:
      if (target == etNone) return &k866ToCp1251;
      if (target == etKoi8r) return &k866ToKoi8r;
      return nullptr;
    case etKoi8r:
      switch (target) {
        case etNone:
        case etCp1251:
          return &kKoi8rToCp1251;
        case et866:
          return &kKoi8rTo866;
        case etIso88592:
          return &kKoi8rToIso88592;
        case etCp1250:
          return &kKoi8rToCp1250;
        default:
          return nullptr;
      }
    case etKoi8u:
      return target == etNone ? &kKoi8uToCp1251 : nullptr;
    case etIso88592:
      if (target == etNone) return &kIso88592ToCp1250;
      if (target == etKoi8r) return &kIso88592ToKoi8r;
      return nullptr;
    case etCp1250:
      if (target == etKoi8r) return &kCp1250ToKoi8r;
      if (target == etIso88592) return &kCp1250ToIso88592;
      return nullptr;
  }
  return nullptr;
}

}  // namespace

std::string ConvertEncoding(std::string_view text, TEncodingType source, TEncodingType target) {
  std::string out(text);
  if (out.empty() || source == target) return out;
  const EncodingTable* table = TableFor(source, target);
  if (!table) return out;
  // Every byte is converted, also those after a zero byte: values may hold zero bytes.
  for (char& c : out) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 128 && (*table)[byte - 128] != 0) c = static_cast<char>((*table)[byte - 128]);
  }
  return out;
}

}  // namespace tabulix
