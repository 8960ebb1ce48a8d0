// Saves trades into a ledger through SaveRecord, one after another, and
// prints each trade's serial number on its own line once SaveRecord has
// returned true. The crash-safety and two-writer tests start it, kill it
// and compare the ledger with what it acknowledged.
//
//   crash_saver LEDGER WRITER FIRST_SERIAL [COUNT]
//
// Without COUNT it saves until it is killed. Any message the save would show
// the user ends it at once with status 3, the message on stderr.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fake_form.h"
#include "ledger/ledger_session.h"
#include "app/record_writes.h"
#include "serial_trades.h"

namespace {

class EndingPrompter final : public ledger::Prompter {
 public:
  ledger::MsgAnswer show(const std::string& text, ledger::MsgIcon, ledger::MsgButtons,
                         const std::string&) override {
    std::fprintf(stderr, "crash_saver: unexpected message: %s\n", text.c_str());
    std::fflush(stderr);
    ::_exit(3);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: crash_saver LEDGER WRITER FIRST_SERIAL [COUNT]\n");
    return 2;
  }
  const int writer = std::atoi(argv[2]);
  const long first = std::atol(argv[3]);
  const long count = argc > 4 ? std::atol(argv[4]) : -1;

  EndingPrompter prompter;
  ledger::LedgerSession session(prompter);
  session.LedgerPath = argv[1];
  ledger::test::FakeForm form;
  for (long serial = first; count < 0 || serial < first + count; ++serial) {
    const auto t = ledger::test::serialTrade(writer, serial);
    form.fillGeneral(t.companyId, t.symbol, t.date, t.quantity, t.price, t.commission, t.buy);
    if (!ledger::SaveRecord(session, prompter, form)) return 4;  // unreachable: the prompter ends first
    std::printf("%ld\n", serial);
    std::fflush(stdout);
  }
  return 0;
}
