#pragma once
// The program run with a command: the work is done without a window or a
// display, the result goes to standard output and the program ends.
//
//   shareledger report gains|holdings|yearly [options] LEDGER
//   shareledger add trade|split|dividend|price LEDGER [options]
//   shareledger delete split|dividend|price LEDGER --symbol S --date YYYY-MM-DD
//   shareledger --help
//
// No argument, or one that is not a command word (a ledger's path), starts
// the windows; two or more whose first is not a command word are a mistyped
// command: the usage goes to standard error, with no window. Commands use
// QtCore's option parser but no application object, so a command runs
// without a display.

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ledger {

// Exit statuses of a command.
namespace exitcode {
constexpr int kOk = 0;
constexpr int kFailed = 1;  // the work could not be done; the reason is on standard error
constexpr int kUsage = 2;   // the command was not written right; the usage is on standard error
}  // namespace exitcode

// Says what is wrong with how a command was written, then the command's
// usage, on err; returns exitcode::kUsage.
int usageError(std::ostream& err, const char* usage, const std::string& problem);

// What a command receives: the arguments after its word, and where to
// write. Messages for the user go to err, one per line.
struct CommandCall {
  std::span<const std::string> args;
  std::ostream& out;
  std::ostream& err;
};

// One command of the table: the words that call it, its usage lines for
// --help and for a mistake, and the function that runs it and returns the
// exit status.
struct CommandEntry {
  std::vector<std::string_view> words;
  std::string_view usage;
  int (*run)(CommandCall& call);
};

// Every command, in the order --help lists them. A new command is one more
// entry here.
const std::vector<CommandEntry>& commandTable();

// Whether the program's first argument calls a command.
bool isCommandWord(std::string_view word);

// Whether the program's arguments (its name left out) are for the command
// line rather than the windows: a command word first, or more than one
// argument. runCommandLine answers the latter with the usage.
bool runsWithoutWindows(std::span<const std::string> args);

// Runs the command that args[0] names with the rest of args. Returns the
// exit status; kUsage, with the usage on err, when args[0] names none.
int runCommandLine(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// The full usage text, as --help prints it.
std::string usageText();

// A message of the windows, with their CR LF line breaks made the line ends
// of a terminal.
std::string terminalText(std::string_view message);

}  // namespace ledger
