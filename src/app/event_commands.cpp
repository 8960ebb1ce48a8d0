#include "app/event_commands.h"

#include <charconv>

#include "engine/blanks.h"
#include "engine/db_error.h"
#include "ledger/notifier.h"

namespace ledger {

namespace {

// A whole number above zero, digits only.
std::optional<std::int64_t> wholeAboveZero(std::string_view text) {
  std::int64_t n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty() || text[0] == '-' || n <= 0)
    return std::nullopt;
  return n;
}

// An amount typed, or the message naming it.
std::variant<Decimal, std::string> amount(std::string_view text, const char* what) {
  if (const std::optional<Decimal> d = Decimal::parse(text)) return *d;
  return std::string("The ") + what + " must be a number written with '.' as the point, for example 12.50.";
}

}  // namespace

std::optional<std::string> refusalOf(const char* what, const std::function<void()>& write) {
  try {
    write();
    return std::nullopt;
  } catch (const DbError& e) {
    // The ledger's own refusals and a change made elsewhere say it all.
    if (e.number() == dberr::kConstraint || e.number() == dberr::kChangedElsewhere ||
        e.number() == dberr::kItemNotFound)
      return std::string(e.what());
    return std::string(what) + kNewLine + kNewLine + e.what();
  }
}

std::variant<StockSplit, std::string> readSplit(std::string_view symbol, std::string date, std::string_view ratio) {
  const std::size_t colon = ratio.find(':');
  const auto newShares = colon == std::string_view::npos ? std::nullopt : wholeAboveZero(ratio.substr(0, colon));
  const auto oldShares = colon == std::string_view::npos ? std::nullopt : wholeAboveZero(ratio.substr(colon + 1));
  if (!newShares || !oldShares) return std::string(kSplitRatioRule);
  return StockSplit{std::string(trimBlanks(symbol)), std::move(date), *newShares, *oldShares};
}

std::variant<CashDividend, std::string> readDividend(const DividendText& text) {
  CashDividend d;
  // Blanks around the symbol are dropped, as the trade entry drops them.
  d.symbol = std::string(trimBlanks(text.symbol));
  d.date = text.date;
  const auto gross = amount(text.gross, "gross amount");
  if (const auto* problem = std::get_if<std::string>(&gross)) return *problem;
  d.gross = std::get<Decimal>(gross);
  if (!text.withholding.empty()) {
    const auto withheld = amount(text.withholding, "tax withheld");
    if (const auto* problem = std::get_if<std::string>(&withheld)) return *problem;
    d.withholding = std::get<Decimal>(withheld);
  }
  if (!text.reinvestQuantity.empty()) {
    const auto quantity = amount(text.reinvestQuantity, "quantity of shares bought");
    if (const auto* problem = std::get_if<std::string>(&quantity)) return *problem;
    d.reinvestQuantity = std::get<Decimal>(quantity);
  }
  if (!text.reinvestPrice.empty()) {
    const auto price = amount(text.reinvestPrice, "price of the shares bought");
    if (const auto* problem = std::get_if<std::string>(&price)) return *problem;
    d.reinvestPrice = std::get<Decimal>(price);
  }
  return d;
}

std::optional<std::string> saveSplit(Database& db, const StockSplit& split, SameDate sameDate) {
  return refusalOf("The split could not be saved.", [&] { addSplit(db, split, sameDate); });
}

std::optional<std::string> changeSplit(Database& db, const StockSplit& shown, const StockSplit& split) {
  return refusalOf("The split could not be saved.", [&] { editSplit(db, shown, split); });
}

std::optional<std::string> removeSplit(Database& db, std::string_view symbol, std::string_view date) {
  return refusalOf("The split could not be deleted.", [&] { deleteSplit(db, symbol, date); });
}

std::optional<std::string> saveDividend(Database& db, const CashDividend& dividend, SameDate sameDate) {
  return refusalOf("The dividend could not be saved.", [&] { addDividend(db, dividend, sameDate); });
}

std::optional<std::string> changeDividend(Database& db, const CashDividend& shown, const CashDividend& dividend) {
  return refusalOf("The dividend could not be saved.", [&] { editDividend(db, shown, dividend); });
}

std::optional<std::string> removeDividend(Database& db, std::string_view symbol, std::string_view date) {
  return refusalOf("The dividend could not be deleted.", [&] { deleteDividend(db, symbol, date); });
}

}  // namespace ledger
