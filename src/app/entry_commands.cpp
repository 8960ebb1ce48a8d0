#include "app/entry_commands.h"

#include <functional>
#include <optional>
#include <variant>
#include <vector>

#include "app/command_line.h"
#include "app/command_options.h"
#include "app/event_commands.h"
#include "app/price_commands.h"
#include "app/trade_entry.h"
#include "engine/db_error.h"
#include "ledger/ledger_open.h"
#include "ledger/ledger_session.h"
#include "ledger/ledger_writes.h"

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
    "      adds a cash dividend; shares bought with it are added as a purchase in the same step\n"
    "  shareledger add price LEDGER --symbol S --date YYYY-MM-DD --close X [--replace]\n"
    "      adds a closing price as quoted that day, per share after any split dated on or before it;\n"
    "      --replace puts it in place of the one of that symbol and date\n";
const char* const kDeleteUsage =
    "  shareledger delete split|dividend|price LEDGER --symbol S --date YYYY-MM-DD\n"
    "      deletes the split, dividend or closing price of that symbol and date\n";

namespace {

using exitcode::kFailed;
using exitcode::kOk;
using exitcode::kUsage;

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

// The trade the options give, read as the General tab is read.
std::variant<Trade, std::string> readTrade(const EntryRequest& r) {
  const std::string side = r.value("side");
  return readTradeText({r.value("symbol"), r.value("date"), r.value("quantity"), r.value("price"),
                        r.options->value("commission").value_or("0"),
                        side == "sell" ? TradeSide::Sell : TradeSide::Buy});
}

int addTrade(const EntryRequest& r, std::ostream& err) {
  const std::string side = r.value("side");
  if (side != "buy" && side != "sell") return usageError(err, kAddUsage, "--side takes buy or sell.");
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

int addPrice(const EntryRequest& r, std::ostream& err, SameDate sameDate) {
  auto read = readPrice(r.value("symbol"), r.value("date"), r.value("close"));
  if (const auto* problem = std::get_if<std::string>(&read)) return refused(err, *problem);
  return onLedger(r.ledgerPath, err,
                  [&](Database& db) { return savePrice(db, std::get<ClosePrice>(read), sameDate); });
}

}  // namespace

int addCommand(std::span<const std::string> args, std::ostream&, std::ostream& err) {
  // Each kind reads its own options: another kind's is unknown to it.
  struct Kind {
    const char* word;
    std::initializer_list<CommandOption> options;
    std::initializer_list<const char*> needed;
  };
  const Kind kinds[] = {
      {"trade",
       {{"symbol", true}, {"date", true}, {"side", true}, {"quantity", true}, {"price", true}, {"commission", true}},
       {"symbol", "date", "side", "quantity", "price"}},
      {"split", {{"symbol", true}, {"date", true}, {"ratio", true}, {"replace", false}}, {"symbol", "date", "ratio"}},
      {"dividend",
       {{"symbol", true}, {"date", true}, {"gross", true}, {"withholding", true}, {"reinvest-quantity", true},
        {"reinvest-price", true}, {"replace", false}},
       {"symbol", "date", "gross"}},
      {"price", {{"symbol", true}, {"date", true}, {"close", true}, {"replace", false}}, {"symbol", "date", "close"}},
  };
  // Which kind, read with every kind's options.
  const CommandOptions any(args, {{"symbol", true}, {"date", true}, {"side", true}, {"quantity", true},
                                  {"price", true}, {"commission", true}, {"ratio", true}, {"gross", true},
                                  {"withholding", true}, {"reinvest-quantity", true}, {"reinvest-price", true},
                                  {"close", true}, {"replace", false}});
  const std::vector<std::string> words = any.positional();
  const Kind* kind = nullptr;
  for (const Kind& k : kinds)
    if (!words.empty() && words[0] == k.word) kind = &k;
  if (!kind) return usageError(err, kAddUsage, "Say what to add: trade, split, dividend or price.");
  const CommandOptions options(args, kind->options);
  EntryRequest r;
  if (const auto problem = readRequest(options, kind->needed, r)) return usageError(err, kAddUsage, *problem);
  if (r.kind == "trade") return addTrade(r, err);
  const SameDate sameDate = options.isSet("replace") ? SameDate::Replace : SameDate::Refuse;
  if (r.kind == "split") return addSplit(r, err, sameDate);
  if (r.kind == "price") return addPrice(r, err, sameDate);
  return addDividend(r, err, sameDate);
}

int deleteCommand(std::span<const std::string> args, std::ostream&, std::ostream& err) {
  const CommandOptions options(args, {{"symbol", true}, {"date", true}});
  EntryRequest r;
  if (const auto problem = readRequest(options, {"symbol", "date"}, r)) return usageError(err, kDeleteUsage, *problem);
  if (r.kind != "split" && r.kind != "dividend" && r.kind != "price")
    return usageError(err, kDeleteUsage, "Say what to delete: split, dividend or price.");
  const std::string symbol = r.value("symbol"), date = r.value("date");
  return onLedger(r.ledgerPath, err, [&](Database& db) {
    if (r.kind == "price") return removePrice(db, symbol, date);
    return r.kind == "split" ? removeSplit(db, symbol, date) : removeDividend(db, symbol, date);
  });
}

}  // namespace ledger
