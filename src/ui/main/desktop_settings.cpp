// What the main window keeps between runs: the ledgers opened last, shown
// in the File menu above Exit, and the places of the windows.

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSettings>

#include "app/app_context.h"
#include "app/command_guard.h"
#include "ui/form_registry.h"
#include "ui/main/mdi_main.h"
#include "app/report_views.h"
#include "ui/recent_ledgers.h"
#include "ui/window_settings.h"

namespace ledger {

namespace {

bool placeKept(const QString& form) {
  for (const ReportView& view : kReportViews)
    if (form == QLatin1String(view.form)) return view.placeKept;
  return false;
}

}  // namespace

void MDIMain::useSettings(QSettings& settings) {
  m_recent = std::make_unique<RecentLedgers>(settings);
  m_windowSettings = new WindowSettings(settings, this);
  m_windowSettings->restoreMainWindow(this);
  forms().setLoadedHook([this](const QString& name, QWidget* form) {
    if (placeKept(name)) m_windowSettings->restoreChild(name, FormRegistry::frameOf(form));
  });

  // The recent ledgers stand between the last separator and Exit, with a
  // separator of their own; the numbered items keep their places.
  QAction* exitItem = mnuFileItem(8);
  for (int n = 1; n <= RecentLedgers::kMaxCount; ++n) {
    auto* item = new QAction(this);
    item->setObjectName(QStringLiteral("mnuRecentItem(%1)").arg(n));
    connect(item, &QAction::triggered, this, [this, n] { openRecentLedger(n); });
    m_mnuFile->insertAction(exitItem, item);
    m_recentItems.insert(n, item);
  }
  m_recentSeparator = new QAction(this);
  m_recentSeparator->setSeparator(true);
  m_recentSeparator->setObjectName(QStringLiteral("mnuRecentSeparator"));
  m_mnuFile->insertAction(exitItem, m_recentSeparator);
  // A recent ledger can be opened whenever Open can.
  QAction* openItem = mnuFileItem(3);
  connect(openItem, &QAction::enabledChanged, this, [this](bool enabled) {
    for (QAction* item : std::as_const(m_recentItems)) item->setEnabled(enabled);
  });
  for (QAction* item : std::as_const(m_recentItems)) item->setEnabled(openItem->isEnabled());
  refreshRecentMenu();
}

void MDIMain::refreshRecentMenu() {
  if (!m_recent) return;
  const QStringList paths = m_recent->paths();
  for (int n = 1; n <= RecentLedgers::kMaxCount; ++n) {
    QAction* item = m_recentItems.value(n);
    const bool used = n <= paths.size();
    item->setVisible(used);
    item->setText(used ? QStringLiteral("&%1 %2").arg(n).arg(QDir::toNativeSeparators(paths[n - 1])) : QString());
    item->setData(used ? paths[n - 1] : QString());
  }
  m_recentSeparator->setVisible(!paths.isEmpty());
}

void MDIMain::rememberLedger(const std::string& path) {
  if (!m_recent || path.empty()) return;
  m_recent->add(QString::fromStdString(path));
  refreshRecentMenu();
}

void MDIMain::openRecentLedger(int n) {
  QAction* item = m_recentItems.value(n);
  if (!m_recent || !item || item->data().toString().isEmpty()) return;
  const QString path = item->data().toString();
  guardedSilently([&] { m_ledgerFiles.openRecent(path.toStdString()); });
}

void MDIMain::forgetRecentLedger(const std::string& path) {
  if (!m_recent) return;
  m_recent->remove(QString::fromStdString(path));
  refreshRecentMenu();
}

void MDIMain::openLedgerFromCommandLine(const std::string& path) {
  guardedSilently([&] { m_ledgerFiles.open(path); });
}

}  // namespace ledger
