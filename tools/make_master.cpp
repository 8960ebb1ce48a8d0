// Builds the master ledger from the schema compiled into the engine.
// Usage: make_master <output.mdb>
#include <cstdio>
#include <exception>

#include "ledger/ledger_schema.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output.mdb>\n", argv[0]);
    return 2;
  }
  try {
    ledger::writeLedgerFromSchema(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_master: %s\n", e.what());
    return 1;
  }
  return 0;
}
