#pragma once
// What the record operations need of the trade entry form, so that they
// can be run and tested without a window. The Qt entry form implements it;
// tests use a fake that holds plain strings.

#include <optional>
#include <string>
#include <string_view>

namespace ledger {

// The entry form's tabs; a box's element number is the tab it lies on.
enum EntryTab { kGeneralTab = 0, kBoughtTab = 1, kSoldTab = 2 };

class FormPort {
 public:
  virtual ~FormPort() = default;

  // The selected tab.
  virtual int currentTab() const = 0;

  // The box named after column on tab: its text, or nullopt when there is
  // no such box.
  virtual std::optional<std::string> boxText(std::string_view column, int tab) const = 0;
  // Sets it; false when there is no such box.
  virtual bool setBoxText(std::string_view column, int tab, const std::string& text) = 0;

  // The Buy and Sell option buttons of the General tab.
  virtual bool isBuySelected() const = 0;
  virtual bool isSellSelected() const = 0;
  virtual void selectBuy(bool buy) = 0;
  // Chooses neither: a new trade starts without a side.
  virtual void clearSide() = 0;

  // The first panel of the main window's status bar.
  virtual void setStatusText(const std::string& text) = 0;

  // The symbol combo box: its text and its list.
  virtual std::string companySymbolText() const = 0;
  virtual int companyListCount() const = 0;
  virtual std::string companyListItem(int index) const = 0;
  // Inserts at index; an index past the end appends.
  virtual void insertCompanyListItem(int index, const std::string& symbol) = 0;
};

}  // namespace ledger
