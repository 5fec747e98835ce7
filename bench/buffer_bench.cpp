// Appends records of an integer, a 30-character string and a 100-byte memo to a record
// buffer, then clears it, and prints the rates and the peak memory.
//   buffer_bench [records]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "dataset/ZBufferField.h"
#include "dataset/ZSqlBuffer.h"
#include "dataset/ZSqlBufferOwner.h"
#include "framework/FieldFactory.h"

namespace {

using namespace tabulix;

class BenchOwner : public TSqlBufferOwner {
 public:
  ServerKind DatabaseType() const override { return skMySql; }
  void AfterCopyRecord(TSqlBuffer&, const std::byte*, std::byte*) override {}
  void BeforeClearRecord(TSqlBuffer&, std::byte*) override {}
  void DoProgress(int, int, int, int, bool&) override {}
  bool AcceptRecord(const TSqlBuffer&, const std::byte*) override { return true; }
};

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  const long records = argc > 1 ? std::atol(argv[1]) : 1000000;
  const std::size_t memoBytes = 100;

  std::vector<std::unique_ptr<TField>> objects;
  std::vector<TBufferField> fields;
  const struct {
    const char* name;
    TFieldType type;
    int size;
  } columns[] = {{"id", ftInteger, 0}, {"name", ftString, 30}, {"memo", ftMemo, 0}};
  for (const auto& c : columns) {
    objects.push_back(CreateFieldForType(c.type));
    objects.back()->SetFieldName(c.name);
    objects.back()->SetSize(c.size);
    fields.push_back(BufferFieldOf(*objects.back()));
    fields.back().FieldNo = static_cast<int>(fields.size());
  }

  BenchOwner owner;
  TSqlBuffer buffer(owner);
  buffer.BindFields(TSqlFields(), fields);
  const long baseline = PeakKilobytes();

  const FieldValue name = FieldValue::Bytes(std::string(30, 'n'));
  const FieldValue memo = FieldValue::Bytes(std::string(memoBytes, 'm'));
  auto start = std::chrono::steady_clock::now();
  for (long i = 0; i < records; ++i) {
    std::byte* record = buffer.AddRecord();
    buffer.SetFieldValue(record, 0, FieldValue::Integer(static_cast<std::int32_t>(i)));
    buffer.SetFieldValue(record, 1, name);
    buffer.SetFieldValue(record, 2, memo);
  }
  const double appendSeconds = Seconds(start);
  const long peak = PeakKilobytes();

  start = std::chrono::steady_clock::now();
  buffer.ClearBuffer(false);
  const double clearSeconds = Seconds(start);

  const double payloadMb =
      (static_cast<double>(records) * (buffer.RecordSize() + memoBytes)) / (1024.0 * 1024.0);
  const double peakMb = peak / 1024.0;
  const double limitMb = 1.5 * payloadMb;
  std::printf("records:            %ld (record %d bytes, memo %zu bytes)\n", records,
              buffer.RecordSize(), memoBytes);
  std::printf("append:             %.3f s, %.0f records/s\n", appendSeconds,
              records / appendSeconds);
  std::printf("clear all:          %.3f s, %.0f records/s\n", clearSeconds, records / clearSeconds);
  std::printf("records + memos:    %.1f MiB\n", payloadMb);
  std::printf("peak memory:        %.1f MiB (%.1f MiB before appending)\n", peakMb,
              baseline / 1024.0);
  std::printf("limit (1.5x):       %.1f MiB -> %s (%.2fx)\n", limitMb,
              peakMb <= limitMb ? "within" : "EXCEEDED", peakMb / payloadMb);
  return peakMb <= limitMb ? 0 : 1;
}
