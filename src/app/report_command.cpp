#include "app/report_command.h"

#include <optional>
#include <string>

#include "engine/db_error.h"
#include "figures/gains.h"
#include "ledger/gains_report.h"
#include "transfer/gains_csv.h"
#include "ledger/ledger_session.h"
#include "ledger/ledger_open.h"

namespace ledger {

const char* const kReportUsage =
    "  shareledger report gains [--method fifo|average] [--year YYYY] LEDGER\n"
    "      one CSV line per sale: Date,Symbol,Shares,Proceeds,Cost,Gain,Lots,Uncovered\n"
    "  shareledger report holdings [--method fifo|average] LEDGER\n"
    "      one CSV line per company: Symbol,Shares,Cost,AverageCost,RealizedGain\n"
    "  shareledger report yearly [--method fifo|average] LEDGER\n"
    "      realized gain per year and company, and each year's total: Year,Symbol,Gain\n"
    "      The method is fifo unless told otherwise.\n";

namespace {

enum class ReportKind { Gains, Holdings, Yearly };

struct ReportRequest {
  ReportKind kind = ReportKind::Gains;
  CostMethod method = CostMethod::Fifo;
  std::optional<int> year;
  std::string ledger;
};

// A mistake in the arguments; what() says which.
struct UsageError {
  std::string problem;
};

std::optional<ReportKind> kindFromName(std::string_view name) {
  if (name == "gains") return ReportKind::Gains;
  if (name == "holdings") return ReportKind::Holdings;
  if (name == "yearly") return ReportKind::Yearly;
  return std::nullopt;
}

// A year as YYYY, 0001 to 9999.
std::optional<int> yearFromText(std::string_view text) {
  if (text.size() != 4) return std::nullopt;
  int year = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    year = year * 10 + (c - '0');
  }
  if (year == 0) return std::nullopt;
  return year;
}

ReportRequest parseReport(std::span<const std::string> args) {
  if (args.empty()) throw UsageError{"say which report: gains, holdings or yearly."};
  ReportRequest request;
  const std::optional<ReportKind> kind = kindFromName(args[0]);
  if (!kind) throw UsageError{"there is no report called \"" + args[0] + "\"."};
  request.kind = *kind;

  bool methodGiven = false;
  bool optionsEnded = false;
  std::optional<std::string> ledger;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      // --name value or --name=value.
      std::string name = arg;
      std::optional<std::string> value;
      if (const std::size_t eq = arg.find('='); eq != std::string::npos) {
        name = arg.substr(0, eq);
        value = arg.substr(eq + 1);
      }
      if (name != "--method" && name != "--year") throw UsageError{"unknown option " + name + "."};
      if (!value) {
        if (i + 1 >= args.size()) throw UsageError{name + " needs a value."};
        value = args[++i];
      }
      if (name == "--method") {
        if (methodGiven) throw UsageError{"--method is given twice."};
        const std::optional<CostMethod> method = costMethodFromName(*value);
        if (!method) throw UsageError{"--method is fifo or average, not \"" + *value + "\"."};
        request.method = *method;
        methodGiven = true;
      } else {
        if (request.kind != ReportKind::Gains) throw UsageError{"--year belongs to the gains report only."};
        if (request.year) throw UsageError{"--year is given twice."};
        request.year = yearFromText(*value);
        if (!request.year) throw UsageError{"--year takes a year of four digits, not \"" + *value + "\"."};
      }
      continue;
    }
    if (ledger) throw UsageError{"one ledger only, not \"" + *ledger + "\" and \"" + arg + "\"."};
    ledger = arg;
  }
  if (!ledger) throw UsageError{"say which ledger to read."};
  request.ledger = *ledger;
  return request;
}


}  // namespace

int runReportCommand(CommandCall& call) {
  ReportRequest request;
  try {
    request = parseReport(call.args);
  } catch (const UsageError& e) {
    call.err << "shareledger report: " << e.problem << "\n\nUsage:\n" << kReportUsage;
    return exitcode::kUsage;
  }

  std::optional<Database> db;
  try {
    db = openLedger(request.ledger);
  } catch (const DbError& e) {
    call.err << terminalText(openFailureText(request.ledger, "Trade", e.what())) << '\n';
    return exitcode::kFailed;
  }
  // The sales are written as they are worked out, never all kept: a
  // million trades cost no more memory than a hundred.
  const bool gains = request.kind == ReportKind::Gains;
  if (gains) writeGainsCsvHeader(call.out);
  const SaleSink onSale = [&](const SaleGain& sale) {
    if (gains && saleOfYear(sale, request.year)) writeGainsCsvRow(call.out, sale);
  };
  GainsReport report;
  try {
    report = readGainsReport(*db, request.method, onSale);
  } catch (const std::exception& e) {
    call.err << terminalText(readFailureMessage(request.ledger, e.what())) << '\n';
    return exitcode::kFailed;
  }
  if (request.kind == ReportKind::Holdings) writeHoldingsCsv(call.out, report);
  if (request.kind == ReportKind::Yearly) writeYearlyCsv(call.out, report);
  call.out.flush();
  if (!call.out) {
    call.err << "The report could not be written to standard output.\n";
    return exitcode::kFailed;
  }
  for (const std::string& note : gainsNotes(report)) call.err << note << '\n';
  return exitcode::kOk;
}

}  // namespace ledger
