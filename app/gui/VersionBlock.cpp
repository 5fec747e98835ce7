// The program's version information, built at compile time and placed in an ELF section of
// its own, where TFileVersionInfo finds it as it finds the version resource of a Windows
// program. One translation: German (0x0407) with code page 1252.
#include "app/core/VersionBlockBuilder.h"
#include "app/core/VersionResource.h"

namespace {

using tabulix::app::VersionString;

constexpr std::string_view kFileVersion = "1.0.0.0";

constexpr VersionString kStrings[] = {
    {"CompanyName", "Tabulix"},
    {"FileDescription", "Tabulix-Converter: Paradox- und dBase-Tabellen nach mySQL"},
    {"FileVersion", kFileVersion},
    {"InternalName", "tabulix"},
    {"LegalCopyright", "Tabulix"},
    {"OriginalFilename", "tabulix"},
    {"ProductName", "Tabulix"},
    {"ProductVersion", kFileVersion},
};

constexpr tabulix::app::VersionBlockContents kContents{0x0407, 1252, {1, 0, 0, 0}, {1, 0, 0, 0}, kStrings};
constexpr auto kBuilt = tabulix::app::BuildVersionBlock(kContents);

// The section's name must match what the reader looks for.
static_assert(tabulix::app::kVersionSectionName == ".vs_version_info");

[[gnu::used, gnu::section(".vs_version_info")]] const std::array<unsigned char, kBuilt.size>
    kVersionBlock = tabulix::app::VersionBlockArray<kBuilt.size>(kBuilt);

}  // namespace
