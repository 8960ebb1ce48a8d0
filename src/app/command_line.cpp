#include "app/command_line.h"

#include <algorithm>

#include "app/entry_commands.h"
#include "app/price_import_command.h"
#include "app/report_command.h"
#include "app/transfer_commands.h"

namespace ledger {

namespace {

int runHelp(CommandCall& call) {
  call.out << usageText();
  call.out.flush();
  return call.out ? exitcode::kOk : exitcode::kFailed;
}

const CommandEntry* findCommand(std::string_view word) {
  for (const CommandEntry& entry : commandTable())
    if (std::find(entry.words.begin(), entry.words.end(), word) != entry.words.end()) return &entry;
  return nullptr;
}

}  // namespace

const std::vector<CommandEntry>& commandTable() {
  static const std::vector<CommandEntry> table = {
      {{"report"}, kReportUsage, runReportCommand},
      {{"add"}, kAddUsage, [](CommandCall& c) { return addCommand(c.args, c.out, c.err); }},
      {{"delete"}, kDeleteUsage, [](CommandCall& c) { return deleteCommand(c.args, c.out, c.err); }},
      {{"export"}, kExportUsage, [](CommandCall& c) { return exportCommand(c.args, c.out, c.err); }},
      {{"import"}, kImportUsage, [](CommandCall& c) { return importCommand(c.args, c.out, c.err); }},
      {{"import-prices"}, kImportPricesUsage,
       [](CommandCall& c) { return importPricesCommand(c.args, c.out, c.err); }},
      {{"convert"}, kConvertUsage, [](CommandCall& c) { return convertCommand(c.args, c.out, c.err); }},
      {{"--help", "-h", "help"}, "  shareledger --help\n      this list\n", runHelp},
  };
  return table;
}

int usageError(std::ostream& err, const char* usage, const std::string& problem) {
  err << problem << "\nUsage:\n" << usage;
  return exitcode::kUsage;
}

bool isCommandWord(std::string_view word) { return findCommand(word) != nullptr; }

bool runsWithoutWindows(std::span<const std::string> args) {
  return args.size() > 1 || (!args.empty() && isCommandWord(args[0]));
}

int runCommandLine(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  const CommandEntry* entry = args.empty() ? nullptr : findCommand(args[0]);
  if (!entry) {
    err << usageText();
    return exitcode::kUsage;
  }
  CommandCall call{args.subspan(1), out, err};
  return entry->run(call);
}

std::string usageText() {
  std::string text =
      "Usage:\n"
      "  shareledger [LEDGER]\n"
      "      starts the windows\n";
  for (const CommandEntry& entry : commandTable()) text += entry.usage;
  return text;
}

std::string terminalText(std::string_view message) {
  std::string text;
  text.reserve(message.size());
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message[i] == '\r' && i + 1 < message.size() && message[i + 1] == '\n') continue;
    text += message[i];
  }
  return text;
}

}  // namespace ledger
