#include "ledger/figures_seal.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <mutex>
#include <stdexcept>

namespace ledger {

namespace {

struct KeyHolder {
  std::mutex mutex;
  std::optional<KeptFiguresKey> key;
};

KeyHolder& keyHolder() {
  static KeyHolder holder;
  return holder;
}

}  // namespace

KeptFiguresKey makeKeptFiguresKey() {
  KeptFiguresKey key;
  if (RAND_bytes(key.data(), static_cast<int>(key.size())) != 1)
    throw std::runtime_error("no random bytes for a new key");
  return key;
}

void setKeptFiguresKey(const std::optional<KeptFiguresKey>& key) {
  KeyHolder& holder = keyHolder();
  const std::lock_guard lock(holder.mutex);
  holder.key = key;
}

std::optional<KeptFiguresKey> keptFiguresKey() {
  KeyHolder& holder = keyHolder();
  const std::lock_guard lock(holder.mutex);
  return holder.key;
}

std::string sealText(const KeptFiguresKey& key, std::string_view message) {
  unsigned char mac[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
            reinterpret_cast<const unsigned char*>(message.data()), message.size(), mac, &length))
    return {};  // no seal checks against an empty one
  constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(2 * length);
  for (unsigned int i = 0; i < length; ++i) {
    text += kDigits[mac[i] >> 4];
    text += kDigits[mac[i] & 0xf];
  }
  return text;
}

bool sameSeal(std::string_view found, std::string_view expected) {
  // The length is no secret: every seal has 64 digits.
  return !expected.empty() && found.size() == expected.size() &&
         CRYPTO_memcmp(found.data(), expected.data(), expected.size()) == 0;
}

}  // namespace ledger
