#pragma once
// Every engine benchmark comes with a "bare" twin doing the same work with
// the sqlite3 C API alone, run at each ledger size. The pair is registered
// as "<case>/engine/<trades>" and "<case>/bare/<trades>"; RatioReporter
// finds the twins by those names and prints engine time / bare time.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

namespace ledger::bench {

// Trades in the ledgers every pair runs on.
inline constexpr std::array<std::int64_t, 3> kLedgerSizes = {10'000, 100'000, 1'000'000};

inline constexpr const char* kEngineSide = "engine";
inline constexpr const char* kBareSide = "bare";

using CaseFunction = void (*)(benchmark::State&);

// Registers both twins at every ledger size; state.range(0) is the number
// of trades. Returns true so that a file can register at static
// initialisation: `const bool registered = registerPair(...);`.
bool registerPair(const char* caseName, CaseFunction engine, CaseFunction bare);

}  // namespace ledger::bench
