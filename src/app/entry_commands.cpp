#include "app/entry_commands.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

#include "app/command_line.h"
#include "app/command_options.h"
#include "app/event_commands.h"
#include "engine/db_error.h"
#include "figures/number_limits.h"
#include "ledger/ledger_open.h"
#include "ledger/ledger_session.h"
#include "ledger/ledger_writes.h"
#include "ledger/symbol_text.h"

namespace ledger {

const char* const kAddUsage =
    "  shareledger add trade LEDGER --symbol S --date YYYY-MM-DD --side buy|sell --quantity Q --price P\n"
    "      [--commission C]\n"
    "      adds a trade of a company in the ledger's list, as the window's Save does\n"
    "  shareledger add split LEDGER --symbol S --date YYYY-MM-DD --ratio NEW:OLD [--replace]\n"
    "      adds a split (2:1 doubles the shares, 1:10 is a reverse split); --replace puts it in place of\n"
    "      the one of that symbol and date\n"
    "  shareledger add dividend LEDGER --symbol S --date YYYY-MM-DD --gross G [--withholding W]\n"
    "      [--reinvest-quantity Q --reinvest-price P] [--replace]\n"
    "      adds a cash dividend; shares bought with it are added as a purchase in the same step\n";
const char* const kDeleteUsage =
    "  shareledger delete split|dividend LEDGER --symbol S --date YYYY-MM-DD\n"
    "      deletes the split or dividend of that symbol and date\n";

namespace {

using exitcode::kFailed;
using exitcode::kOk;
using exitcode::kUsage;

int usage(std::ostream& err, const char* text, const std::string& problem) {
  err << problem << "\nUsage:\n" << text;
  return kUsage;
}

int refused(std::ostream& err, const std::string& message) {
  err << terminalText(message) << "\n";
  return kFailed;
}

// The command's options once read: the kind word, the ledger and the
// values given; or what is wrong with how it was written.
struct EntryRequest {
  std::string kind, ledgerPath;
  const CommandOptions* options = nullptr;
  std::string value(const char* name) const { return options->value(name).value_or(std::string()); }
};

std::optional<std::string> readRequest(const CommandOptions& options, std::initializer_list<const char*> needed,
                                       EntryRequest& request) {
  if (const auto& mistake = options.mistake())
    return mistake->kind == OptionMistake::NoValue ? "--" + mistake->name + " needs a value."
                                                   : "Unknown option " + mistake->argument + ".";
  const std::vector<std::string> positional = options.positional();
  if (positional.size() != 2) return std::string("Say what to enter and in which ledger.");
  request.kind = positional[0];
  request.ledgerPath = positional[1];
  request.options = &options;
  for (const char* name : needed)
    if (!options.value(name)) return "--" + std::string(name) + " is needed.";
  return std::nullopt;
}

// The ledger for writing, or the message why it cannot be written.
std::variant<Database, std::string> writableLedger(const std::string& path) {
  try {
    Database db = openLedger(path);
    if (db.keptFromWriting()) return foreignObjectsMessage(db);
    return db;
  } catch (const DbError& e) {
    return path + ": " + e.what();
  }
}

// Runs change on the ledger; 0 when it is done, 1 with its message.
int onLedger(const std::string& path, std::ostream& err,
             const std::function<std::optional<std::string>(Database&)>& change) {
  auto ledger = writableLedger(path);
  if (const auto* problem = std::get_if<std::string>(&ledger)) return refused(err, *problem);
  if (const auto message = change(std::get<Database>(ledger))) return refused(err, *message);
  return kOk;
}

// The trade the options give, as the General tab would read it.
std::variant<Trade, std::string> readTrade(const EntryRequest& r) {
  Trade t;
  t.symbol = r.value("symbol");
  if (const auto unseen = unseenSymbolCharacter(t.symbol)) return unseenCharacterMessage(*unseen);
  t.date = r.value("date");
  if (!isIsoDate(t.date))
    return std::string("The trade date must be a date written YYYY-MM-DD, for example 2024-03-15.");
  const std::string side = r.value("side");
  t.side = side == "sell" ? TradeSide::Sell : TradeSide::Buy;
  struct NumberOption {
    const char* name;
    TradeNumber which;
    double* target;
  };
  const NumberOption numbers[] = {{"quantity", TradeNumber::Quantity, &t.quantity},
                                  {"price", TradeNumber::Price, &t.price},
                                  {"commission", TradeNumber::Commission, &t.commission}};
  for (const NumberOption& n : numbers) {
    const std::string text = n.which == TradeNumber::Commission ? r.options->value(n.name).value_or("0")
                                                                 : r.value(n.name);
    if (auto problem = checkTradeNumberText(n.which, text, n.target)) return *problem;
  }
  return t;
}

int addTrade(const EntryRequest& r, std::ostream& err) {
  const std::string side = r.value("side");
  if (side != "buy" && side != "sell") return usage(err, kAddUsage, "--side takes buy or sell.");
  auto read = readTrade(r);
  if (const auto* problem = std::get_if<std::string>(&read)) return refused(err, *problem);
  Trade trade = std::get<Trade>(read);
  return onLedger(r.ledgerPath, err, [&](Database& db) -> std::optional<std::string> {
    try {
      const std::optional<std::int64_t> company = findCompany(db, trade.symbol);
      if (!company) return "The symbol " + trade.symbol + " is not in the list of companies.";
      trade.companyId = *company;
      insertTrade(db, trade);
      return std::nullopt;
    } catch (const DbError& e) {
      return "The trade could not be saved." + std::string(kNewLine) + kNewLine + e.what();
    }
  });
}

int addSplit(const EntryRequest& r, std::ostream& err, SameDate sameDate) {
  auto read = readSplit(r.value("symbol"), r.value("date"), r.value("ratio"));
  if (const auto* problem = std::get_if<std::string>(&read)) return refused(err, *problem);
  return onLedger(r.ledgerPath, err,
                  [&](Database& db) { return saveSplit(db, std::get<StockSplit>(read), sameDate); });
}

int addDividend(const EntryRequest& r, std::ostream& err, SameDate sameDate) {
  auto read = readDividend({r.value("symbol"), r.value("date"), r.value("gross"), r.value("withholding"),
                            r.value("reinvest-quantity"), r.value("reinvest-price")});
  if (const auto* problem = std::get_if<std::string>(&read)) return refused(err, *problem);
  return onLedger(r.ledgerPath, err,
                  [&](Database& db) { return saveDividend(db, std::get<CashDividend>(read), sameDate); });
}

}  // namespace

int addCommand(std::span<const std::string> args, std::ostream&, std::ostream& err) {
  const CommandOptions options(args, {{"symbol", true},
                                      {"date", true},
                                      {"side", true},
                                      {"quantity", true},
                                      {"price", true},
                                      {"commission", true},
                                      {"ratio", true},
                                      {"gross", true},
                                      {"withholding", true},
                                      {"reinvest-quantity", true},
                                      {"reinvest-price", true},
                                      {"replace", false}});
  EntryRequest r;
  // What each kind needs; an option of another kind is a mistake.
  struct Kind {
    const char* word;
    std::initializer_list<const char*> needed;
    std::initializer_list<const char*> allowed;
  };
  const Kind kinds[] = {
      {"trade", {"symbol", "date", "side", "quantity", "price"}, {"commission"}},
      {"split", {"symbol", "date", "ratio"}, {"replace"}},
      {"dividend", {"symbol", "date", "gross"}, {"withholding", "reinvest-quantity", "reinvest-price", "replace"}},
  };
  const std::vector<std::string> positional = options.positional();
  const Kind* kind = nullptr;
  for (const Kind& k : kinds)
    if (!positional.empty() && positional[0] == k.word) kind = &k;
  if (!kind) {
    if (const auto problem = readRequest(options, {}, r)) return usage(err, kAddUsage, *problem);
    return usage(err, kAddUsage, "Say what to add: trade, split or dividend.");
  }
  if (const auto problem = readRequest(options, kind->needed, r)) return usage(err, kAddUsage, *problem);
  const auto listed = [](std::initializer_list<const char*> names, std::string_view name) {
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return name == n; });
  };
  for (const char* name : {"side", "quantity", "price", "commission", "ratio", "gross", "withholding",
                           "reinvest-quantity", "reinvest-price", "replace"})
    if (options.isSet(name) && !listed(kind->needed, name) && !listed(kind->allowed, name))
      return usage(err, kAddUsage, "--" + std::string(name) + " is not an option of add " + kind->word + ".");
  const SameDate sameDate = options.isSet("replace") ? SameDate::Replace : SameDate::Refuse;
  if (r.kind == "trade") return addTrade(r, err);
  if (r.kind == "split") return addSplit(r, err, sameDate);
  return addDividend(r, err, sameDate);
}

int deleteCommand(std::span<const std::string> args, std::ostream&, std::ostream& err) {
  const CommandOptions options(args, {{"symbol", true}, {"date", true}});
  EntryRequest r;
  if (const auto problem = readRequest(options, {"symbol", "date"}, r)) return usage(err, kDeleteUsage, *problem);
  if (r.kind != "split" && r.kind != "dividend")
    return usage(err, kDeleteUsage, "Say what to delete: split or dividend.");
  const std::string symbol = r.value("symbol"), date = r.value("date");
  return onLedger(r.ledgerPath, err, [&](Database& db) {
    return r.kind == "split" ? removeSplit(db, symbol, date) : removeDividend(db, symbol, date);
  });
}

}  // namespace ledger
