// The statement dialect translation and the quoting helpers.
#include <gtest/gtest.h>

#include "engine/db_error.h"
#include "engine/sql_translate.h"

namespace ledger {
namespace {

TEST(SqlTranslate, RewritesDatesAndDeleteStarLeavingTheRest) {
  const struct {
    const char* jet;
    const char* sqlite;
  } cases[] = {
      {"DELETE * FROM Trade", "DELETE FROM Trade"},
      {"delete  *  from Trade WHERE x = 1", "delete from Trade WHERE x = 1"},
      {"DELETE FROM Trade", "DELETE FROM Trade"},
      {"SELECT * FROM Trade WHERE Date = #2024-01-31#", "SELECT * FROM Trade WHERE Date = '2024-01-31'"},
      {"WHERE Date = #1/5/2024# AND x", "WHERE Date = '2024-01-05' AND x"},
      {"WHERE (CompanyID = 1 AND Date = # 2024-12-31 #)", "WHERE (CompanyID = 1 AND Date = '2024-12-31')"},
      // Literals and bracketed names are never touched.
      {"SELECT '#not a date#' FROM [Profit/Loss]", "SELECT '#not a date#' FROM [Profit/Loss]"},
      {"SELECT 'it''s #1#', \"a#b\" FROM [a#b]", "SELECT 'it''s #1#', \"a#b\" FROM [a#b]"},
      {"SELECT 'DELETE * FROM x'", "SELECT 'DELETE * FROM x'"},
      {"SELECT * FROM [Total Buy]", "SELECT * FROM [Total Buy]"},
      // Words that merely contain the keyword stay.
      {"SELECT UNDELETE * FROM t", "SELECT UNDELETE * FROM t"},
      {"SELECT deleted * fromage", "SELECT deleted * fromage"},
  };
  for (const auto& c : cases) EXPECT_EQ(translateJetSql(c.jet), c.sqlite) << c.jet;
}

TEST(SqlTranslate, BadDatesAreSyntaxErrors) {
  for (const char* jet : {"WHERE Date = #2024-02-30#", "WHERE Date = #tomorrow#", "WHERE Date = #2024-01-01",
                          "WHERE Date = #13/1/2024#", "x = ##"}) {
    EXPECT_EQ(passOver([&] { translateJetSql(jet); }), dberr::kSyntax) << jet;
  }
}

TEST(SqlQuoting, StringsAndNames) {
  EXPECT_EQ(quoteSqlString("ABC"), "'ABC'");
  EXPECT_EQ(quoteSqlString("O'Brien"), "'O''Brien'");
  EXPECT_EQ(quoteSqlString("''"), "''''''");
  EXPECT_EQ(quoteSqlIdentifier("Profit/Loss"), "\"Profit/Loss\"");
  EXPECT_EQ(quoteSqlIdentifier("a\"b"), "\"a\"\"b\"");
  EXPECT_EQ(unquoteSourceName("[Total Buy]"), "Total Buy");
  EXPECT_EQ(unquoteSourceName(" Trade "), "Trade");
  EXPECT_EQ(unquoteSourceName("\"a\"\"b\""), "a\"b");
}

}  // namespace
}  // namespace ledger
