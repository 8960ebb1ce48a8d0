// What the import window reads from a ledger in the older format.
#include <gtest/gtest.h>

#include "app/import_input.h"
#include "fakes.h"

namespace ledger {
namespace {

class TwoTables final : public TableSource {
 public:
  std::vector<std::string> tableNames() override { return {"Trades", "Broken"}; }
  SourceTable readTable(const std::string& name) override {
    if (name == "Broken") throw SourceError("page 7 cannot be read");
    return {{"Symbol", "Quantity"}, {{std::string("ABC"), std::int64_t{10}}, {std::string("XYZ"), Value{}}}};
  }
};

TEST(ImportInputTest, ATableReadsAsItsRowsUnderItsColumnNames) {
  struct Case {
    std::string table;
    std::vector<CsvRecord> records;
    std::string told;
  };
  for (const Case& c : std::vector<Case>{
           {"Trades", {{"Symbol", "Quantity"}, {"ABC", "10"}, {"XYZ", ""}}, ""},
           {"Broken", {}, "The table Broken cannot be read.\r\n\r\npage 7 cannot be read"},
           {"", {}, ""},  // no table chosen: nothing read
       }) {
    SCOPED_TRACE(c.table);
    ImportInput input;
    input.source = std::make_unique<TwoTables>();
    test::ScriptedPrompter prompter;
    if (!c.told.empty()) prompter.expect(MsgAnswer::Ok);
    ImportReading reading;
    reading.table = c.table;
    const ImportTable table = readImportTable(input, reading, prompter);
    EXPECT_EQ(table.records, c.records);
    EXPECT_EQ(table.columnCount, c.records.empty() ? 0u : 2u);
    EXPECT_TRUE(table.hasHeader);
    std::string told;
    for (const test::ShownMessage& m : prompter.shown) told += m.text;
    EXPECT_EQ(told, c.told);
  }
}

}  // namespace
}  // namespace ledger
