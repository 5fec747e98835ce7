#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/Exceptions.h"
#include "source/TableReader.h"

namespace tabulix::test {

// The rows of a fake table file and what its reader was asked.
struct FakeTable {
  std::vector<source::SourceFieldDef> fields;
  std::vector<std::vector<FieldValue>> rows;
  std::string encoding = "CP850";
  std::int64_t failingRecord = -1;  // reading this record raises
  std::vector<std::int64_t> reads;  // record numbers read, in order
};

class FakeReader : public source::TableReader {
 public:
  explicit FakeReader(FakeTable& table) : table_(table) {}
  const std::vector<source::SourceFieldDef>& Fields() const override { return table_.fields; }
  std::int64_t RecordCount() const override {
    return static_cast<std::int64_t>(table_.rows.size());
  }
  void ReadRecord(std::int64_t n, std::vector<FieldValue>& values) override {
    table_.reads.push_back(n);
    if (n == table_.failingRecord) {
      values.assign(1, FieldValue::Bytes("half-read"));
      throw Exception("fake.db: record " + std::to_string(n + 1) + " is damaged");
    }
    values = table_.rows.at(static_cast<std::size_t>(n));
  }
  std::string Encoding() const override { return table_.encoding; }

 private:
  FakeTable& table_;
};

}  // namespace tabulix::test
