#include "app/transfer_commands.h"

#include <filesystem>
#include <iostream>
#include <optional>
#include <variant>
#include <vector>

#include "access/access_conversion.h"
#include "access/access_file.h"
#include "transfer/comma_guess.h"
#include "transfer/csv_export.h"
#include "engine/database.h"
#include "engine/db_error.h"
#include "transfer/import_plan.h"
#include "transfer/import_run.h"
#include "transfer/import_source.h"
#include "ledger/ledger_schema.h"
#include "ledger/ledger_writes.h"
#include "engine/durable_file.h"
#include "ledger/ledger_open.h"

namespace ledger {

const char* const kExportUsage =
    "  shareledger export trades LEDGER [--out FILE]\n"
    "      writes the ledger's trades as CSV to FILE, or to standard output\n";
const char* const kImportUsage =
    "  shareledger import LEDGER FILE.csv --map symbol=COL,date=COL,side=COL,quantity=COL,price=COL[,commission=COL]\n"
    "      --date-format FMT [--delimiter C] [--decimal-comma | --thousands-comma] [--side-from-sign]\n"
    "      [--no-header] [--keep-duplicates] [--dry-run]\n"
    "      adds the trades of a CSV file; COL is a header name or a 1-based column number,\n"
    "      FMT one of YYYY-MM-DD, MM/DD/YYYY, DD/MM/YYYY, DD.MM.YYYY, YY-MM-DD, MM/DD/YY, DD/MM/YY, DD.MM.YY;\n"
    "      a number such as 1,250 that the file leaves open needs --decimal-comma or --thousands-comma\n";
const char* const kConvertUsage =
    "  shareledger convert OLD NEW\n"
    "      makes NEW, a ledger of this program, from OLD, a ledger in the older Access format\n";

namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

int usage(std::ostream& err, const char* text, const std::string& problem) {
  err << problem << "\nUsage:\n" << text;
  return kUsage;
}

// A message of the windows with its CR LF line breaks as a terminal's.
std::string terminalLines(const std::string& message) {
  std::string text;
  for (const char c : message)
    if (c != '\r') text += c;
  return text;
}

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

// The value of an option that takes one ("--out FILE"); nullopt and a
// usage message when it is missing.
std::optional<std::string> optionValue(std::span<const std::string> args, std::size_t& i) {
  if (i + 1 >= args.size()) return std::nullopt;
  return args[++i];
}

std::optional<char> delimiterFromText(const std::string& text) {
  if (text == "," || text == "comma") return ',';
  if (text == ";" || text == "semicolon") return ';';
  if (text == "\t" || text == "tab" || text == "\\t") return '\t';
  return std::nullopt;
}

// The folder of the running program, where the template and the master are.
std::filesystem::path programFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path(ec) : exe.parent_path();
}

}  // namespace

int exportCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> positional;
  std::optional<std::string> outFile;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--out") {
      outFile = optionValue(args, i);
      if (!outFile) return usage(err, kExportUsage, "--out needs a file name.");
    } else if (args[i].starts_with("--")) {
      return usage(err, kExportUsage, "Unknown option " + args[i] + ".");
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 2 || positional[0] != "trades")
    return usage(err, kExportUsage, "Say what to export and from which ledger.");
  const std::string& ledgerPath = positional[1];
  if (outFile && sameFile(*outFile, ledgerPath)) {
    err << "The CSV file may not be the ledger itself: " << *outFile << "\n";
    return kFailed;
  }
  try {
    Database db = openLedger(ledgerPath);
    if (outFile) {
      const std::size_t rows = exportSourceCsvFile(db, "Trade", *outFile);
      out << "Exported " << rows << (rows == 1 ? " trade" : " trades") << " to " << *outFile << ".\n";
    } else {
      writeSourceCsv(db, "Trade", out);
      out.flush();
      if (!out) {
        err << "The trades could not be written to standard output.\n";
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

int importCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> positional;
  std::optional<std::string> mapText, dateText;
  std::optional<char> delimiter;
  ImportOptions options;
  bool noHeader = false, dryRun = false, commaGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--map") {
      mapText = optionValue(args, i);
      if (!mapText) return usage(err, kImportUsage, "--map needs the columns.");
    } else if (a == "--date-format") {
      dateText = optionValue(args, i);
      if (!dateText) return usage(err, kImportUsage, "--date-format needs a format.");
    } else if (a == "--delimiter") {
      const std::optional<std::string> d = optionValue(args, i);
      if (!d || !(delimiter = delimiterFromText(*d)))
        return usage(err, kImportUsage, "--delimiter takes ',', ';' or tab.");
    } else if (a == "--decimal-comma" || a == "--thousands-comma") {
      const bool decimal = a == "--decimal-comma";
      if (commaGiven && options.decimalComma != decimal)
        return usage(err, kImportUsage, "--decimal-comma and --thousands-comma exclude each other.");
      options.decimalComma = decimal;
      commaGiven = true;
    } else if (a == "--side-from-sign") {
      options.sideFromSign = true;
    } else if (a == "--no-header") {
      noHeader = true;
    } else if (a == "--keep-duplicates") {
      options.keepDuplicates = true;
    } else if (a == "--dry-run") {
      dryRun = true;
    } else if (a.starts_with("--")) {
      return usage(err, kImportUsage, "Unknown option " + a + ".");
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) return usage(err, kImportUsage, "Name the ledger and the CSV file.");
  if (!mapText) return usage(err, kImportUsage, "--map is needed.");
  if (!dateText) return usage(err, kImportUsage, "--date-format is needed.");
  const std::optional<DateFormat> format = dateFormatFromName(*dateText);
  if (!format) return usage(err, kImportUsage, "Unknown date format " + *dateText + ".");
  options.dateFormat = *format;
  const std::string& ledgerPath = positional[0];
  const std::string& csvPath = positional[1];

  ImportTable table;
  try {
    table = readImportCsv(readWholeFile(csvPath), delimiter, noHeader ? std::optional<bool>(false) : std::nullopt);
  } catch (const std::filesystem::filesystem_error& e) {
    err << csvPath << ": " << e.code().message() << "\n";
    return kFailed;
  }
  if (!table.unreadable.empty()) {
    err << csvPath << ": " << table.unreadable << "\nNothing was imported.\n";
    return kFailed;
  }
  if (table.endsInsideQuotes) {
    err << csvPath << ": the file ends inside a quoted field; a closing quote is missing.\n";
    return kFailed;
  }
  if (noHeader) table.hasHeader = false;
  options.hasHeader = table.hasHeader;
  auto mapping = parseMappingOption(*mapText, table.header(), table.columnCount);
  if (const auto* problem = std::get_if<std::string>(&mapping)) {
    err << *problem << "\n";
    return kFailed;
  }
  options.mapping = std::get<ImportMapping>(mapping);
  if (const std::string missing = missingFields(options); !missing.empty()) {
    err << missing << "\n";
    return kFailed;
  }
  if (const CommaGuess guess = guessDecimalComma(table.records, options, table.delimiter);
      guess.ambiguous && !commaGiven) {
    if (!guess.decimalComma) {
      err << "The column \"" << guess.column << "\" holds numbers such as " << guess.example
          << " whose comma may be a decimal comma or a thousands separator, and the file does not say which.\n"
          << "Say which with --decimal-comma or --thousands-comma. Nothing was imported.\n";
      return kFailed;
    }
    options.decimalComma = *guess.decimalComma;
    out << "Numbers such as " << guess.example << " (column \"" << guess.column << "\") are read with a "
        << (options.decimalComma ? "decimal comma" : "thousands comma") << ", as the file suggests.\n";
  }
  if (table.readAsWindows1252) out << "The file is not UTF-8; it was read as Windows-1252 text.\n";

  try {
    Database db = openLedger(ledgerPath);
    // Planned inside the writing transaction: what another copy of the
    // program writes meanwhile is seen.
    ImportRun run;
    if (dryRun) {
      run.plan = planImport(table.records, options, LedgerIndex::read(db));
      if (run.plan.blocked()) run.outcome = ImportOutcome::Blocked;
    } else {
      run = importRecords(db, table.records, options);
    }
    const ImportPlan& plan = run.plan;
    for (const std::string& line : reportLines(plan)) out << line << "\n";
    if (run.outcome == ImportOutcome::Blocked) {
      err << "Nothing was imported.\n";
      return kFailed;
    }
    if (dryRun) {
      out << "Dry run: nothing was written.\n";
      return kOk;
    }
    out << "Imported " << plan.trades.size() << (plan.trades.size() == 1 ? " trade" : " trades") << ".\n";
  } catch (const DbError& e) {
    err << ledgerPath << ": " << e.what() << "\nNothing was imported.\n";
    return kFailed;
  }
  return kOk;
}

int convertCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  for (const std::string& a : args)
    if (a.starts_with("--")) return usage(err, kConvertUsage, "Unknown option " + a + ".");
  if (args.size() != 2) return usage(err, kConvertUsage, "Name the older ledger and the new one.");
  const std::string& oldPath = args[0];
  const std::string& newPath = args[1];
  if (!fileExists(oldPath)) {
    err << oldPath << ": no such file\n";
    return kFailed;
  }
  if (!accessFormatOf(oldPath)) {
    err << oldPath << ": not a ledger in the older Access format\n";
    return kFailed;
  }
  const std::filesystem::path folder = programFolder();
  const std::string master = (folder / "Zuvivev.mdb").string();
  const std::string templ = (folder / "DatSource.mdb").string();
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
      err << terminalLines(outcome.message) << "\n";
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
