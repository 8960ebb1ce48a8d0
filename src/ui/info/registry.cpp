#include "registry.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace ledger {

namespace {

#ifdef _WIN32

class WindowsRegistry final : public Registry {
 public:
  std::optional<Key> openKey(std::uint32_t root, const QString& keyPath) override {
    // Predefined root keys are sign-extended 32-bit values.
    const auto rootKey = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
    HKEY key = nullptr;
    // Reading is all we do; asking for more fails for users without
    // administrator rights.
    if (RegOpenKeyExA(rootKey, keyPath.toLocal8Bit().constData(), 0, KEY_READ, &key) != ERROR_SUCCESS)
      return std::nullopt;
    return reinterpret_cast<Key>(key);
  }

  std::optional<RegistryValue> queryValue(Key key, const QString& valueName, int bufferSize) override {
    QByteArray buffer(bufferSize, '\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(bufferSize);
    if (RegQueryValueExA(reinterpret_cast<HKEY>(key), valueName.toLocal8Bit().constData(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
      return std::nullopt;
    buffer.truncate(static_cast<qsizetype>(size));
    return RegistryValue{type, buffer};
  }

  void closeKey(Key key) override { RegCloseKey(reinterpret_cast<HKEY>(key)); }
};

#else

class EmptyRegistry final : public Registry {
 public:
  std::optional<Key> openKey(std::uint32_t, const QString&) override { return std::nullopt; }
  std::optional<RegistryValue> queryValue(Key, const QString&, int) override { return std::nullopt; }
  void closeKey(Key) override {}
};

#endif

}  // namespace

std::unique_ptr<Registry> makeSystemRegistry() {
#ifdef _WIN32
  return std::make_unique<WindowsRegistry>();
#else
  return std::make_unique<EmptyRegistry>();
#endif
}

}  // namespace ledger
