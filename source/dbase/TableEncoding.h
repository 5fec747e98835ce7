#pragma once

#include <string>

#include "source/TableReader.h"
#include "source/dbase/DbaseHeader.h"

namespace tabulix::source::dbase {

struct EncodingChoice {
  std::string name;    // encoding name for TextDecoder
  std::string origin;  // where it came from, for messages
  EncodingOrigin source = EncodingOrigin::Default;
};

// The code page of a table's text: the caller's choice, else a .cpg file beside the table,
// else the language driver byte, else the dBase 7 driver name, else code page 437 (which the
// caller may replace by UTF-8 after looking at the text).
EncodingChoice ChooseTableEncoding(const std::string& tablePath, const DbaseHeader& header,
                                   const ReaderOptions& options);

}  // namespace tabulix::source::dbase
