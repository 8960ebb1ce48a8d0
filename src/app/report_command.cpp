#include "app/report_command.h"

#include <optional>
#include <string>

#include "app/command_options.h"
#include "engine/db_error.h"
#include "figures/gains.h"
#include "figures/income.h"
#include "ledger/event_reads.h"
#include "ledger/gains_report.h"
#include "transfer/income_csv.h"
#include "transfer/gains_csv.h"
#include "transfer/returns_csv.h"
#include "app/returns_data.h"
#include "engine/value.h"
#include "ledger/ledger_history.h"
#include "ledger/ledger_session.h"
#include "ledger/ledger_open.h"

namespace ledger {

const char* const kReportUsage =
    "  shareledger report gains [--method fifo|average] [--year YYYY] LEDGER\n"
    "      one CSV line per sale: Date,Symbol,Shares,Proceeds,Cost,Gain,Lots,Uncovered\n"
    "  shareledger report holdings [--method fifo|average] [--as-of YYYY-MM-DD] LEDGER\n"
    "      one CSV line per company, as held at the end of the day (today unless told):\n"
    "      Symbol,Shares,Cost,AverageCost,RealizedGain,Price,PriceDate,MarketValue,UnrealizedGain\n"
    "      (the last close on or before the day; the last four empty where there is none)\n"
    "  shareledger report yearly [--method fifo|average] LEDGER\n"
    "      realized gain per year and company, and each year's total: Year,Symbol,Gain\n"
    "      The method is fifo unless told otherwise. All three follow the ledger's splits.\n"
    "  shareledger report income [--year YYYY] LEDGER\n"
    "      dividends per year and company, and each year's total: Year,Symbol,Gross,Withholding,Net\n"
    "  shareledger report returns [--from YYYY-MM-DD] [--to YYYY-MM-DD] LEDGER\n"
    "      returns before tax per company, then the whole ledger's (empty Symbol):\n"
    "      Symbol,From,To,StartValue,EndValue,Invested,Returned,Income,IRR,TWR\n"
    "      IRR and TWR in percent, empty where they cannot be worked out. From is the day of\n"
    "      the first trade and To today unless told.\n";

namespace {

enum class ReportKind { Gains, Holdings, Yearly, Income, Returns };

struct ReportRequest {
  ReportKind kind = ReportKind::Gains;
  CostMethod method = CostMethod::Fifo;
  std::optional<int> year;
  std::optional<std::string> asOf, from, to;
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
  if (name == "income") return ReportKind::Income;
  if (name == "returns") return ReportKind::Returns;
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

// The date of option, given at most once, written YYYY-MM-DD, and only
// where it belongs.
std::optional<std::string> dateOption(const CommandOptions& options, const std::string& name, bool belongs,
                                      const char* report) {
  const std::vector<std::string> values = options.values(name.c_str());
  if (values.empty()) return std::nullopt;
  if (!belongs) throw UsageError{"--" + name + " belongs to " + report + " only."};
  if (values.size() > 1) throw UsageError{"--" + name + " is given twice."};
  if (!isIsoDate(values[0]))
    throw UsageError{"--" + name + " takes a date written YYYY-MM-DD, not \"" + values[0] + "\"."};
  return values[0];
}

ReportRequest parseReport(std::span<const std::string> args) {
  if (args.empty()) throw UsageError{"say which report: gains, holdings, yearly, income or returns."};
  ReportRequest request;
  const std::optional<ReportKind> kind = kindFromName(args[0]);
  if (!kind) throw UsageError{"there is no report called \"" + args[0] + "\"."};
  request.kind = *kind;

  const CommandOptions options(args.subspan(1),
                               {{"method", true}, {"year", true}, {"as-of", true}, {"from", true}, {"to", true}});
  if (const auto& mistake = options.mistake()) {
    const std::string written = mistake->argument.substr(0, mistake->argument.find('='));
    if (mistake->kind == OptionMistake::NoValue) throw UsageError{written + " needs a value."};
    throw UsageError{"unknown option " + written + "."};
  }
  const std::vector<std::string> methods = options.values("method");
  if (methods.size() > 1) throw UsageError{"--method is given twice."};
  if (!methods.empty() && request.kind == ReportKind::Income)
    throw UsageError{"--method belongs to the gains reports, not to income."};
  if (!methods.empty() && request.kind == ReportKind::Returns)
    throw UsageError{"--method belongs to the gains reports, not to returns."};
  if (!methods.empty()) {
    const std::optional<CostMethod> method = costMethodFromName(methods[0]);
    if (!method) throw UsageError{"--method is fifo or average, not \"" + methods[0] + "\"."};
    request.method = *method;
  }
  const std::vector<std::string> years = options.values("year");
  if (!years.empty()) {
    if (request.kind != ReportKind::Gains && request.kind != ReportKind::Income)
      throw UsageError{"--year belongs to the gains and income reports only."};
    if (years.size() > 1) throw UsageError{"--year is given twice."};
    request.year = yearFromText(years[0]);
    if (!request.year) throw UsageError{"--year takes a year of four digits, not \"" + years[0] + "\"."};
  }
  request.asOf = dateOption(options, "as-of", request.kind == ReportKind::Holdings, "the holdings report");
  request.from = dateOption(options, "from", request.kind == ReportKind::Returns, "the returns report");
  request.to = dateOption(options, "to", request.kind == ReportKind::Returns, "the returns report");
  if (request.from && request.to && *request.from > *request.to)
    throw UsageError{periodOrderMessage(*request.from, *request.to)};
  const std::vector<std::string> ledgers = options.positional();
  if (ledgers.size() > 1) throw UsageError{"one ledger only, not \"" + ledgers[0] + "\" and \"" + ledgers[1] + "\"."};
  if (ledgers.empty()) throw UsageError{"say which ledger to read."};
  request.ledger = ledgers[0];
  return request;
}


// A period whose default From falls after the To asked for: a mistake in
// the arguments, found once the ledger is read.
struct PeriodError {
  std::string problem;
};

// Writes the report asked for, and into notes what it must say besides.
// Throws what reading the ledger throws.
void writeReport(CommandCall& call, Database& db, const ReportRequest& request, std::vector<std::string>& notes) {
  if (request.kind == ReportKind::Returns) {
    const LedgerHistory history = readLedgerHistory(db);
    const CalendarDay to = calendarDayOf(request.to.value_or(todayIsoDate()));
    const CalendarDay from = request.from ? calendarDayOf(*request.from) : history.firstTradeDay.value_or(to);
    if (from > to) throw PeriodError{periodOrderMessage(isoDateOf(from), isoDateOf(to))};
    const ReturnsReport report = workOutReturns(history, from, to);
    writeReturnsCsv(call.out, report);
    notes = returnsNotes(report);
    return;
  }
  if (request.kind == ReportKind::Holdings) {
    const MarketValueReport report = readMarketValue(db, request.method, request.asOf.value_or(todayIsoDate()));
    writeMarketValueCsv(call.out, report);
    notes = marketValueNotes(report);
    return;
  }
  if (request.kind == ReportKind::Income) {
    LedgerEvents events = readLedgerEvents(db);
    IncomeReport income = workOutIncome(std::move(events.dividends));
    writeIncomeCsv(call.out, income, request.year);
    std::erase_if(events.skipped, [](const SkippedEvent& e) { return e.kind != SkippedEvent::Kind::Dividend; });
    notes = skippedEventNotes(events.skipped);
    return;
  }
  // The sales are written as they are worked out, never all kept: a
  // million trades cost no more memory than a hundred.
  const bool gains = request.kind == ReportKind::Gains;
  if (gains) writeGainsCsvHeader(call.out);
  const SaleSink onSale = [&](const SaleGain& sale) {
    if (gains && saleOfYear(sale, request.year)) writeGainsCsvRow(call.out, sale);
  };
  const GainsReport report = readGainsReport(db, request.method, onSale);
  if (request.kind == ReportKind::Yearly) writeYearlyCsv(call.out, report);
  notes = gainsNotes(report);
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
  std::vector<std::string> notes;
  try {
    writeReport(call, *db, request, notes);
  } catch (const PeriodError& e) {
    call.err << "shareledger report: " << e.problem << "\n";
    return exitcode::kUsage;
  } catch (const std::exception& e) {
    call.err << terminalText(readFailureMessage(request.ledger, e.what())) << '\n';
    return exitcode::kFailed;
  }
  call.out.flush();
  if (!call.out) {
    call.err << "The report could not be written to standard output.\n";
    return exitcode::kFailed;
  }
  for (const std::string& note : notes) call.err << note << '\n';
  return exitcode::kOk;
}

}  // namespace ledger
