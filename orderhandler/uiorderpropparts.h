#pragma once
// Pieces both order properties windows are built from: the pay mode and credit company combos, the
// order window's actions they offer too, and the rule of their customer details action.
//
// Threading: GUI thread only.

#include "orderhandler/odrhtypes.h"

#include <QString>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace kav::orderhandler {

// One entry per pay mode: its name shown, its code as the entry's data.
void FillPayModeCombo(QComboBox& combo, const std::vector<TPayModeItem>& payModes);
// The code of the chosen entry; empty when none is chosen.
std::string ChosenCode(const QComboBox& combo);
// Shows the credit company combo and its label for pay mode G, filled with the site's valid companies
// (the first chosen), and hides them otherwise.
void ShowCreditCompanies(QComboBox& combo, QLabel& label, const std::string& payModeCode);

// The opener's action of that name; null without opener or action.
QAction* OpenerAction(QWidget* opener, const char* name);
// The button row: the customer details, the opener's shipping list (when it has one), then "收款出票"
// (the default button) and "关闭".
QHBoxLayout* PropertiesButtons(QWidget* dialog, QWidget* opener, QAction* customer, QAction* print, QAction* close);
// Why the customer details cannot be edited now; empty when they can (the order window allows it).
QString CustomerInfoRule(const QAction* openerAction, bool printing);

} // namespace kav::orderhandler
