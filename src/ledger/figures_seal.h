#pragma once
// The keyed seal over the figures the program keeps in a ledger
// (kept_figures.h): HMAC-SHA256 from OpenSSL's libcrypto, under a key of
// the user's that the program reads at start-up. Only the program run by
// the key's owner can make a seal that checks, so figures written into a
// ledger by anyone else are never taken for the program's own.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace ledger {

using KeptFiguresKey = std::array<unsigned char, 32>;

// A new key of random bytes. Throws std::runtime_error when the system
// gives no randomness.
KeptFiguresKey makeKeptFiguresKey();

// The key for every connection of the process, from the next transaction
// on; nullopt (as at start) keeps and trusts no figures at all, so every
// read sums the trades. Safe from any thread.
void setKeptFiguresKey(const std::optional<KeptFiguresKey>& key);
std::optional<KeptFiguresKey> keptFiguresKey();

// The seal of message under key: 64 lowercase hex digits.
std::string sealText(const KeptFiguresKey& key, std::string_view message);

// Whether a seal read from a file is the one expected, compared in a time
// that does not tell where they differ.
bool sameSeal(std::string_view found, std::string_view expected);

}  // namespace ledger
