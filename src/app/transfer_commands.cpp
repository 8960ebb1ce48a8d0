#include "app/transfer_commands.h"

#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <variant>
#include <vector>

#include "access/access_conversion.h"
#include "access/access_file.h"
#include "app/command_line.h"
#include "app/command_options.h"
#include "app/import_flow.h"
#include "transfer/csv_export.h"
#include "transfer/event_csv.h"
#include "engine/database.h"
#include "engine/db_error.h"
#include "transfer/import_source.h"
#include "app/program_info.h"
#include "ledger/ledger_schema.h"
#include "engine/durable_file.h"
#include "ledger/ledger_open.h"

namespace ledger {

const char* const kExportUsage =
    "  shareledger export trades|splits|dividends LEDGER [--out FILE]\n"
    "      writes the ledger's trades, splits or dividends as CSV to FILE, or to standard output\n";
const char* const kImportUsage =
    "  shareledger import LEDGER FILE.csv --map symbol=COL,date=COL,side=COL,quantity=COL,price=COL[,commission=COL]\n"
    "      [,amount=COL[,withholding=COL]]\n"
    "      --date-format FMT [--delimiter C] [--decimal-comma | --thousands-comma] [--side-from-sign]\n"
    "      [--no-header] [--keep-duplicates] [--dry-run]\n"
    "      adds the trades of a CSV file; COL is a header name or a 1-based column number,\n"
    "      FMT one of YYYY-MM-DD, MM/DD/YYYY, DD/MM/YYYY, DD.MM.YYYY, YY-MM-DD, MM/DD/YY, DD/MM/YY, DD.MM.YY;\n"
    "      a number such as 1,250 that the file leaves open needs --decimal-comma or --thousands-comma;\n"
    "      with amount=COL (the gross amount) rows whose side says dividend are added as dividends\n";
const char* const kConvertUsage =
    "  shareledger convert OLD NEW\n"
    "      makes NEW, a ledger of this program, from OLD, a ledger in the older Access format\n";

namespace {

using exitcode::kFailed;
using exitcode::kOk;
using exitcode::kUsage;

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

// The program folder, where the template and the master are, found as the
// windows find it; a command makes no application object to ask.
std::filesystem::path programFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  const std::filesystem::path exeFolder = ec ? std::filesystem::current_path(ec) : exe.parent_path();
  return programFolderFor(QString::fromStdString(exeFolder.string())).toStdString();
}

}  // namespace

int exportCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  const CommandOptions options(args, {{"out", true}});
  if (const auto& mistake = options.mistake())
    return usageError(err, kExportUsage,
                 mistake->kind == OptionMistake::NoValue ? "--out needs a file name."
                                                         : "Unknown option " + mistake->argument + ".");
  const std::vector<std::string> positional = options.positional();
  const std::optional<std::string> outFile = options.value("out");
  // What each kind writes, and its rows' name.
  struct ExportKind {
    const char* word;
    const char* row;  // one of what it writes
    std::function<std::size_t(Database&, std::ostream&)> write;
  };
  const ExportKind kinds[] = {
      {"trades", "trade", [](Database& db, std::ostream& o) { return writeSourceCsv(db, "Trade", o); }},
      {"splits", "split", writeSplitsCsv},
      {"dividends", "dividend", writeDividendsCsv},
  };
  const ExportKind* kind = nullptr;
  for (const ExportKind& k : kinds)
    if (positional.size() == 2 && positional[0] == k.word) kind = &k;
  if (!kind) return usageError(err, kExportUsage, "Say what to export and from which ledger.");
  const std::string& ledgerPath = positional[1];
  if (outFile && sameFile(*outFile, ledgerPath)) {
    err << "The CSV file may not be the ledger itself: " << *outFile << "\n";
    return kFailed;
  }
  try {
    Database db = openLedger(ledgerPath);
    if (outFile) {
      const std::size_t rows = writeCsvFile(*outFile, [&](std::ostream& o) { return kind->write(db, o); });
      out << "Exported " << rows << " " << kind->row << (rows == 1 ? "" : "s") << " to " << *outFile << ".\n";
    } else {
      kind->write(db, out);
      out.flush();
      if (!out) {
        err << "The " << kind->word << " could not be written to standard output.\n";
        return kFailed;
      }
    }
  } catch (const DbError& e) {
    err << ledgerPath << ": " << e.what() << "\n";
    return kFailed;
  } catch (const std::filesystem::filesystem_error& e) {
    err << (outFile ? *outFile : ledgerPath) << ": " << e.code().message() << "\n";
    return kFailed;
  }
  return kOk;
}

namespace {

// An import as the command line asks for it.
struct ImportRequest {
  std::string ledgerPath, csvPath, mapText;
  std::optional<char> delimiter;
  bool noHeader = false, dryRun = false, commaGiven = false;
  ImportOptions options;  // all but the mapping, read once the file's header is known
};

// The request the arguments make, or what is wrong with them.
std::variant<ImportRequest, std::string> readImportRequest(std::span<const std::string> args) {
  const CommandOptions given(args, {{"map", true},
                                    {"date-format", true},
                                    {"delimiter", true},
                                    {"decimal-comma", false},
                                    {"thousands-comma", false},
                                    {"side-from-sign", false},
                                    {"no-header", false},
                                    {"keep-duplicates", false},
                                    {"dry-run", false}});
  if (const auto& mistake = given.mistake()) {
    if (mistake->kind == OptionMistake::Unknown) return "Unknown option " + mistake->argument + ".";
    if (mistake->name == "map") return "--map needs the columns.";
    if (mistake->name == "date-format") return "--date-format needs a format.";
    return "--delimiter takes ',', ';' or tab.";
  }
  ImportRequest request;
  for (const std::string& text : given.values("delimiter"))
    if (!(request.delimiter = delimiterFromText(text))) return "--delimiter takes ',', ';' or tab.";
  if (given.isSet("decimal-comma") && given.isSet("thousands-comma"))
    return "--decimal-comma and --thousands-comma exclude each other.";
  request.commaGiven = given.isSet("decimal-comma") || given.isSet("thousands-comma");
  request.options.decimalComma = given.isSet("decimal-comma");
  request.options.sideFromSign = given.isSet("side-from-sign");
  request.options.keepDuplicates = given.isSet("keep-duplicates");
  request.noHeader = given.isSet("no-header");
  request.dryRun = given.isSet("dry-run");
  const std::vector<std::string> paths = given.positional();
  const std::optional<std::string> mapText = given.value("map");
  const std::optional<std::string> dateText = given.value("date-format");
  if (paths.size() != 2) return "Name the ledger and the CSV file.";
  if (!mapText) return "--map is needed.";
  if (!dateText) return "--date-format is needed.";
  const std::optional<DateFormat> format = dateFormatFromName(*dateText);
  if (!format) return "Unknown date format " + *dateText + ".";
  request.options.dateFormat = *format;
  request.ledgerPath = paths[0];
  request.csvPath = paths[1];
  request.mapText = *mapText;
  return request;
}

// Reads the file, maps its columns and imports it; what happens is told on
// out, what stops it on err.
int runImport(ImportRequest request, std::ostream& out, std::ostream& err) {
  ImportOptions& options = request.options;
  ImportTable table;
  try {
    table = readImportCsv(readWholeFile(request.csvPath), request.delimiter,
                          request.noHeader ? std::optional<bool>(false) : std::nullopt);
  } catch (const std::filesystem::filesystem_error& e) {
    err << request.csvPath << ": " << e.code().message() << "\n";
    return kFailed;
  }
  if (!table.unreadable.empty()) {
    err << request.csvPath << ": " << table.unreadable << "\nNothing was imported.\n";
    return kFailed;
  }
  if (table.endsInsideQuotes) {
    err << request.csvPath << ": the file ends inside a quoted field; a closing quote is missing.\n";
    return kFailed;
  }
  if (request.noHeader) table.hasHeader = false;
  options.hasHeader = table.hasHeader;
  ImportFlow flow([&request] { return openLedger(request.ledgerPath); }, std::move(table));
  auto mapping = parseMappingOption(request.mapText, flow.table().header(), flow.table().columnCount);
  if (const auto* problem = std::get_if<std::string>(&mapping)) {
    err << *problem << "\n";
    return kFailed;
  }
  options.mapping = std::get<ImportMapping>(mapping);
  if (const std::string missing = missingFields(options); !missing.empty()) {
    err << missing << "\n";
    return kFailed;
  }
  if (!request.commaGiven) {
    // No one to ask: a comma the file leaves open refuses the import.
    const CommaSettling comma = flow.settleComma(options, [](const CommaGuess&) { return std::nullopt; });
    const CommaGuess& guess = comma.guess;
    if (comma.how == CommaSettled::Unanswered) {
      err << "The column \"" << guess.column << "\" holds numbers such as " << guess.example
          << " whose comma may be a decimal comma or a thousands separator, and the file does not say which.\n"
          << "Say which with --decimal-comma or --thousands-comma. Nothing was imported.\n";
      return kFailed;
    }
    if (comma.how == CommaSettled::ByFile)
      out << "Numbers such as " << guess.example << " (column \"" << guess.column << "\") are read with a "
          << (options.decimalComma ? "decimal comma" : "thousands comma") << ", as the file suggests.\n";
  }
  if (flow.table().readAsWindows1252) out << "The file is not UTF-8; it was read as Windows-1252 text.\n";

  try {
    // Planned as the ledger stands when it is written: what another copy of
    // the program writes meanwhile is seen.
    const ImportRun run = request.dryRun ? flow.tryOut(options) : flow.write(options);
    const ImportPlan& plan = run.plan;
    for (const std::string& line : reportLines(plan)) out << line << "\n";
    if (run.outcome == ImportOutcome::Blocked) {
      err << "Nothing was imported.\n";
      return kFailed;
    }
    if (request.dryRun) {
      out << "Dry run: nothing was written.\n";
      return kOk;
    }
    out << "Imported " << importCountText(plan) << ".\n";
  } catch (const DbError& e) {
    err << request.ledgerPath << ": " << e.what() << "\nNothing was imported.\n";
    return kFailed;
  }
  return kOk;
}

}  // namespace

int importCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  auto request = readImportRequest(args);
  if (const auto* problem = std::get_if<std::string>(&request)) return usageError(err, kImportUsage, *problem);
  return runImport(std::get<ImportRequest>(std::move(request)), out, err);
}

int convertCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  const CommandOptions options(args, {});
  if (const auto& mistake = options.mistake())
    return usageError(err, kConvertUsage, "Unknown option " + mistake->argument + ".");
  const std::vector<std::string> paths = options.positional();
  if (paths.size() != 2) return usageError(err, kConvertUsage, "Name the older ledger and the new one.");
  const std::string& oldPath = paths[0];
  const std::string& newPath = paths[1];
  if (!fileExists(oldPath)) {
    err << oldPath << ": no such file\n";
    return kFailed;
  }
  if (!accessFormatOf(oldPath)) {
    err << oldPath << ": not a ledger in the older Access format\n";
    return kFailed;
  }
  const std::filesystem::path folder = programFolder();
  const std::string master = (folder / kMasterFileName).string();
  const std::string templ = (folder / kTemplateFileName).string();
  // New ledgers come from the template; without one, from the master, and
  // without that, from the schema the program carries.
  std::optional<TempFileBeside> made;
  std::string source = fileExists(templ) ? templ : master;
  try {
    if (!fileExists(source)) {
      made.emplace((std::filesystem::temp_directory_path() / "shareledger-template.mdb").string());
      writeLedgerFromSchema(made->path());
      source = made->path();
    }
    const std::unique_ptr<TableSource> old = openAccessFile(oldPath);
    const ConversionOutcome outcome = convertAccessLedger(*old, newPath, source, {oldPath, templ, master});
    if (!outcome.made) {
      err << terminalText(outcome.message) << "\n";
      return kFailed;
    }
    out << outcome.message << "\n";
  } catch (const SourceError& e) {
    err << oldPath << ": " << e.what() << "\n";
    return kFailed;
  } catch (const DbError& e) {
    err << e.what() << "\n";
    return kFailed;
  } catch (const std::filesystem::filesystem_error& e) {
    err << e.path1().string() << ": " << e.code().message() << "\n";
    return kFailed;
  }
  return kOk;
}

}  // namespace ledger
