#include "source/paradox/ParadoxTable.h"

#include <filesystem>

#include "framework/AsciiCase.h"
#include "framework/NumberText.h"
#include "source/paradox/ParadoxCodePage.h"
#include "source/paradox/ParadoxError.h"
#include "source/paradox/Utf8Scan.h"

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

// Fields read as raw bytes, by name as stored or as decoded (`names`, empty before the code
// page is known). Raises, once names are given, for a name that is not there or names no
// alpha, memo or other blob field.
std::vector<bool> BinaryFields(const std::string& path, const ParadoxHeader& header,
                               const ReaderOptions& options,
                               const std::vector<SourceFieldDef>& names) {
  std::vector<bool> binary(header.fields.size(), false);
  for (const std::string& wanted : options.binaryFields) {
    std::size_t i = 0;
    while (i < header.fields.size() && !EqualsIgnoreCase(header.fields[i].rawName, wanted) &&
           !(i < names.size() && EqualsIgnoreCase(names[i].name, wanted))) {
      ++i;
    }
    if (i == header.fields.size()) {
      if (names.empty()) continue;
      ThrowFileError(path, "the table has no field '" + wanted + "' to read as raw bytes");
    }
    const ParadoxFieldType& type = *header.fields[i].type;
    if (type.type != ftString && !type.blob && type.type != ftBytes) {
      if (names.empty()) continue;
      ThrowFileError(path, "field '" + names[i].name +
                               "' cannot be read as raw bytes: only alpha and memo fields can");
    }
    binary[i] = true;
  }
  return binary;
}

EncodingOrigin ChooseEncoding(const ReadOnlyFile& file, const ParadoxHeader& header,
                              const BlockIndex& index, BlobFile& blobs,
                              const std::vector<bool>& binary, const ReaderOptions& options,
                              std::string& encoding) {
  if (!options.encoding.empty()) {
    encoding = options.encoding;
    return EncodingOrigin::Option;
  }
  encoding = ParadoxDeclaredEncoding(header.codePage, header.sortOrder);
  if (!encoding.empty()) return EncodingOrigin::Header;
  if (TextIsUtf8(file, header, index, blobs, binary)) {
    encoding = "UTF-8";
    return EncodingOrigin::Detected;
  }
  encoding = "CP437";
  return EncodingOrigin::Default;
}

CodePageDecoder MakeDecoder(const std::string& path, const std::string& encoding,
                            EncodingOrigin origin) {
  try {
    CodePageDecoder decoder(encoding);
    decoder.SetUtf8Check(origin != EncodingOrigin::Option && origin != EncodingOrigin::Detected);
    return decoder;
  } catch (const Exception& e) {
    ThrowFileError(path,
                   std::string(e.what()) +
                       (origin == EncodingOrigin::Option ? "" : " named by the table header"));
  }
}

std::vector<SourceFieldDef> MakeFieldDefs(const ParadoxHeader& header, CodePageDecoder& text,
                                          const std::vector<bool>& binary) {
  std::vector<SourceFieldDef> defs;
  defs.reserve(header.fields.size());
  for (std::size_t i = 0; i < header.fields.size(); ++i) {
    const ParadoxField& f = header.fields[i];
    SourceFieldDef def;
    def.name = text.ToUtf8(f.rawName);
    def.type = f.type->type;
    // Raw alpha and memo bytes are blobs; the other binary kinds keep their own types.
    if (binary[i] && (def.type == ftString || def.type == ftMemo)) def.type = ftBlob;
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
      index_(BlockIndex::Build(file_, header_)),
      blobs_(path),
      binary_(BinaryFields(path, header_, options, {})),
      text_("UTF-8"),
      decoder_(text_, blobs_, warnings_) {
  std::string encoding;
  encodingSource_ = ChooseEncoding(file_, header_, index_, blobs_, binary_, options, encoding);
  text_ = MakeDecoder(path, encoding, encodingSource_);
  fields_ = MakeFieldDefs(header_, text_, binary_);
  if (!options.binaryFields.empty()) {
    // Now also by the decoded names, which may differ from the stored ones beyond ASCII.
    binary_ = BinaryFields(path, header_, options, fields_);
    fields_ = MakeFieldDefs(header_, text_, binary_);
  }
  decoder_.SetBinary(binary_);
  decoder_.SetWithoutBlobFile(options.withoutMemos);
  if (options.withoutMemos) {
    warnings_.SetMissingMemoFile(std::filesystem::path(blobs_.ExpectedPath()).filename().string());
  }
}

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
  warnings_.StartRecord(n);
  for (std::size_t i = 0; i < header_.fields.size(); ++i) {
    try {
      values[i] = decoder_.Decode(i, header_.fields[i], record);
    } catch (const Exception& e) {
      // Record numbers count from 1 here, as a user counts rows.
      ThrowFileError(file_.Path(), "record " + IntToStr(n + 1) + ", field '" + fields_[i].name +
                                       "': " + e.what());
    }
  }
  warnings_.FinishRecord();
}

}  // namespace tabulix::source::paradox
