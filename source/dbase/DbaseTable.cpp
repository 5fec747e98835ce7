#include "source/dbase/DbaseTable.h"

#include "framework/Exceptions.h"
#include "source/dbase/DbaseColumn.h"
#include "source/dbase/TableEncoding.h"

namespace tabulix::source::dbase {
namespace {

TextDecoder MakeTextDecoder(const std::string& path, const DbaseHeader& header,
                            const ReaderOptions& options) {
  EncodingChoice choice = ChooseTableEncoding(path, header, options);
  try {
    return TextDecoder(choice.name);
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
      text_(MakeTextDecoder(path, header_, options)),
      memos_(path, header_.memoKind, header_.dialect),
      decoder_(ResolveColumns(path, header_), text_, memos_),
      fields_(FieldDefs(decoder_)),
      index_(LiveRecordIndex::Scan(file_, header_.headerLength, header_.recordLength,
                                   header_.recordCount)),
      records_(file_, header_.headerLength, header_.recordLength, header_.recordCount) {}

void DbaseTable::ReadRecord(std::int64_t n, std::vector<FieldValue>& values) {
  if (n < 0 || n >= RecordCount()) {
    throw Exception(file_.Path() + ": record " + std::to_string(n) + " out of range (table has " +
                    std::to_string(RecordCount()) + " records)");
  }
  std::uint32_t physical = index_.Physical(n);
  decoder_.Decode(records_.Record(physical), physical + 1, values);
}

}  // namespace tabulix::source::dbase
