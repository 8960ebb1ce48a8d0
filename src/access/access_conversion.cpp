#include "access/access_conversion.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

#include "engine/database.h"
#include "engine/db_error.h"
#include "engine/durable_file.h"
#include "engine/statement.h"
#include "ledger/ledger_change.h"
#include "ledger/ledger_open.h"
#include "ledger/notifier.h"
#include "ledger/symbol_text.h"

namespace ledger {

namespace {

constexpr const char* kTradeColumns[] = {"CompanyID", "CompanySymbol", "Quantity", "Buy/Sell",
                                         "Date",      "Price",         "Commission"};
constexpr const char* kCompanyColumns[] = {"CompanyID", "CompanySymbol"};

std::string lowered(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

std::optional<std::string> findName(const std::vector<std::string>& names, const std::string& wanted) {
  for (const std::string& n : names)
    if (lowered(n) == lowered(wanted)) return n;
  return std::nullopt;
}

bool isForbidden(const std::string& target, const std::vector<std::string>& forbidden) {
  for (const std::string& f : forbidden) {
    if (f.empty()) continue;
    std::error_code ec;
    if (std::filesystem::equivalent(target, f, ec) && !ec) return true;
    if (lowered(std::filesystem::absolute(target, ec).lexically_normal().string()) ==
        lowered(std::filesystem::absolute(f, ec).lexically_normal().string()))
      return true;
  }
  return false;
}

// The positions of wanted columns in table; missing ones are named in why.
std::vector<std::size_t> columnPositions(const SourceTable& table, std::span<const char* const> wanted,
                                         const std::string& tableName, std::string& why) {
  std::vector<std::size_t> positions;
  std::string missing;
  for (const char* name : wanted) {
    const auto it = std::find_if(table.columns.begin(), table.columns.end(),
                                 [&](const std::string& c) { return lowered(c) == lowered(name); });
    if (it == table.columns.end()) {
      missing += (missing.empty() ? "" : ", ") + std::string(name);
      continue;
    }
    positions.push_back(static_cast<std::size_t>(it - table.columns.begin()));
  }
  if (!missing.empty()) why += "The table " + tableName + " has no column " + missing + "." + kNewLine;
  return positions;
}

// A DateTime read as "YYYY-MM-DD HH:MM:SS" keeps its date: the ledger
// keeps days.
Value dateOnly(const Value& v) {
  if (const auto* s = std::get_if<std::string>(&v); s && s->size() > 10 && (*s)[10] == ' ')
    return s->substr(0, 10);
  return v;
}

// Why a row's symbol cannot come into the new ledger, or "". The older
// file stays as it is, so refusing loses nothing; the user mends the
// symbol there and converts again.
std::string unseenSymbolRefusal(const SourceTable& table, std::size_t column, const char* tableName) {
  for (std::size_t row = 0; row < table.rows.size(); ++row) {
    const auto* symbol = std::get_if<std::string>(&table.rows[row][column]);
    if (!symbol) continue;
    if (const auto unseen = unseenSymbolCharacter(*symbol))
      return "The new ledger was not made: row " + std::to_string(row + 1) + " of " + tableName +
             " has a symbol holding " + codePointName(*unseen) +
             ", a control character or one that cannot be seen." + kNewLine + kNewLine +
             "Mend the symbol in the older ledger and convert it again.";
  }
  return "";
}

}  // namespace

std::string checkLedgerTables(TableSource& source) {
  const std::vector<std::string> names = source.tableNames();
  const bool trade = findName(names, "Trade").has_value();
  const bool companies = findName(names, "Companies").has_value();
  if (trade && companies) return "";
  std::string text = "This file cannot be made into a ledger: it has no ";
  text += !trade && !companies ? "Trade table and no Companies table." : !trade ? "Trade table." : "Companies table.";
  text += kNewLine;
  text += kNewLine;
  if (names.empty()) {
    text += "It has no tables at all.";
  } else {
    text += "The tables it has: ";
    for (std::size_t i = 0; i < names.size(); ++i) text += (i ? ", " : "") + names[i];
    text += ".";
  }
  return text;
}

ConversionOutcome convertAccessLedger(TableSource& source, const std::string& newPath,
                                      const std::string& templateFile,
                                      const std::vector<std::string>& forbidden) {
  ConversionOutcome outcome;
  if (newPath.empty() || isForbidden(newPath, forbidden)) {
    outcome.message = "You can not save to this file.";
    return outcome;
  }
  outcome.message = checkLedgerTables(source);
  if (!outcome.message.empty()) return outcome;

  std::string why;
  SourceTable trade, companies;
  try {
    const std::vector<std::string> names = source.tableNames();
    trade = source.readTable(*findName(names, "Trade"));
    companies = source.readTable(*findName(names, "Companies"));
  } catch (const SourceError& e) {
    outcome.message = std::string("The older ledger cannot be read.") + kNewLine + kNewLine + e.what();
    return outcome;
  }
  const auto tradeAt = columnPositions(trade, kTradeColumns, "Trade", why);
  const auto companyAt = columnPositions(companies, kCompanyColumns, "Companies", why);
  if (!why.empty()) {
    outcome.message = "This file cannot be made into a ledger." + std::string(kNewLine) + kNewLine + why;
    return outcome;
  }

  outcome.message = unseenSymbolRefusal(companies, companyAt[1], "Companies");
  if (outcome.message.empty()) outcome.message = unseenSymbolRefusal(trade, tradeAt[1], "Trade");
  if (!outcome.message.empty()) return outcome;

  std::size_t row = 0;
  bool inRows = false;  // a failure now is a row the new ledger refuses
  const char* table = "Companies";
  try {
    TempFileBeside temp(newPath);
    temp.copyFrom(templateFile);
    {
      Database db = openLedger(temp.path());
      LedgerChange change(db);
      db.executeScript("DELETE FROM Trade; DELETE FROM Companies;");
      Statement addCompany(db, "INSERT INTO Companies (CompanyID, CompanySymbol) VALUES (?1, ?2)");
      inRows = true;
      for (row = 0; row < companies.rows.size(); ++row) {
        const auto& r = companies.rows[row];
        const Value values[] = {r[companyAt[0]], r[companyAt[1]]};
        addCompany.bindAll(values);
        addCompany.run();
        addCompany.reset();
      }
      table = "Trade";
      Statement addTrade(db,
                         "INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, "
                         "Price, Commission) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
      for (row = 0; row < trade.rows.size(); ++row) {
        const auto& r = trade.rows[row];
        const Value values[] = {r[tradeAt[0]], r[tradeAt[1]], r[tradeAt[2]],          r[tradeAt[3]],
                                dateOnly(r[tradeAt[4]]), r[tradeAt[5]], r[tradeAt[6]]};
        addTrade.bindAll(values);
        addTrade.run();
        addTrade.reset();
      }
      inRows = false;
      change.commitRewrite();
    }
    removeLeftoverJournals(newPath);
    temp.commitOver(newPath);
  } catch (const DbError& e) {
    if (inRows)
      outcome.message = "The new ledger was not made: row " + std::to_string(row + 1) + " of " + table +
                        " does not fit it." + kNewLine + kNewLine + e.what();
    else
      outcome.message = std::string("The new ledger could not be written to") + kNewLine + newPath + kNewLine +
                        kNewLine + e.what();
    return outcome;
  } catch (const std::filesystem::filesystem_error& e) {
    outcome.message = std::string("The new ledger could not be written to") + kNewLine + newPath + kNewLine +
                      kNewLine + e.code().message();
    return outcome;
  }
  outcome.made = true;
  outcome.trades = trade.rows.size();
  outcome.companies = companies.rows.size();
  outcome.message = "The ledger was copied with " + std::to_string(outcome.trades) + " trades and " +
                    std::to_string(outcome.companies) + " companies.";
  return outcome;
}

}  // namespace ledger
