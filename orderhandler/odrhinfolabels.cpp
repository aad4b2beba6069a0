#include "orderhandler/odrhinfolabels.h"

#include "orderhandler/odrhgridtext.h"
#include "platform/core/money.h"

#include <QGridLayout>
#include <QLabel>

namespace kav::orderhandler {

std::vector<TInfoItem> OrderInfoItems(const TodrHOrderInfoRecord& order) {
    return {{"lbOrderCode", "订单号：", order.orderCode.str()},
            {"lbOrderFrom", "订单来源：", order.orderFrom.name},
            {"lbOrderTime", "预订时间：", FormatMinutes(order.orderTime)},
            {"lbSaleClass", "销售政策：", order.saleClassName.str()},
            {"lbSeatCount", "总张数：", std::to_string(order.seatCount) + "张"},
            {"lbReceivables", "总金额：", MoneyText(Cents(order.receivables)) + "元"}};
}

std::vector<TInfoItem> CustomerInfoItems(const TodrHOrderInfoRecord& order) {
    return {{"lbCustomerType", "顾客类别：", order.customerType.name},
            {"lbCertificateType", "证件类型：", order.certificate.name},
            {"lbTelephone", "电话：", order.customerTel.str()},
            {"lbCustomerName", "姓名：", order.customerName.str()},
            {"lbIdentityNumber", "证件号码：", order.identityNumber.str()},
            {"lbCellPhone", "手机：", order.customerCellPhone.str()},
            {"lbShippingAddress", "配送地址：", order.shippingAddress.str()},
            {"lbShippingWay", "配送方式：", order.shippingWay.name},
            {"lbInvoiceHead", "订单发票抬头：", order.invoiceHead.str()},
            {"lbShippingComment", "配送单备注：", order.shippingComment.str()}};
}

TInfoLabels::TInfoLabels(int columns, QWidget* parent) : QWidget(parent), grid_(new QGridLayout(this)), columns_(columns) {
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setHorizontalSpacing(16);
}

void TInfoLabels::Show(const std::vector<TInfoItem>& items) {
    for (const TInfoItem& item : items) {
        QLabel*& label = labels_[item.name];
        if (!label) {
            const int index = static_cast<int>(labels_.size()) - 1;
            label = new QLabel(this);
            label->setObjectName(QLatin1String(item.name));
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            grid_->addWidget(label, index / columns_, index % columns_);
        }
        label->setText(QString::fromUtf8(item.caption) + QString::fromStdString(item.value));
    }
}

QString TInfoLabels::Text(const char* name) const {
    const auto found = labels_.find(name);
    return found == labels_.end() ? QString() : found->second->text();
}

} // namespace kav::orderhandler
