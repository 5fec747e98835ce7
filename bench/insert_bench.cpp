// Appends and posts rows of seven columns (int, char(30), char(60), double, date, tinyint and a
// memo of about 100 characters) into a fresh table through TZMySqlTable, as the import does:
// Append, set each field from a field value, Post. Prints the rate over all rows, over the
// first and the last 10,000, and the peak memory of the process.
//   insert_bench HOST PORT USER PASSWORD DATABASE ROWS keep|discard
// "discard" switches on the dataset's DiscardAppliedInserts, as the import does.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dataset/ZMySqlQuery.h"
#include "framework/DateTime.h"
#include "framework/Exceptions.h"

namespace {

using namespace tabulix;

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// The values of row i; bench/insert.sh writes the same rows for the command-line client.
struct RowValues {
  std::int32_t id;
  std::string name;
  std::string street;
  double amount;
  TDateTime day;
  std::int32_t flag;
  std::string memo;
};

RowValues MakeRow(long i) {
  const std::string n = std::to_string(i);
  return {static_cast<std::int32_t>(i),
          "Kunde " + n + " M\xC3\xBCller",
          "Hauptstra\xC3\x9F"
          "e " +
              std::to_string(i % 997) + ", " + std::to_string(10000 + i % 89999) + " K\xC3\xB6ln",
          static_cast<double>(i) * 1.25 + 0.5,
          EncodeDate(1990, 1, 1) + static_cast<double>(i % 10000),
          static_cast<std::int32_t>(i % 2),
          "Notiz " + n +
              ": Lieferung an die Filiale S\xC3\xBC"
              "d, bitte vor 10 Uhr zustellen und "
              "quittieren lassen. Danke!"};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 8) {
    std::fprintf(stderr,
                 "usage: insert_bench HOST PORT USER PASSWORD DATABASE ROWS keep|discard\n");
    return 2;
  }
  const long rows = std::atol(argv[6]);
  const bool discard = std::string(argv[7]) == "discard";
  const long window = std::min<long>(10000, rows);
  try {
    TZMySqlDatabase database;
    database.SetHost(argv[1]);
    database.SetPort(argv[2]);
    database.SetLogin(argv[3]);
    database.SetPassword(argv[4]);
    database.SetDatabase(argv[5]);
    TZMySqlTransact transaction;
    transaction.SetDatabase(&database);
    database.SetConnected(true);
    const std::string tableName = discard ? "dataset_rows_discard" : "dataset_rows_keep";
    transaction.ExecSql("DROP TABLE IF EXISTS " + tableName);
    transaction.ExecSql("CREATE TABLE " + tableName +
                        " (id INT, name CHAR(30), street CHAR(60), amount DOUBLE, day DATE, "
                        "flag TINYINT, memo MEDIUMTEXT) CHARACTER SET utf8mb4");

    TZMySqlTable table;
    table.SetDatabase(&database);
    table.SetTableName(tableName);
    table.SetDiscardAppliedInserts(discard);
    table.Open();
    std::vector<TField*> fields;
    for (int i = 0; i < table.FieldCount(); ++i) fields.push_back(&table.Fields(i));
    const long baseline = PeakKilobytes();

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto windowStart = start;
    double firstWindow = 0;
    double lastWindow = 0;
    for (long i = 1; i <= rows; ++i) {
      if (rows - i + 1 == window) windowStart = Clock::now();
      const RowValues row = MakeRow(i);
      table.Append();
      fields[0]->SetValue(FieldValue::Integer(row.id));
      fields[1]->SetValue(FieldValue::Bytes(row.name));
      fields[2]->SetValue(FieldValue::Bytes(row.street));
      fields[3]->SetValue(FieldValue::Double(row.amount));
      fields[4]->SetValue(FieldValue::DateTime(row.day));
      fields[5]->SetValue(FieldValue::Integer(row.flag));
      fields[6]->SetValue(FieldValue::Bytes(row.memo));
      table.Post();
      if (i == window) firstWindow = std::chrono::duration<double>(Clock::now() - start).count();
    }
    const auto end = Clock::now();
    lastWindow = std::chrono::duration<double>(end - windowStart).count();
    const double total = std::chrono::duration<double>(end - start).count();
    const long peak = PeakKilobytes();

    std::printf("mode:               %s applied inserts\n", discard ? "discard" : "keep");
    std::printf("rows:               %ld in %.2f s, %.0f rows/s\n", rows, total, rows / total);
    std::printf("first %ld rows:     %.0f rows/s\n", window, window / firstWindow);
    std::printf("last %ld rows:      %.0f rows/s (%.2f of the first)\n", window,
                window / lastWindow, firstWindow / lastWindow);
    std::printf("records kept:       %lld\n", static_cast<long long>(table.RecordCount()));
    std::printf("peak memory:        %.1f MiB (%.1f MiB after opening)\n", peak / 1024.0,
                baseline / 1024.0);
    std::printf("RESULT rate=%.1f first=%.1f last=%.1f peak_kib=%ld\n", rows / total,
                window / firstWindow, window / lastWindow, peak);
    return 0;
  } catch (const Exception& e) {
    std::fprintf(stderr, "insert_bench: %s\n", e.what());
    return 1;
  }
}
