// The child windows that the form registry can make, each by its name.

#include <QMdiArea>

#include "app/app_context.h"
#include "ui/entry/add_company_dialog.h"
#include "ui/entry/entry_form.h"
#include "ui/info/about_box.h"
#include "ui/info/help_window.h"
#include "app/command_guard.h"
#include "ui/main/mdi_main.h"
#include "app/report_views.h"
#include "ui/views/chart_view.h"
#include "ui/views/datasheet_view.h"
#include "ui/views/events_window.h"
#include "ui/views/gains_view.h"
#include "ui/views/history_view.h"
#include "ui/views/prices_window.h"
#include "ui/views/profit_loss_view.h"

namespace ledger {

void MDIMain::defineForms() {
  m_forms.define(QStringLiteral("frmMain"), [this] {
    auto* form = new EntryForm(m_app, *this, m_area);
    // A form unloaded for another ledger is deleted after its successor has
    // set the buttons: its going then says nothing about the shown trade.
    connect(form, &QObject::destroyed, this, [this, form] {
      const QWidget* shown = forms().find(QStringLiteral("frmMain"));
      if (!shown || shown == form) m_commands.entryWindowClosed();
    });
    connect(form, &EntryForm::companyEventsRequested, this, [this](const QString& symbol) {
      guarded(m_app.prompter(), [&] {
        if (ledgerFileUnchanged()) showCompanyEvents(symbol.toStdString());
      });
    });
    return form;
  });
  m_forms.define(QStringLiteral("frmEvents"), [this] { return new EventsWindow(m_app, m_events, *this, m_area); });
  m_forms.define(QStringLiteral("frmPrices"), [this] { return new PricesWindow(m_app, m_prices, *this, m_area); });
  m_forms.define(QStringLiteral("frmAddCompany"), [this] {
    return new AddCompanyDialog(
        [this](const std::string& symbol) {
          guarded(m_app.prompter(), [&] { m_commands.addCompany(symbol); });
        },
        m_area);
  });
  m_forms.define(QStringLiteral("frmHelp"), [this] {
    return new HelpWindow(m_app.prompter(), HelpWindow::defaultDocumentPath(), m_area);
  });
  m_forms.define(QStringLiteral("frmAbout"), [this] { return new AboutBox(m_app.prompter(), m_area); });
  for (const ReportView& view : kReportViews)
    m_forms.define(QString::fromLatin1(view.form), [this, tag = view.tag] {
      QWidget* made = makeReportView(tag);
      // A view closed by the user leaves the open ones too.
      if (made) connect(made, &QObject::destroyed, this, [this] { guardedSilently([&] { m_commands.publish(); }); });
      return made;
    });
}

QWidget* MDIMain::makeReportView(ViewTag tag) {
  switch (tag) {
    case ViewTag::Datasheet: return new DatasheetView(m_app, *this, m_area);
    case ViewTag::History: return new HistoryView(m_app, *this, m_area);
    case ViewTag::ProfitLoss: return new ProfitLossView(m_app, *this, m_area);
    case ViewTag::Gains: return new GainsView(m_app, *this, m_area);
    case ViewTag::Chart: {
      // A ledger without trades says so and closes the chart at once.
      auto* chart = new ChartView(m_app, *this, m_area);
      return chart->unloaded() ? nullptr : chart;
    }
    case ViewTag::None: break;
  }
  return nullptr;
}

}  // namespace ledger
