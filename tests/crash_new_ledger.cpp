// Writes a new, empty ledger from a template over one target again and
// again, printing "written" after each, until it is killed. The
// crash-safety test kills it at random moments and looks at the target.
//
//   crash_new_ledger TEMPLATE TARGET

#include <cstdio>
#include <exception>

#include "ledger/empty_ledger.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: crash_new_ledger TEMPLATE TARGET\n");
    return 2;
  }
  try {
    for (;;) {
      ledger::writeEmptyLedger(argv[1], argv[2]);
      std::printf("written\n");
      std::fflush(stdout);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "crash_new_ledger: %s\n", e.what());
    return 3;
  }
}
