#include "orderhandler/uimodifycustomerinfo.h"

#include "dialogs/kavdialog.h"
#include "orderhandler/odrhcodetables.h"
#include "platform/widgets/hourglass.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/qtext.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kav::orderhandler {

namespace {

// The sale class whose customer details the order select masks.
constexpr std::string_view kMaskedSaleClass = "WEBDM";

// Column sizes of KAV_ORDER_CLIENT_SHOW and KAV_ORDER_SHOW.INVOICEHEAD.
constexpr int kNameSize = 40;
constexpr int kPhoneSize = 24;
constexpr int kAddressSize = 128;
constexpr int kIdentCodeSize = 32;
constexpr int kCommentSize = 128;
constexpr int kInvoiceHeadSize = 64;

std::string S(const QLineEdit* edit) {
    return edit->text().toStdString();
}

} // namespace

TUIModifyCustomerInfo::TUIModifyCustomerInfo(TodrHOrderInfoRecord& order, TodrHDataProvider& provider,
                                             QWidget* parent)
    : QDialog(parent), order_(order), provider_(provider), masked_(order.saleClassCode == kMaskedSaleClass) {
    setObjectName(QStringLiteral("UIModifyCustomerInfo"));
    setWindowTitle(QStringLiteral("修改顾客信息"));

    const auto edit = [this](const char* name, int size, std::string_view value) {
        auto* line = new QLineEdit(this);
        line->setObjectName(QLatin1String(name));
        line->setMaxLength(size);
        line->setText(Q(value));
        line->setMinimumWidth(260);
        connect(line, &QLineEdit::textChanged, this, &TUIModifyCustomerInfo::UpdateSave);
        return line;
    };
    name_ = edit("etCustomerName", kNameSize, order.customerName);
    identityNumber_ = edit("etIdentityNumber", kIdentCodeSize, order.identityNumber);
    telephone_ = edit("etTelephone", kPhoneSize, order.customerTel);
    cellPhone_ = edit("etCellPhone", kPhoneSize, order.customerCellPhone);
    address_ = edit("etShippingAddress", kAddressSize, order.shippingAddress);
    invoiceHead_ = edit("etInvoiceHead", kInvoiceHeadSize, order.invoiceHead);
    comment_ = edit("etShippingComment", kCommentSize, order.shippingComment);
    certificateType_ = new QComboBox(this);
    certificateType_->setObjectName(QStringLiteral("cmbCertificatedType"));
    shippingWay_ = new QComboBox(this);
    shippingWay_->setObjectName(QStringLiteral("cmbShippingWay"));
    FillCombos();

    if (masked_) {
        const QString why = QStringLiteral("合作方网上订单的顾客资料不在本系统保存，不能在此修改");
        for (QWidget* widget : std::initializer_list<QWidget*>{name_, certificateType_, identityNumber_, telephone_,
                                                               cellPhone_, address_}) {
            widget->setEnabled(false);
            widget->setToolTip(why);
        }
    }

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("姓名："), name_);
    form->addRow(QStringLiteral("证件类型："), certificateType_);
    form->addRow(QStringLiteral("证件号码："), identityNumber_);
    form->addRow(QStringLiteral("电话："), telephone_);
    form->addRow(QStringLiteral("手机："), cellPhone_);
    form->addRow(QStringLiteral("配送方式："), shippingWay_);
    form->addRow(QStringLiteral("配送地址："), address_);
    form->addRow(QStringLiteral("订单发票抬头："), invoiceHead_);
    form->addRow(QStringLiteral("配送单备注："), comment_);

    save_ = new QPushButton(QStringLiteral("保存"), this);
    save_->setObjectName(QStringLiteral("btnSave"));
    save_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(save_, &QPushButton::clicked, this, &TUIModifyCustomerInfo::SaveModifiedCustomerInfo);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(certificateType_, &QComboBox::currentIndexChanged, this, &TUIModifyCustomerInfo::CertificateChanged);
    connect(shippingWay_, &QComboBox::currentIndexChanged, this, &TUIModifyCustomerInfo::UpdateSave);
    (masked_ ? comment_ : name_)->setFocus();
    UpdateSave();
}

void TUIModifyCustomerInfo::FillCombos() {
    // The blank entry stands first and means that the customer has no certificate.
    certificateType_->addItem(QString(), QVariantList{QString(), 0});
    int selected = 0;
    for (const TCertificateInfo& type : provider_.GetCertificateTypes()) {
        certificateType_->addItem(Q(type.name), QVariantList{Q(type.certificateType), type.identTypeId});
        if (type.certificateType == order_.certificate.certificateType && !type.certificateType.empty())
            selected = certificateType_->count() - 1;
    }
    certificateType_->setCurrentIndex(selected);

    int way = -1;
    for (const TShippingWayTypeInfoRecord& entry : provider_.GetShippingWays()) {
        shippingWay_->addItem(Q(entry.name), Q(entry.code));
        if (entry.code == order_.shippingWay.code) way = shippingWay_->count() - 1;
    }
    if (way < 0 && !order_.shippingWay.code.empty()) {
        // A way this list does not offer (such as delivery to an outlet) stays as the order has it.
        const std::string name = GetShippingWayDisplayName(order_.shippingWay.code);
        shippingWay_->addItem(Q(name.empty() ? order_.shippingWay.code : name), Q(order_.shippingWay.code));
        way = shippingWay_->count() - 1;
    }
    shippingWay_->setCurrentIndex(way);
}

void TUIModifyCustomerInfo::CertificateChanged(int index) {
    if (index == 0) identityNumber_->clear();
    UpdateSave();
}

TCustomerClientInfo TUIModifyCustomerInfo::CollectInfo() const {
    TCustomerClientInfo info;
    info.orderCode = order_.orderCode.str();
    info.name = S(name_);
    info.address = S(address_);
    info.telephone = S(telephone_);
    info.cellPhone = S(cellPhone_);
    info.identityNumber = S(identityNumber_);
    info.comment = S(comment_);
    info.invoiceHead = S(invoiceHead_);
    info.shippingWay = shippingWay_->currentData().toString().toStdString();
    info.identTypeId = certificateType_->currentData().toList().value(1).toInt();
    info.customerMasked = masked_;
    return info;
}

bool TUIModifyCustomerInfo::Modified() const {
    const TCustomerClientInfo info = CollectInfo();
    return info.name != order_.customerName || info.identTypeId != order_.identTypeId ||
           info.identityNumber != order_.identityNumber || info.telephone != order_.customerTel ||
           info.cellPhone != order_.customerCellPhone || info.shippingWay != order_.shippingWay.code ||
           info.address != order_.shippingAddress || info.invoiceHead != order_.invoiceHead ||
           info.comment != order_.shippingComment;
}

void TUIModifyCustomerInfo::UpdateSave() {
    save_->setEnabled(Modified());
}

void TUIModifyCustomerInfo::SaveModifiedCustomerInfo() {
    if (!Modified()) return;
    const TCustomerClientInfo info = CollectInfo();
    bool saved = false;
    try {
        THourglass hourglass;
        saved = provider_.UpdateCustomerClientInfo(info);
    } catch (const std::exception& e) {
        ShowErrorMessage(std::string("保存失败，请联系管理员！\r\n") + e.what(), "错误");
        return;
    }
    if (!saved) {
        ShowErrorMessage("保存失败，请联系管理员！", "错误");
        return;
    }
    order_.shippingWay = {info.shippingWay, GetShippingWayDisplayName(info.shippingWay)};
    const QVariantList certificate = certificateType_->currentData().toList();
    order_.certificate.certificateType = certificate.value(0).toString().toStdString();
    order_.certificate.name = certificateType_->currentIndex() > 0 ? certificateType_->currentText().toStdString()
                                                                   : std::string();
    order_.certificate.identTypeId = info.identTypeId;
    order_.identTypeId = info.identTypeId;
    order_.customerName = info.name;
    order_.identityNumber = info.identityNumber;
    order_.customerTel = info.telephone;
    order_.customerCellPhone = info.cellPhone;
    order_.shippingAddress = info.address;
    order_.invoiceHead = info.invoiceHead;
    order_.shippingComment = info.comment;
    accept();
}

bool ShowModifyCustomerInfoDialog(TodrHOrderInfoRecord& order, TodrHDataProvider& provider, QWidget* parent) {
    TUIModifyCustomerInfo dialog(order, provider, parent);
    return ExecModal(dialog) == QDialog::Accepted;
}

} // namespace kav::orderhandler
