// The version reader: the block the build puts into the window's executable, a Windows PE file
// written here with a version resource laid out as Windows tools lay it out, files without a
// block, and damaged files.
#include "app/core/TFileVersionInfo.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/core/VersionResource.h"
#include "support/TestData.h"

namespace tabulix::app {
namespace {

void Put16(std::string& s, std::size_t at, unsigned v) {
  if (s.size() < at + 2) s.resize(at + 2, '\0');
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& s, std::size_t at, std::uint32_t v) {
  Put16(s, at, v & 0xFFFF);
  Put16(s, at + 2, v >> 16);
}

// One node of a version block, written the way resource compilers write it: header, UTF-16
// key, padding, value, padding, children; wLength without the node's trailing padding.
struct VNode {
  std::string key;
  std::string text;    // a text value (wType 1) unless binary is set
  std::string binary;  // a binary value (wType 0)
  std::vector<VNode> children;
  bool isText = true;

  void Write(std::string& out) const {
    while (out.size() % 4) out.push_back('\0');
    const std::size_t at = out.size();
    Put16(out, at + 2,
          isText ? static_cast<unsigned>(text.empty() ? 0 : text.size() + 1)
                 : static_cast<unsigned>(binary.size()));
    Put16(out, at + 4, isText ? 1 : 0);
    for (char c : key) out += std::string{c, '\0'};
    out += std::string(2, '\0');
    while (out.size() % 4) out.push_back('\0');
    if (isText && !text.empty()) {
      for (unsigned char c : text) {
        // Latin-1 test texts: one UTF-16 unit per byte.
        out += std::string{static_cast<char>(c), '\0'};
      }
      out += std::string(2, '\0');
    }
    out += binary;
    for (const VNode& child : children) child.Write(out);
    Put16(out, at, static_cast<unsigned>(out.size() - at));
  }
};

VNode Str(const std::string& name, const std::string& value) {
  return {name, value, {}, {}, true};
}

// Two translations and two string tables: the first translation (German, 1252) names the
// second table, which is spelled in lower case as some tools write it.
std::string SampleBlock() {
  VNode root{"VS_VERSION_INFO", "", std::string(52, '\0'), {}, false};
  Put32(root.binary, 0, 0xFEEF04BD);
  VNode english{"040904B0", "", "", {Str("FileVersion", "9.9.9.9"), Str("CompanyName", "Wrong")}};
  VNode german{"040704e4", "", "", {}};
  german.children = {Str("CompanyName", "M\xFCller & S\xF6hne"),
                     Str("FileDescription", "Umsetzer"),
                     Str("FileVersion", "2.5.0.17"),
                     Str("InternalName", "conv"),
                     Str("LegalCopyright", "(c) 1999"),
                     Str("OriginalFilename", "CONV.EXE"),
                     Str("ProductName", "Konverter"),
                     Str("ProductVersion", "2.5"),
                     Str("Comments", "")};
  VNode strings{"StringFileInfo", "", "", {english, german}};
  std::string translations;
  Put16(translations, 0, 0x0407);
  Put16(translations, 2, 1252);
  Put16(translations, 4, 0x0409);
  Put16(translations, 6, 1200);
  VNode var{"Translation", "", translations, {}, false};
  VNode vars{"VarFileInfo", "", "", {var}};
  root.children = {strings, vars};
  std::string block;
  root.Write(block);
  return block;
}

// A PE file with a .text and a .rsrc section; the resource tree holds an icon (a decoy) and
// the version resource under type 16, name 1, language 0x0407.
std::string PeFile(bool plus, const std::string& block) {
  std::string f(0x400, '\0');
  f[0] = 'M';
  f[1] = 'Z';
  Put32(f, 0x3C, 0x80);
  Put32(f, 0x80, 0x00004550);
  Put16(f, 0x84, plus ? 0x8664 : 0x14C);
  Put16(f, 0x86, 2);
  const unsigned optionalSize = plus ? 240 : 224;
  Put16(f, 0x94, optionalSize);
  const std::size_t opt = 0x98;
  Put16(f, opt, plus ? 0x20B : 0x10B);
  const std::size_t dirs = opt + (plus ? 112 : 96);
  Put32(f, dirs - 4, 16);
  const std::uint32_t rsrcRva = 0x3000, rsrcRaw = 0x600;
  const std::size_t table = opt + optionalSize;
  auto section = [&](std::size_t i, const char* name, std::uint32_t va, std::uint32_t raw,
                     std::uint32_t size) {
    const std::size_t at = table + i * 40;
    for (int k = 0; name[k]; ++k) f[at + static_cast<std::size_t>(k)] = name[k];
    Put32(f, at + 8, size);
    Put32(f, at + 12, va);
    Put32(f, at + 16, size);
    Put32(f, at + 20, raw);
  };
  section(0, ".text", 0x1000, 0x400, 0x200);

  // The resource tree, then the block, all inside .rsrc.
  std::string r(0x100, '\0');
  auto directory = [&](std::size_t at, std::vector<std::pair<std::uint32_t, std::uint32_t>> e) {
    Put16(r, at + 14, static_cast<unsigned>(e.size()));
    for (std::size_t i = 0; i < e.size(); ++i) {
      Put32(r, at + 16 + i * 8, e[i].first);
      Put32(r, at + 20 + i * 8, e[i].second);
    }
  };
  constexpr std::uint32_t kSub = 0x80000000u;
  directory(0x00, {{3, kSub | 0x30}, {16, kSub | 0x48}});
  directory(0x30, {{1, 0x98}});  // the icon's leaf: not a directory, so never followed
  directory(0x48, {{1, kSub | 0x60}});
  directory(0x60, {{0x0407, 0x78}});
  Put32(r, 0x78, rsrcRva + 0x100);
  Put32(r, 0x7C, static_cast<std::uint32_t>(block.size()));
  r += block;
  section(1, ".rsrc", rsrcRva, rsrcRaw, static_cast<std::uint32_t>(r.size()));
  Put32(f, dirs + 16, rsrcRva);
  Put32(f, dirs + 20, static_cast<std::uint32_t>(r.size()));
  f.resize(rsrcRaw, '\0');
  return f + r;
}

std::string Write(const std::string& name, const std::string& bytes) {
  std::string path = test::TempDir() + "/" + name;
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

void ExpectAllEmpty(const TFileVersionInfo& info) {
  for (const std::string* value :
       {&info.CompanyName(), &info.FileDescription(), &info.FileVersion(), &info.InternalName(),
        &info.LegalCopyright(), &info.LegalTradeMarks(), &info.OriginalFilename(),
        &info.ProductName(), &info.ProductVersion(), &info.Comments(), &info.CountryCode()}) {
    EXPECT_EQ(*value, "");
  }
}

TEST(FileVersionInfoTest, PeVersionResourceGivesTheFirstTranslationsValues) {
  for (bool plus : {false, true}) {
    SCOPED_TRACE(plus ? "PE32+" : "PE32");
    TFileVersionInfo info;
    info.SetExecutableFile(Write(plus ? "conv64.exe" : "conv32.exe", PeFile(plus, SampleBlock())));
    EXPECT_EQ(info.CountryCode(), "040704E4");
    EXPECT_EQ(info.CompanyName(), "M\xC3\xBCller & S\xC3\xB6hne");
    EXPECT_EQ(info.FileDescription(), "Umsetzer");
    EXPECT_EQ(info.FileVersion(), "2.5.0.17");
    EXPECT_EQ(info.InternalName(), "conv");
    EXPECT_EQ(info.LegalCopyright(), "(c) 1999");
    EXPECT_EQ(info.LegalTradeMarks(), "");  // not in the table
    EXPECT_EQ(info.OriginalFilename(), "CONV.EXE");
    EXPECT_EQ(info.ProductName(), "Konverter");
    EXPECT_EQ(info.ProductVersion(), "2.5");
    EXPECT_EQ(info.Comments(), "");
  }
}

TEST(FileVersionInfoTest, FilesWithoutABlockEmptyEveryValue) {
  const std::string block = SampleBlock();
  std::string noTranslation = PeFile(false, block);
  // The same resource with the translation's key renamed: no translation table.
  const std::size_t key = noTranslation.find(std::string("T\0r\0a\0n\0s", 10));
  ASSERT_NE(key, std::string::npos);
  noTranslation[key] = 'X';
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"missing", ""},
      {"text.exe", "MZ but nothing else"},
      {"empty.exe", ""},
      {"notrans.exe", noTranslation},
      {"elf-only-header", std::string("\x7F"
                                      "ELF\x02\x01\x01",
                                      7) +
                              std::string(57, '\0')},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    TFileVersionInfo info;
    info.SetExecutableFile(Write("good.exe", PeFile(true, block)));
    ASSERT_EQ(info.CountryCode(), "040704E4");
    info.SetFileVersion("stored by hand");
    info.SetExecutableFile(name == "missing" ? test::TempDir() + "/missing.exe"
                                             : Write(name, bytes));
    ExpectAllEmpty(info);
  }
}

TEST(FileVersionInfoTest, DamagedFilesAndBlocksNeverReadOutside) {
  // The block ends the file, so any shorter file has no whole block and gives none.
  const std::string whole = PeFile(false, SampleBlock());
  for (std::size_t length = 0; length < whole.size(); length += 3) {
    EXPECT_EQ(ReadVersionResource(Write("cut.exe", whole.substr(0, length))), "") << length;
  }
  EXPECT_EQ(ReadVersionResource(Write("whole.exe", whole)), SampleBlock());
  // Every 16-bit field of the block set to 0, 1 and 0xFFFF in turn: what a lookup finds lies
  // inside the block.
  const std::string block = SampleBlock();
  for (std::size_t at = 0; at + 1 < block.size(); at += 2) {
    for (unsigned value : {0u, 1u, 0xFFFFu}) {
      std::string damaged = block;
      Put16(damaged, at, value);
      for (const char* path : {"\\StringFileInfo\\040704E4\\Comments", "\\VarFileInfo\\Translation",
                               "\\StringFileInfo\\040704E4\\FileVersion"}) {
        std::optional<VersionValue> v = QueryVersionValue(damaged, path);
        if (!v) continue;
        EXPECT_GE(v->bytes.data(), damaged.data());
        EXPECT_LE(v->bytes.data() + v->bytes.size(), damaged.data() + damaged.size());
        EXPECT_LE(VersionText(*v).size(), damaged.size() * 2);
      }
    }
  }
}

#ifdef TABULIX_WINDOW
TEST(FileVersionInfoTest, TheWindowsExecutableCarriesItsVersion) {
  TFileVersionInfo info;
  info.SetExecutableFile(TABULIX_WINDOW);
  EXPECT_EQ(info.CountryCode(), "040704E4");
  EXPECT_EQ(info.FileVersion(), "1.0.0.0");
  EXPECT_EQ(info.ProductVersion(), "1.0.0.0");
  EXPECT_EQ(info.ProductName(), "Tabulix");
  // A file without a block after one with: everything goes, the country code included.
  info.SetExecutableFile(TABULIX_CLI);
  ExpectAllEmpty(info);
}
#endif

}  // namespace
}  // namespace tabulix::app
