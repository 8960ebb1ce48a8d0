#pragma once
// "Add Company": the small window in which the user types a ticker symbol
// for the ledger's list of companies.

#include <functional>
#include <string>

#include "ui/mdi_child.h"

class QLineEdit;
class QPushButton;

namespace ledger {

class AddCompanyDialog final : public MdiChild {
  Q_OBJECT

 public:
  // add receives the symbol exactly as typed when Add is pressed; it must
  // not throw (it reports its own failures).
  using AddSymbol = std::function<void(const std::string& symbol)>;
  explicit AddCompanyDialog(AddSymbol add, QMdiArea* area = nullptr);

  QLineEdit* txtCompanySymbol() const { return m_symbol; }
  QPushButton* cmdAdd() const { return m_add; }
  QPushButton* cmdCancel() const { return m_cancel; }

  // Hands the typed text on unchanged, then closes the window.
  void cmdAdd_Click();
  // Closes the window; nothing is written.
  void cmdCancel_Click();

 private:
  AddSymbol m_addSymbol;
  QLineEdit* m_symbol = nullptr;
  QPushButton* m_add = nullptr;
  QPushButton* m_cancel = nullptr;
};

}  // namespace ledger
