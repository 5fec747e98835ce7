#include "source/paradox/ParadoxTable.h"

#include "framework/NumberText.h"
#include "source/paradox/ParadoxCodePage.h"
#include "source/paradox/ParadoxError.h"

namespace tabulix::source::paradox {
namespace {

constexpr int kBlockHeaderSize = 6;

ParadoxHeader ReadUnencryptedHeader(const ReadOnlyFile& file) {
  ParadoxHeader header = ReadParadoxHeader(file);
  // The data blocks of an encrypted table are scrambled with tables that are not published;
  // reading them as plain data would produce garbage.
  if (header.encryptionKey != 0) {
    ThrowFileError(file.Path(),
                   "the table is encrypted (password-protected); encrypted Paradox tables "
                   "cannot be read, save it without a password first");
  }
  return header;
}

CodePageDecoder MakeDecoder(const std::string& path, const ParadoxHeader& header,
                            const ReaderOptions& options) {
  std::string encoding = options.encoding.empty()
                             ? ParadoxTextEncoding(header.codePage, header.sortOrder)
                             : options.encoding;
  try {
    return CodePageDecoder(encoding);
  } catch (const Exception& e) {
    ThrowFileError(path, std::string(e.what()) +
                             (options.encoding.empty() ? " named by the table header" : ""));
  }
}

std::vector<SourceFieldDef> MakeFieldDefs(const ParadoxHeader& header, CodePageDecoder& text) {
  std::vector<SourceFieldDef> defs;
  defs.reserve(header.fields.size());
  for (const ParadoxField& f : header.fields) {
    SourceFieldDef def;
    def.name = text.ToUtf8(f.rawName);
    def.type = f.type->type;
    def.size = f.size;
    def.decimals = f.type->type == ftBCD ? f.sizeByte : 0;
    def.nativeType = f.type->letter;
    defs.push_back(std::move(def));
  }
  return defs;
}

}  // namespace

ParadoxTable::ParadoxTable(const std::string& path, const ReaderOptions& options)
    : file_(path),
      header_(ReadUnencryptedHeader(file_)),
      text_(MakeDecoder(path, header_, options)),
      fields_(MakeFieldDefs(header_, text_)),
      index_(BlockIndex::Build(file_, header_)),
      blobs_(path),
      decoder_(text_, blobs_) {}

const std::uint8_t* ParadoxTable::LoadRecord(std::int64_t n) {
  BlockIndex::Position at = index_.Locate(n);
  if (cachedBlock_ != at.block->number) {
    cachedBlock_ = 0;
    block_.resize(static_cast<std::size_t>(at.block->recordCount) *
                  static_cast<std::size_t>(header_.recordSize));
    if (!file_.ReadFully(index_.BlockOffset(at.block->number) + kBlockHeaderSize, block_.data(),
                         block_.size())) {
      ThrowFileError(file_.Path(), "cannot read data block " + IntToStr(at.block->number));
    }
    cachedBlock_ = at.block->number;
  }
  return block_.data() + static_cast<std::size_t>(at.indexInBlock) * header_.recordSize;
}

void ParadoxTable::ReadRecord(std::int64_t n, std::vector<FieldValue>& values) {
  if (n < 0 || n >= RecordCount()) {
    ThrowFileError(file_.Path(), "no record number " + IntToStr(n) +
                                     " (numbered from 0, the table holds " +
                                     IntToStr(RecordCount()) + " records)");
  }
  const std::uint8_t* record = LoadRecord(n);
  values.resize(header_.fields.size());
  for (std::size_t i = 0; i < header_.fields.size(); ++i) {
    try {
      values[i] = decoder_.Decode(header_.fields[i], record);
    } catch (const Exception& e) {
      // Record numbers count from 1 here, as a user counts rows.
      ThrowFileError(file_.Path(), "record " + IntToStr(n + 1) + ", field '" + fields_[i].name +
                                       "': " + e.what());
    }
  }
}

}  // namespace tabulix::source::paradox
