// Column names as statements write them: the quoting rule by example, and the reserved-word
// list against the server itself (every keyword must make a usable column name once passed
// through QuoteColumnName, and every listed word must really be refused bare).
#include <gtest/gtest.h>

#include <string>

#include "DatabaseComponentFixture.h"
#include "framework/Exceptions.h"
#include "mysql/ColumnName.h"
#include "mysql/internal/ReservedWords.h"

namespace tabulix::test {
namespace {

constexpr const char* kDatabase = "tabulix_column_names";

TEST(ColumnName, PlainNamesStayAndOthersGoInBackticks) {
  const struct {
    const char* name;
    const char* written;
  } cases[] = {
      {"id", "id"},
      {"Name", "Name"},
      {"DATE", "DATE"},
      {"_x9$", "_x9$"},
      {"order", "`order`"},
      {"Order", "`Order`"},
      {"KEY", "`KEY`"},
      {"desc", "`desc`"},
      {"Values", "`Values`"},
      {"Species No", "`Species No`"},
      {"Length (cm)", "`Length (cm)`"},
      {"Invoice #", "`Invoice #`"},
      {"1e5", "`1e5`"},
      {"2E3", "`2E3`"},
      {"0x1F", "`0x1F`"},
      {"0b01", "`0b01`"},
      {"$x", "`$x`"},
      {"a`b", "`a``b`"},
      {"Stra\xC3\x9F"
       "e",
       "`Stra\xC3\x9F"
       "e`"},
      {"", "``"},
  };
  for (const auto& c : cases) EXPECT_EQ(QuoteColumnName(c.name), c.written) << c.name;
  EXPECT_TRUE(IsReservedWord("group"));
  EXPECT_FALSE(IsReservedWord("groups"));
  EXPECT_EQ(mysql_internal::ReservedWords().size(), 254u);
}

class ColumnNameServer : public ComponentTest {
 protected:
  static void SetUpTestSuite() { CreateSuiteDatabase(kDatabase); }
};

TEST_F(ColumnNameServer, EveryKeywordMakesAColumnAndEveryListedWordIsRefusedBare) {
  ServerSession session(kDatabase);
  session.Exec("DROP TABLE IF EXISTS keywords");
  // One column per keyword, each written as the dataset writes column names.
  std::string create = "CREATE TABLE keywords (";
  int count = 0;
  {
    ServerSession reader("information_schema");
    reader.Exec("SET SESSION group_concat_max_len = 1000000");
    const int rows = std::stoi(reader.Value("COUNT(*) FROM information_schema.KEYWORDS"));
    std::string words = reader.Value("GROUP_CONCAT(WORD SEPARATOR '\\n') FROM KEYWORDS");
    ASSERT_GT(rows, 600);
    std::size_t start = 0;
    while (start <= words.size()) {
      std::size_t end = words.find('\n', start);
      if (end == std::string::npos) end = words.size();
      if (count) create += ", ";
      create += QuoteColumnName(words.substr(start, end - start)) + " INT";
      ++count;
      start = end + 1;
    }
    ASSERT_EQ(count, rows) << "GROUP_CONCAT cut the list";
  }
  create += ")";
  EXPECT_NO_THROW(session.Exec(create));
  EXPECT_EQ(session.Value("COUNT(*) FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = '" +
                          std::string(kDatabase) + "' AND TABLE_NAME = 'keywords'"),
            std::to_string(count));

  for (std::string_view word : mysql_internal::ReservedWords()) {
    EXPECT_THROW(session.Exec("CREATE TEMPORARY TABLE bare (" + std::string(word) + " INT)"),
                 EDatabaseError)
        << word;
  }
  session.Exec("DROP TABLE keywords");
}

}  // namespace
}  // namespace tabulix::test
