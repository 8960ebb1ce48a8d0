#include "ledger/figures_seal.h"

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/params.h>
#include <openssl/rand.h>

#include <memory>
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

// HMAC-SHA256, fetched from the library once per thread rather than at every
// seal: every save seals, and the lookup costs more than the hashing.
class Hmac {
 public:
  Hmac() {
    EVP_MAC* mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    if (mac) m_ctx.reset(EVP_MAC_CTX_new(mac));
    EVP_MAC_free(mac);  // the context holds its own reference
  }
  // The MAC of message under key; nullopt when the library fails.
  std::optional<std::string> of(const KeptFiguresKey& key, std::string_view message) {
    char digest[] = "SHA256";
    const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                                 OSSL_PARAM_construct_end()};
    unsigned char mac[EVP_MAX_MD_SIZE];
    std::size_t length = 0;
    if (!m_ctx || EVP_MAC_init(m_ctx.get(), key.data(), key.size(), params) != 1 ||
        EVP_MAC_update(m_ctx.get(), reinterpret_cast<const unsigned char*>(message.data()), message.size()) != 1 ||
        EVP_MAC_final(m_ctx.get(), mac, &length, sizeof mac) != 1)
      return std::nullopt;
    return std::string(reinterpret_cast<const char*>(mac), length);
  }

 private:
  struct Free {
    void operator()(EVP_MAC_CTX* ctx) const { EVP_MAC_CTX_free(ctx); }
  };
  std::unique_ptr<EVP_MAC_CTX, Free> m_ctx;
};

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
  thread_local Hmac hmac;
  const auto mac = hmac.of(key, message);
  if (!mac) return {};  // no seal checks against an empty one
  constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(2 * mac->size());
  for (const char c : *mac) {
    const auto byte = static_cast<unsigned char>(c);
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xf];
  }
  return text;
}

bool sameSeal(std::string_view found, std::string_view expected) {
  // The length is no secret: every seal has 64 digits.
  return !expected.empty() && found.size() == expected.size() &&
         CRYPTO_memcmp(found.data(), expected.data(), expected.size()) == 0;
}

}  // namespace ledger
