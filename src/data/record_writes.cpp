#include "record_writes.h"

#include <array>

#include "db_error.h"
#include "sqlite_util.h"

namespace ledger {

namespace {

std::string general(const FormPort& form, const char* column) {
  return form.boxText(column, kGeneralTab).value_or(std::string());
}

bool isNonNegativeNumber(const std::string& text) {
  const auto n = parseNumber(text);
  return n && *n >= 0;
}

void reportRefusal(LedgerSession& session, const std::string& what, const DbError& e) {
  session.prompter().show(what + kNewLine + kNewLine + e.what(), MsgIcon::Critical);
}

// The columns written from boxes of the same name, in Trade's order.
constexpr std::array<const char*, 6> kBoxColumns = {"CompanyID", "CompanySymbol", "Quantity",
                                                    "Date",      "Price",         "Commission"};

}  // namespace

std::optional<std::string> checkGeneralTab(const FormPort& form, bool adding) {
  if (general(form, "CompanySymbol").empty()) return "Please choose the company's symbol.";
  if (adding && !parseInteger(general(form, "CompanyID")))
    return "The company number is missing; choose the company's symbol from the list.";
  if (!isIsoDate(general(form, "Date")))
    return "The trade date must be a date written YYYY-MM-DD, for example 2024-03-15.";
  if (!isNonNegativeNumber(general(form, "Quantity"))) return "The quantity must be a number of 0 or more.";
  if (!isNonNegativeNumber(general(form, "Price"))) return "The price must be a number of 0 or more.";
  if (!isNonNegativeNumber(general(form, "Commission"))) return "The commission must be a number of 0 or more.";
  return std::nullopt;
}

bool SaveRecord(LedgerSession& session, const FormPort& form, const std::string& mode,
                std::optional<std::int64_t> editRow) {
  const bool adding = mode == "Save";
  if (auto problem = checkGeneralTab(form, adding)) {
    session.prompter().show(*problem, MsgIcon::Information);
    return false;
  }
  if (!adding && !editRow) {
    session.prompter().show("There is no trade shown to change.", MsgIcon::Information);
    return false;
  }
  if (!session.OpenLedgerTable("Trade")) return false;
  Recordset& rs = *session.CurrentRecordset;
  try {
    if (adding) {
      rs.addNew();
    } else {
      rs.moveToBookmark(*editRow);
      rs.edit();
    }
    for (const char* column : kBoxColumns) {
      if (!adding && std::string_view(column) == "CompanyID") continue;  // an edit keeps the company number
      rs.setValue(column, general(form, column));
    }
    rs.setValue("Buy/Sell", std::string(form.isBuySelected() ? "B" : "S"));
    rs.update();
    return true;
  } catch (const DbError& e) {
    rs.cancelUpdate();
    reportRefusal(session, "The trade could not be saved.", e);
    return false;
  }
}

bool DeleteRecord(LedgerSession& session, const FormPort& form) {
  // A trade shown from a file that has since been replaced is not asked about.
  if (session.checkLedgerFile() != LedgerFileState::Unchanged) return false;
  if (session.prompter().show(kDeleteQuestion, MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
    return false;
  try {
    Database db = Database::open(session.LedgerPath);
    // Numbers are matched by the text they are shown with, which is what
    // the user saw; candidates are narrowed by the exact fields first.
    const Value keys[] = {general(form, "CompanyID"), general(form, "Date"),
                          std::string(form.isBuySelected() ? "B" : "S")};
    auto candidates = detail::prepare(db.handle(),
                                      "SELECT rowid, Quantity, Price, Commission FROM Trade "
                                      "WHERE CompanyID = ?1 AND Date = ?2 AND [Buy/Sell] = ?3 ORDER BY rowid");
    detail::bindAll(db.handle(), candidates.get(), keys);
    std::optional<std::int64_t> victim;
    while (detail::step(db.handle(), candidates.get())) {
      const bool same = toDisplayText(detail::columnValue(candidates.get(), 1)) == general(form, "Quantity") &&
                        toDisplayText(detail::columnValue(candidates.get(), 2)) == general(form, "Price") &&
                        toDisplayText(detail::columnValue(candidates.get(), 3)) == general(form, "Commission");
      if (!same) continue;
      const std::int64_t rowid = sqlite3_column_int64(candidates.get(), 0);
      if (!victim || rowid == session.ShownTrade) victim = rowid;
      if (rowid == session.ShownTrade) break;
    }
    candidates.reset();
    if (!victim) {
      session.prompter().show("The trade shown is no longer in the ledger; nothing was deleted.",
                              MsgIcon::Information);
      return false;
    }
    const Value row[] = {*victim};
    db.execute("DELETE FROM Trade WHERE rowid = ?", row);
    return true;
  } catch (const DbError& e) {
    reportRefusal(session, "The trade could not be deleted.", e);
    return false;
  }
}

}  // namespace ledger
