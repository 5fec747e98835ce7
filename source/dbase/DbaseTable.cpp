#include "source/dbase/DbaseTable.h"

#include "framework/AsciiCase.h"
#include "framework/Exceptions.h"
#include "source/dbase/DbaseColumn.h"
#include "source/dbase/Utf8Scan.h"
#include "source/dbase/ValueDecoding.h"

namespace tabulix::source::dbase {
namespace {

// Scans the delete flags; when the table declares no code page, also looks at its text on
// the way and makes `encoding` UTF-8 if the text is all UTF-8.
LiveRecordIndex ScanRecords(const ReadOnlyFile& file, const DbaseHeader& header,
                            const ReaderOptions& options, MemoStore& memos,
                            EncodingChoice& encoding) {
  if (encoding.source != EncodingOrigin::Default) {
    return LiveRecordIndex::Scan(file, header.headerLength, header.recordLength,
                                 header.recordCount);
  }
  std::vector<DbaseColumn> columns = ResolveColumns(file.Path(), header);
  // Fields to be read as raw bytes hold no text; here their names are matched as stored.
  for (DbaseColumn& c : columns) {
    for (const std::string& wanted : options.binaryFields) {
      if (EqualsIgnoreCase(TrimTrailingBlanks(c.descriptor.rawName), wanted)) ReadAsBinary(c);
    }
  }
  Utf8Scan scan(header.recordLength, columns, memos);
  LiveRecordIndex index =
      LiveRecordIndex::Scan(file, header.headerLength, header.recordLength, header.recordCount,
                            [&](std::string_view records) { return scan.Visit(records); });
  if (scan.IsUtf8())
    encoding = {"UTF-8", "the table's text, all of it UTF-8", EncodingOrigin::Detected};
  return index;
}

TextDecoder MakeTextDecoder(const std::string& path, const EncodingChoice& choice) {
  try {
    TextDecoder decoder(choice.name);
    // Text that forms UTF-8 is worth a word unless UTF-8 was ruled out by looking or the
    // user chose the code page.
    decoder.SetUtf8Check(choice.source != EncodingOrigin::Option &&
                         choice.source != EncodingOrigin::Detected);
    return decoder;
  } catch (const Exception&) {
    throw Exception(path + ": code page '" + choice.name + "' from " + choice.origin +
                    " is not available; give the encoding to read the table with");
  }
}

std::vector<SourceFieldDef> FieldDefs(const RecordDecoder& decoder) {
  std::vector<SourceFieldDef> defs;
  for (std::size_t i = 0; i < decoder.Columns().size(); ++i) {
    const DbaseColumn& c = decoder.Columns()[i];
    SourceFieldDef def;
    def.name = decoder.Names()[i];
    def.type = c.type;
    def.size = c.descriptor.length;
    def.decimals = c.descriptor.decimals;
    def.nativeType = c.descriptor.type;
    defs.push_back(std::move(def));
  }
  return defs;
}

}  // namespace

DbaseTable::DbaseTable(const std::string& path, const ReaderOptions& options)
    : file_(path),
      header_(ReadDbaseHeader(file_)),
      memos_(path, header_.memoKind, header_.dialect),
      encoding_(ChooseTableEncoding(path, header_, options)),
      // One pass over the records: the delete flags, and the text when no code page is named.
      index_(ScanRecords(file_, header_, options, memos_, encoding_)),
      text_(MakeTextDecoder(path, encoding_)),
      decoder_(ResolveColumns(path, header_), text_, memos_, warnings_,
               {options.binaryFields, options.withoutMemos}),
      fields_(FieldDefs(decoder_)),
      records_(file_, header_.headerLength, header_.recordLength, header_.recordCount) {
  if (options.withoutMemos) warnings_.SetMissingMemoFile(memos_.ExpectedName());
}

void DbaseTable::ReadRecord(std::int64_t n, std::vector<FieldValue>& values) {
  if (n < 0 || n >= RecordCount()) {
    throw Exception(file_.Path() + ": record " + std::to_string(n) + " out of range (table has " +
                    std::to_string(RecordCount()) + " records)");
  }
  std::uint32_t physical = index_.Physical(n);
  warnings_.StartRecord(n);
  decoder_.Decode(records_.Record(physical), physical + 1, values);
  warnings_.FinishRecord();
}

}  // namespace tabulix::source::dbase
