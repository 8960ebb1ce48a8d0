#include "app/price_import_command.h"

#include <filesystem>
#include <optional>
#include <variant>
#include <vector>

#include "app/command_line.h"
#include "app/command_options.h"
#include "app/price_import_flow.h"
#include "engine/db_error.h"
#include "ledger/ledger_open.h"

namespace ledger {

const char* const kImportPricesUsage =
    "  shareledger import-prices LEDGER FILE.csv [--symbol S] [--map date=COL,close=COL[,symbol=COL]]\n"
    "      [--date-format FMT] [--delimiter C] [--decimal-comma | --thousands-comma] [--replace] [--dry-run]\n"
    "      adds the closing prices of a CSV file, all or none; the columns and the date format are guessed\n"
    "      when not given; --symbol names the company unless the file has a symbol column; a date already\n"
    "      priced keeps the ledger's close unless --replace\n";

namespace {

using exitcode::kFailed;
using exitcode::kOk;

namespace text = price_import_text;

struct PriceRequest {
  std::string ledgerPath, csvPath;
  std::optional<std::string> mapText, symbol;
  std::optional<DateFormat> dateFormat;
  std::optional<char> delimiter;
  bool commaGiven = false, dryRun = false;
  PriceImportOptions options;  // the mapping, the symbol and the date format once the file is read
};

std::variant<PriceRequest, std::string> readPriceRequest(std::span<const std::string> args) {
  const CommandOptions given(args, {{"symbol", true},
                                    {"map", true},
                                    {"date-format", true},
                                    {"delimiter", true},
                                    {"decimal-comma", false},
                                    {"thousands-comma", false},
                                    {"replace", false},
                                    {"dry-run", false}});
  if (const auto& mistake = given.mistake()) {
    if (mistake->kind == OptionMistake::Unknown) return "Unknown option " + mistake->argument + ".";
    if (mistake->name == "symbol") return "--symbol needs a symbol.";
    if (mistake->name == "map") return "--map needs the columns.";
    if (mistake->name == "date-format") return "--date-format needs a format.";
    return "--delimiter takes ',', ';' or tab.";
  }
  PriceRequest request;
  for (const std::string& t : given.values("delimiter"))
    if (!(request.delimiter = delimiterFromText(t))) return "--delimiter takes ',', ';' or tab.";
  if (given.isSet("decimal-comma") && given.isSet("thousands-comma"))
    return "--decimal-comma and --thousands-comma exclude each other.";
  request.commaGiven = given.isSet("decimal-comma") || given.isSet("thousands-comma");
  request.options.decimalComma = given.isSet("decimal-comma");
  request.options.replaceHeld = given.isSet("replace");
  request.dryRun = given.isSet("dry-run");
  const std::vector<std::string> paths = given.positional();
  if (paths.size() != 2) return "Name the ledger and the CSV file.";
  request.ledgerPath = paths[0];
  request.csvPath = paths[1];
  request.mapText = given.value("map");
  request.symbol = given.value("symbol");
  if (request.symbol && request.symbol->empty()) return "--symbol needs a symbol.";
  if (const std::optional<std::string> format = given.value("date-format")) {
    request.dateFormat = dateFormatFromName(*format);
    if (!request.dateFormat) return "Unknown date format " + *format + ".";
  }
  return request;
}

// The mapping as given or guessed, the symbol, the date format and the
// comma settled; the text of what refuses the import otherwise, and
// whether it is a mistake in how the command was written.
struct Refusal {
  std::string message;
  bool usage = false;
};

std::optional<Refusal> settleOptions(PriceRequest& request, const PriceImportFlow& flow, std::ostream& out) {
  PriceImportOptions& options = request.options;
  const ImportTable& table = flow.table();
  if (request.mapText) {
    auto mapping = parsePriceMappingOption(*request.mapText, table.header(), table.columnCount);
    if (const auto* problem = std::get_if<std::string>(&mapping)) return Refusal{*problem};
    options.mapping = std::get<PriceMapping>(mapping);
  } else {
    options.mapping = flow.guess().mapping;
  }
  if (request.symbol) {
    if (options.mapping.symbol)
      return Refusal{"--symbol is for a file without a symbol column; this one reads the symbol from column " +
                         std::to_string(*options.mapping.symbol + 1) + ".",
                     true};
    options.symbol = *request.symbol;
  } else if (options.mapping.date && options.mapping.close && !options.mapping.symbol) {
    return Refusal{"The file has no symbol column: name the company with --symbol.", true};
  }
  if (const std::string missing = missingPriceFields(options); !missing.empty())
    return Refusal{missing + (request.mapText ? "" : " Name the columns with --map.")};
  if (request.dateFormat) {
    options.dateFormat = *request.dateFormat;
  } else {
    const std::vector<DateFormat> formats = flow.dateFormatsOf(options.mapping);
    if (formats.empty()) return Refusal{text::noDates(table, *options.mapping.date)};
    if (formats.size() > 1)
      return Refusal{text::ambiguousDates(table, *options.mapping.date, formats) + " Give it with --date-format."};
    options.dateFormat = formats.front();
  }
  if (!request.commaGiven) {
    // No one to ask: a comma the file leaves open refuses the import.
    const CommaSettling comma = flow.settleComma(options, [](const CommaGuess&) { return std::nullopt; });
    if (comma.how == CommaSettled::Unanswered)
      return Refusal{text::commaUnsettled(comma.guess) + " Say which with --decimal-comma or --thousands-comma."};
    if (comma.how == CommaSettled::ByFile)
      out << "Numbers such as " << comma.guess.example << " (column \"" << comma.guess.column << "\") are read with a "
          << (options.decimalComma ? "decimal comma" : "thousands comma") << ", as the file suggests.\n";
  }
  return std::nullopt;
}

int runPriceImport(PriceRequest request, std::ostream& out, std::ostream& err) {
  ImportTable table;
  try {
    table = readImportCsv(readWholeFile(request.csvPath), request.delimiter);
  } catch (const std::filesystem::filesystem_error& e) {
    err << request.csvPath << ": " << e.code().message() << "\n";
    return kFailed;
  }
  if (!table.unreadable.empty()) {
    err << request.csvPath << ": " << table.unreadable << "\n" << text::kNothingImported << "\n";
    return kFailed;
  }
  if (table.endsInsideQuotes) {
    err << request.csvPath << ": the file ends inside a quoted field; a closing quote is missing.\n";
    return kFailed;
  }
  request.options.hasHeader = table.hasHeader;
  try {
    PriceImportFlow flow([&request] { return openLedger(request.ledgerPath); }, std::move(table));
    if (const std::optional<Refusal> refusal = settleOptions(request, flow, out)) {
      if (refusal->usage) return usageError(err, kImportPricesUsage, refusal->message);
      err << refusal->message << "\n" << text::kNothingImported << "\n";
      return kFailed;
    }
    if (flow.table().readAsWindows1252) out << "The file is not UTF-8; it was read as Windows-1252 text.\n";
    const PriceImportRun run = request.dryRun ? flow.tryOut(request.options) : flow.write(request.options);
    for (const std::string& line : priceReportLines(run.plan)) out << line << "\n";
    if (run.outcome == ImportOutcome::Blocked) {
      err << text::kNothingImported << "\n";
      return kFailed;
    }
    if (request.dryRun) {
      out << "Dry run: nothing was written.\n";
      return kOk;
    }
    out << (run.plan.prices.empty() ? text::kNothingNew : text::imported(run.plan.prices.size())) << "\n";
  } catch (const DbError& e) {
    err << request.ledgerPath << ": " << e.what() << "\n" << text::kNothingImported << "\n";
    return kFailed;
  }
  return kOk;
}

}  // namespace

int importPricesCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  auto request = readPriceRequest(args);
  if (const auto* problem = std::get_if<std::string>(&request)) return usageError(err, kImportPricesUsage, *problem);
  return runPriceImport(std::get<PriceRequest>(std::move(request)), out, err);
}

}  // namespace ledger
