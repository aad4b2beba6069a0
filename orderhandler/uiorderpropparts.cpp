#include "orderhandler/uiorderpropparts.h"

#include "orderhandler/odrhdataprovider.h"
#include "orderhandler/odrhpackage.h"
#include "orderhandler/odrhpayment.h"
#include "orderhandler/uiactionbutton.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace kav::orderhandler {

void FillPayModeCombo(QComboBox& combo, const std::vector<TPayModeItem>& payModes) {
    combo.clear();
    for (const TPayModeItem& payMode : payModes)
        combo.addItem(QString::fromStdString(payMode.name), QString::fromStdString(payMode.code));
}

std::string ChosenCode(const QComboBox& combo) {
    return combo.currentData().toString().toStdString();
}

void ShowCreditCompanies(QComboBox& combo, QLabel& label, const std::string& payModeCode) {
    const bool credit = payModeCode == kCreditPayMode;
    label.setVisible(credit);
    combo.setVisible(credit);
    if (!credit) return;
    combo.clear();
    for (const TCreditCompanyItem& company : odrHDataProvider().GetCreditCompanyList())
        combo.addItem(QString::fromStdString(company.name), QString::fromStdString(company.code));
    combo.setCurrentIndex(combo.count() > 0 ? 0 : -1);
}

QAction* OpenerAction(QWidget* opener, const char* name) {
    return opener ? opener->findChild<QAction*>(QLatin1String(name)) : nullptr;
}

QHBoxLayout* PropertiesButtons(QWidget* dialog, QWidget* opener, QAction* customer, QAction* print, QAction* close) {
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ActionPushButton(customer, dialog));
    if (QAction* shipping = OpenerAction(opener, "act_PrintShippingList"))
        buttons->addWidget(ActionPushButton(shipping, dialog));
    buttons->addStretch();
    QPushButton* printButton = ActionPushButton(print, dialog);
    printButton->setDefault(true);
    buttons->addWidget(printButton);
    buttons->addWidget(ActionPushButton(close, dialog));
    return buttons;
}

QString CustomerInfoRule(const QAction* openerAction, bool printing) {
    if (printing) return QStringLiteral("正在打印，请稍候");
    if (!openerAction) return QStringLiteral("请从订单处理窗口修改顾客信息");
    return openerAction->isEnabled() ? QString() : QStringLiteral("您不能修改该订单的顾客信息");
}

} // namespace kav::orderhandler
