// libs: source framework
// Reads every record of a dBase table made from the input. Input layout: one byte choosing the
// companion file (bits 0-1: 0 none, 1 .dbt, 2 .fpt, 3 .cpg) and the reader options (bit 2:
// without memos, bit 3: every field read as raw bytes where it can be), the length of the
// .dbf part as 32-bit little-endian, the .dbf bytes, then the companion file's bytes.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "framework/Exceptions.h"
#include "source/dbase/DbaseReader.h"

namespace {

// A private folder for the table files, removed when the fuzzer exits.
struct TempFolder {
  std::string path;
  TempFolder() {
    path = (std::filesystem::temp_directory_path() / "fuzz-dbase-XXXXXX").string();
    if (!mkdtemp(path.data())) abort();
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

const std::string& Folder() {
  static const TempFolder folder;
  return folder.path;
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string table = Folder() + "/t.dbf";
  const char* companions[] = {".dbt", ".fpt", ".cpg"};
  for (const char* ext : companions) std::remove((Folder() + "/t" + ext).c_str());

  if (size < 5) {
    WriteFile(table, data, size);
  } else {
    std::size_t dbfLength =
        data[1] | (data[2] << 8) | (data[3] << 16) | (static_cast<std::size_t>(data[4]) << 24);
    if (dbfLength > size - 5) dbfLength = size - 5;
    WriteFile(table, data + 5, dbfLength);
    unsigned choice = data[0] % 4;
    if (choice > 0) {
      WriteFile(Folder() + "/t" + companions[choice - 1], data + 5 + dbfLength,
                size - 5 - dbfLength);
    }
  }

  tabulix::source::ReaderOptions options;
  options.withoutMemos = size > 0 && (data[0] & 4);
  try {
    if (size > 0 && (data[0] & 8)) {
      // Every character and memo field as raw bytes: the names come from a first open.
      auto plain = tabulix::source::OpenDbaseTable(table, {});
      for (const auto& f : plain->Fields()) {
        if (f.type == tabulix::ftString || f.type == tabulix::ftMemo) {
          options.binaryFields.push_back(f.name);
        }
      }
    }
    auto reader = tabulix::source::OpenDbaseTable(table, options);
    std::vector<tabulix::FieldValue> values;
    for (std::int64_t n = 0; n < reader->RecordCount(); ++n) {
      try {
        reader->ReadRecord(n, values);
        if (values.size() != reader->Fields().size()) abort();
      } catch (const tabulix::Exception&) {
        // A damaged memo spoils one record; the next ones must still read.
      }
    }
    for (const auto& w : reader->Warnings().List()) {
      if (w.field >= reader->Fields().size() || w.count < 1 || w.firstRecord < 1 ||
          w.firstRecord > reader->RecordCount()) {
        abort();
      }
    }
  } catch (const tabulix::Exception&) {
  }
  return 0;
}
