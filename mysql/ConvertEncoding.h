#pragma once

#include <string>
#include <string_view>

#include "framework/SharedEnums.h"

namespace tabulix {

// Converts single-byte text between two of the encodings. Bytes of 128 and above are replaced
// by the byte of the same character in the target code page; bytes below 128 and characters
// the target lacks stay as they are. A pair without a table, equal encodings and an empty text
// give the text unchanged. etNone stands for Windows-1251 in the Cyrillic pairs and for
// Windows-1250 in the Latin-2 pairs. The components do not call it: their connection speaks
// utf8mb4 and their texts are UTF-8, which these single-byte tables would garble. It serves
// callers that hold text in one of these code pages.
std::string ConvertEncoding(std::string_view text, TEncodingType source, TEncodingType target);

}  // namespace tabulix
