#include "source/paradox/Utf8Scan.h"

#include <cstring>
#include <string>
#include <string_view>

#include "framework/Exceptions.h"
#include "source/Utf8Text.h"

namespace tabulix::source::paradox {
namespace {

constexpr int kBlockHeaderSize = 6;

}  // namespace

bool TextIsUtf8(const ReadOnlyFile& file, const ParadoxHeader& header, const BlockIndex& index,
                BlobFile& blobs, const std::vector<bool>& binary) {
  std::vector<const ParadoxField*> texts;
  for (std::size_t i = 0; i < header.fields.size(); ++i) {
    TFieldType type = header.fields[i].type->type;
    bool isBinary = i < binary.size() && binary[i];
    if ((type == ftString || type == ftMemo) && !isBinary) texts.push_back(&header.fields[i]);
  }
  Utf8Detector detector;
  if (texts.empty()) return false;
  bool readBlobs = true;
  std::string block;
  for (const BlockIndex::Block& b : index.Blocks()) {
    block.resize(static_cast<std::size_t>(b.recordCount) *
                 static_cast<std::size_t>(header.recordSize));
    if (!file.ReadFully(index.BlockOffset(b.number) + kBlockHeaderSize, block.data(),
                        block.size())) {
      break;  // reading the records reports it
    }
    for (std::size_t r = 0; r < b.recordCount; ++r) {
      const char* record = block.data() + r * static_cast<std::size_t>(header.recordSize);
      for (const ParadoxField* f : texts) {
        const char* p = record + f->offset;
        auto size = static_cast<std::size_t>(f->size);
        if (f->type->type == ftString) {
          const void* end = std::memchr(p, 0, size);
          if (!detector.Add(std::string_view(p, end ? static_cast<const char*>(end) - p : size))) {
            return false;
          }
          continue;
        }
        std::size_t leader = size - kBlobDescriptorSize;
        BlobRef ref = ReadBlobRef(reinterpret_cast<const std::uint8_t*>(p + leader));
        if (ref.length == 0) continue;
        if (ref.length <= leader) {
          if (!detector.Add(std::string_view(p, ref.length))) return false;
          continue;
        }
        if (!readBlobs || blobs.Missing()) {
          readBlobs = false;
          continue;
        }
        try {
          if (!detector.Add(blobs.Read(ref))) return false;
        } catch (const Exception&) {
          readBlobs = false;  // a damaged blob file: the fields decide alone
        }
      }
    }
  }
  return detector.IsUtf8();
}

}  // namespace tabulix::source::paradox
