// Appends and posts rows of seven columns (int, char(30), char(60), double, date, tinyint and a
// memo of about 100 characters) into a fresh table through TZMySqlTable with a TZBulkWriter
// attached, as the bulk import does. Prints the rate, the units and the peak memory.
//   bulk_bench HOST PORT USER PASSWORD DATABASE ROWS load|insert [UNIT_BYTES]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "dataset/TZBulkWriter.h"
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 8 && argc != 9) {
    std::fprintf(stderr,
                 "usage: bulk_bench HOST PORT USER PASSWORD DATABASE ROWS load|insert "
                 "[UNIT_BYTES]\n");
    return 2;
  }
  const long rows = std::atol(argv[6]);
  const std::string mode = argv[7];
  TZBulkSettings settings;
  settings.method = mode == "insert" ? TZBulkMethod::Insert : TZBulkMethod::LoadData;
  if (argc == 9) settings.unitBytes = static_cast<std::size_t>(std::atol(argv[8]));
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
    const std::string tableName = "bulk_rows_" + mode;
    transaction.ExecSql("DROP TABLE IF EXISTS " + tableName);
    transaction.ExecSql("CREATE TABLE " + tableName +
                        " (id INT, name CHAR(30), street CHAR(60), amount DOUBLE, day DATE, "
                        "flag TINYINT, memo MEDIUMTEXT) CHARACTER SET utf8mb4");
    TZMySqlTable table;
    table.SetDatabase(&database);
    table.SetTableName(tableName);
    table.Open();
    std::vector<TField*> fields;
    for (int i = 0; i < table.FieldCount(); ++i) fields.push_back(&table.Fields(i));

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    TZBulkWriter writer(table, settings);
    std::string name;
    std::string street;
    std::string memo;
    for (long i = 1; i <= rows; ++i) {
      const std::string n = std::to_string(i);
      name = "Kunde " + n + " M\xC3\xBCller";
      street =
          "Hauptstra\xC3\x9F"
          "e " +
          std::to_string(i % 997) + ", " + std::to_string(10000 + i % 89999) + " K\xC3\xB6ln";
      memo = "Notiz " + n +
             ": Lieferung an die Filiale S\xC3\xBC"
             "d, bitte vor 10 Uhr zustellen und "
             "quittieren lassen. Danke!";
      table.Append();
      fields[0]->SetValue(FieldValue::Integer(static_cast<std::int32_t>(i)));
      fields[1]->SetValue(FieldValue::Bytes(name));
      fields[2]->SetValue(FieldValue::Bytes(street));
      fields[3]->SetValue(FieldValue::Double(static_cast<double>(i) * 1.25 + 0.5));
      fields[4]->SetValue(
          FieldValue::DateTime(EncodeDate(1990, 1, 1) + static_cast<double>(i % 10000)));
      fields[5]->SetValue(FieldValue::Integer(static_cast<std::int32_t>(i % 2)));
      fields[6]->SetValue(FieldValue::Bytes(memo));
      table.Post();
    }
    writer.Finish();
    const double total = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf(
        "method:      %s (unit limit %zu bytes, %lld units)\n",
        writer.Method() == TZBulkMethod::Insert ? "multi-row INSERT" : "LOAD DATA LOCAL INFILE",
        writer.UnitLimit(), static_cast<long long>(writer.UnitsCommitted()));
    std::printf("rows:        %ld in %.2f s, %.0f rows/s\n", rows, total, rows / total);
    std::printf("peak memory: %.1f MiB\n", PeakKilobytes() / 1024.0);
    std::printf("RESULT rate=%.1f peak_kib=%ld\n", rows / total, PeakKilobytes());
    return 0;
  } catch (const Exception& e) {
    std::fprintf(stderr, "bulk_bench: %s\n", e.what());
    return 1;
  }
}
