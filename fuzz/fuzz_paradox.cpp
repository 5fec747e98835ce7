// libs: source framework
// Feeds arbitrary bytes to the Paradox reader as a .db file (and, after the marker
// "\nPXMB\n", as its .mb blob file), then reads every record. The input's length chooses the
// reader options: odd lengths read without the blob file's values when it is missing, lengths
// with bit 1 set read every alpha and memo field as raw bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "framework/Exceptions.h"
#include "source/paradox/ParadoxReader.h"

namespace {

constexpr std::string_view kBlobMarker = "\nPXMB\n";

struct FuzzFolder {
  std::filesystem::path path;
  FuzzFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "fuzz-paradox-XXXXXX").string();
    if (char* made = mkdtemp(pattern.data())) path = made;
    if (path.empty()) std::abort();
  }
  ~FuzzFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static FuzzFolder folder;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t marker = input.find(kBlobMarker);
  const auto table = folder.path / "fuzz.db";
  const auto blobs = folder.path / "fuzz.mb";
  WriteFile(table, input.substr(0, marker));
  std::error_code ec;
  if (marker == std::string_view::npos) {
    std::filesystem::remove(blobs, ec);
  } else {
    WriteFile(blobs, input.substr(marker + kBlobMarker.size()));
  }

  tabulix::source::ReaderOptions options;
  options.withoutMemos = size & 1;
  try {
    if (size & 2) {
      auto plain = tabulix::source::OpenParadoxTable(table.string(), {});
      for (const auto& f : plain->Fields()) {
        if (f.type == tabulix::ftString || f.type == tabulix::ftMemo) {
          options.binaryFields.push_back(f.name);
        }
      }
    }
    auto reader = tabulix::source::OpenParadoxTable(table.string(), options);
    std::vector<tabulix::FieldValue> values;
    for (std::int64_t n = 0; n < reader->RecordCount(); ++n) {
      try {
        reader->ReadRecord(n, values);
      } catch (const tabulix::Exception&) {
        // A damaged value or blob spoils its record only.
      }
    }
    for (const auto& w : reader->Warnings().List()) {
      if (w.field >= reader->Fields().size() || w.count < 1 || w.firstRecord < 1 ||
          w.firstRecord > reader->RecordCount()) {
        std::abort();
      }
    }
  } catch (const tabulix::Exception&) {
    // Rejected at open: the expected outcome for most inputs.
  }
  return 0;
}
