#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tabulix::app {

// The name of the ELF section that carries a program's version-information block.
inline constexpr std::string_view kVersionSectionName = ".vs_version_info";

// The version-information block (VS_VERSIONINFO with its StringFileInfo and VarFileInfo
// children, as Windows programs carry it) of an executable file: from the ELF section above,
// or from the version resource of a Windows PE file. Empty when the file is missing, is neither
// kind of file, is damaged, or has no block.
std::string ReadVersionResource(const std::string& path);

// A value found in a block: its bytes, up to the end of its node.
struct VersionValue {
  std::string_view bytes;
  bool text = false;  // UTF-16 text (wType 1) rather than binary data
};

// Looks a value up by a path of node names below the root, such as "\VarFileInfo\Translation"
// or "\StringFileInfo\040704E4\FileVersion". Names compare ignoring ASCII letter case, as the
// Windows lookup does. Nothing when a node is missing or the block is damaged on the way.
std::optional<VersionValue> QueryVersionValue(std::string_view block, std::string_view path);

// A text value as UTF-8, up to its terminating zero.
std::string VersionText(const VersionValue& value);

}  // namespace tabulix::app
