#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "source/CodePageDecoder.h"
#include "source/ReadOnlyFile.h"
#include "source/TableReader.h"
#include "source/paradox/BlobFile.h"
#include "source/paradox/BlockIndex.h"
#include "source/paradox/FieldDecoder.h"
#include "source/paradox/ParadoxHeader.h"

namespace tabulix::source::paradox {

// A Paradox table (.db) read record by record. Opening reads the header and the chain of
// block headers; each record read fetches the one data block that holds it (the last block
// read is kept, so reading in order costs one read per block).
class ParadoxTable : public TableReader {
 public:
  ParadoxTable(const std::string& path, const ReaderOptions& options);

  const std::vector<SourceFieldDef>& Fields() const override { return fields_; }
  std::int64_t RecordCount() const override { return index_.RecordCount(); }
  void ReadRecord(std::int64_t n, std::vector<FieldValue>& values) override;
  std::string Encoding() const override { return text_.Encoding(); }
  EncodingOrigin EncodingSource() const override { return encodingSource_; }

 private:
  const std::uint8_t* LoadRecord(std::int64_t n);

  ReadOnlyFile file_;
  ParadoxHeader header_;
  BlockIndex index_;
  BlobFile blobs_;
  std::vector<bool> binary_;  // fields read as raw bytes
  EncodingOrigin encodingSource_ = EncodingOrigin::Default;
  CodePageDecoder text_;
  std::vector<SourceFieldDef> fields_;
  FieldDecoder decoder_;
  std::vector<std::uint8_t> block_;  // records of the block read last
  std::uint16_t cachedBlock_ = 0;
};

}  // namespace tabulix::source::paradox
