#include "app/ledger_change_watch.h"

#include <QFile>

namespace ledger {

LedgerChangeWatch::LedgerChangeWatch(QObject* parent) : QObject(parent) {
  connect(&m_timer, &QTimer::timeout, this, &LedgerChangeWatch::look);
}

void LedgerChangeWatch::watch(std::string path, std::chrono::milliseconds interval) {
  m_path = std::move(path);
  markSeen();
  m_timer.start(interval);
}

void LedgerChangeWatch::markSeen() {
  m_seen = counterNow();
  m_told = false;
}

bool LedgerChangeWatch::changedSinceSeen() const { return counterNow() != m_seen; }

std::optional<std::uint32_t> LedgerChangeWatch::counterNow() const {
  QFile file(QString::fromStdString(m_path));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray header = file.read(28);
  if (header.size() < 28) return std::nullopt;
  const auto byte = [&](int i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(header[i])); };
  return byte(24) << 24 | byte(25) << 16 | byte(26) << 8 | byte(27);
}

void LedgerChangeWatch::look() {
  if (m_told || !changedSinceSeen()) return;
  m_told = true;
  emit changed();
}

}  // namespace ledger
