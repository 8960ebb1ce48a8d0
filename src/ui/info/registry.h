#pragma once
// Reading values from the system registry, as much as the about box needs
// to find the system information program. Windows has the real registry;
// elsewhere there is a registry without keys, so every lookup fails.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace ledger {

inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002;
// Value types as the registry reports them.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;

// A value as read: its type and as many bytes as the registry reported,
// which for a string usually includes its terminating zero.
struct RegistryValue {
  std::uint32_t type = 0;
  QByteArray data;
};

class Registry {
 public:
  using Key = std::uintptr_t;

  virtual ~Registry() = default;
  // Opens keyPath under the root key (kHkeyLocalMachine, ...). nullopt
  // when the key is missing or may not be read.
  virtual std::optional<Key> openKey(std::uint32_t root, const QString& keyPath) = 0;
  // Reads a value of an open key through a buffer of bufferSize bytes.
  // nullopt when the value is missing or does not fit.
  virtual std::optional<RegistryValue> queryValue(Key key, const QString& valueName, int bufferSize) = 0;
  // REQUIRES: key came from openKey and was not closed yet.
  virtual void closeKey(Key key) = 0;
};

// The registry of the system the program runs on.
std::unique_ptr<Registry> makeSystemRegistry();

}  // namespace ledger
