#include "orderhandler/uiorderhandlersearchpanel.h"

#include "orderhandler/odrhcodetables.h"
#include "platform/widgets/qtext.h"
#include "platform/widgets/rolloutgroup.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace kav::orderhandler {

namespace {

const QString kCustom = QStringLiteral("自定义");
const QString kUnlimited = QStringLiteral("无限制");
const QDate kNoDate(1900, 1, 1); // shown as "0000-00-00"

std::string S(const QLineEdit* edit) {
    return edit->text().toStdString();
}

QDate QDateOf(TDateTime value) {
    const CivilDateTime c = DecodeDateTime(value);
    return QDate(c.year, c.month, c.day);
}

QTime QTimeOf(TDateTime value) {
    const CivilDateTime c = DecodeDateTime(value);
    return QTime(c.hour, c.minute, c.second);
}

TDateTime DateTimeOf(const QDate& date, const QTime& time) {
    return EncodeDate(date.year(), date.month(), date.day()) + time.msecsSinceStartOfDay() / 86400000.0;
}

QComboBox* KindCombo(const char* name, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->addItems({kCustom, kUnlimited});
    return combo;
}

QLineEdit* Edit(const char* name, QWidget* parent, int width = 120) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMinimumWidth(width);
    edit->setClearButtonEnabled(true);
    return edit;
}

QLabel* Label(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QToolButton* ActionButton(const char* name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace

TOrderSearchPanel::TOrderSearchPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BuildCustomerGroup());
    layout->addWidget(BuildOrderGroup());

    // Tab follows the reading order of the panel: customer fields, then order fields, then the exact search.
    const QList<QWidget*> order{identityType_, customerName_, phone_,        cellPhone_,        identityNumber_,
                                customerType_, memberCardNo_, readCard_,     email_,            createTime_.kind,
                                createTime_.fromDate, createTime_.fromTime, createTime_.toDate,  createTime_.toTime,
                                orderStatus_,  productKind_,  searchProduct_, resetProduct_,   orderFrom_,
                                failDate_.kind, failDate_.fromDate, failDate_.toDate,  handlerTime_.kind,
                                handlerTime_.fromDate, handlerTime_.fromTime, handlerTime_.toDate,
                                handlerTime_.toTime, code_,  password_,         comment_};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    for (QLineEdit* exact : {code_, password_, comment_}) {
        connect(exact, &QLineEdit::returnPressed, this, &TOrderSearchPanel::ExactSearchRequested);
        exact->installEventFilter(this);
    }
    for (QLineEdit* detail : {customerName_, phone_, cellPhone_, identityNumber_, memberCardNo_, email_})
        connect(detail, &QLineEdit::returnPressed, this, &TOrderSearchPanel::DetailSearchRequested);
    for (QComboBox* arrowsOnly : {orderStatus_, orderFrom_})
        arrowsOnly->installEventFilter(this);

    connect(createTime_.kind, &QComboBox::currentIndexChanged, this, &TOrderSearchPanel::CreateTimeKindChanged);
    connect(productKind_, &QComboBox::currentIndexChanged, this, &TOrderSearchPanel::ProductKindChanged);
    for (const Range* range : {&failDate_, &handlerTime_}) {
        connect(range->kind, &QComboBox::currentIndexChanged, this, [this, range](int index) {
            const bool unlimited = index == 1;
            SetRangeUnlimited(*range, unlimited);
            if (unlimited) return;
            const QDate today = QDate::currentDate();
            range->fromDate->setDate(today.addDays(-1));
            range->toDate->setDate(today);
            if (range->fromTime) range->fromTime->setTime(QTime(0, 0, 0));
            if (range->toTime) range->toTime->setTime(QTime(23, 59, 59));
        });
    }
}

QWidget* TOrderSearchPanel::BuildCustomerGroup() {
    auto* group = new TRollOutGroup(QStringLiteral("顾客信息"), this);
    group->setObjectName(QStringLiteral("grpCustomer"));
    QWidget* box = group->Content();
    identityType_ = new QComboBox(box);
    identityType_->setObjectName(QStringLiteral("cbIdentityType"));
    identityType_->setMinimumWidth(110);
    customerName_ = Edit("etCustomerName", box);
    phone_ = Edit("etPhoneNumber", box);
    cellPhone_ = Edit("etCellPhoneNumber", box);
    identityNumber_ = Edit("etIndentityNumber", box, 160);
    customerType_ = new QComboBox(box);
    customerType_->setObjectName(QStringLiteral("cbCustomerType"));
    customerType_->setMinimumWidth(110);
    memberCardNo_ = Edit("etMemberCardNo", box);
    readCard_ = ActionButton("btnReadCard", box);
    email_ = Edit("etEmail", box, 160);

    auto* grid = new QGridLayout(box);
    grid->addWidget(Label(QStringLiteral("证件类型："), box), 0, 0);
    grid->addWidget(identityType_, 0, 1);
    grid->addWidget(Label(QStringLiteral("姓名："), box), 0, 2);
    grid->addWidget(customerName_, 0, 3);
    grid->addWidget(Label(QStringLiteral("电话："), box), 0, 4);
    grid->addWidget(phone_, 0, 5);
    grid->addWidget(Label(QStringLiteral("手机："), box), 0, 6);
    grid->addWidget(cellPhone_, 0, 7);
    grid->addWidget(Label(QStringLiteral("证件号码："), box), 1, 0);
    grid->addWidget(identityNumber_, 1, 1);
    grid->addWidget(Label(QStringLiteral("顾客类别："), box), 1, 2);
    grid->addWidget(customerType_, 1, 3);
    grid->addWidget(Label(QStringLiteral("会员卡号："), box), 1, 4);
    auto* card = new QHBoxLayout;
    card->addWidget(memberCardNo_, 1);
    card->addWidget(readCard_);
    grid->addLayout(card, 1, 5);
    grid->addWidget(Label(QStringLiteral("电子邮箱："), box), 1, 6);
    grid->addWidget(email_, 1, 7);
    grid->setColumnStretch(8, 1);
    return group;
}

TOrderSearchPanel::Range TOrderSearchPanel::MakeRange(const char* kindName, const char* name, bool withTimes,
                                                      QWidget* parent) {
    Range range;
    range.kind = KindCombo(kindName, parent);
    const auto date = [parent](const QString& objectName) {
        auto* edit = new QDateEdit(parent);
        edit->setObjectName(objectName);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setCalendarPopup(true);
        edit->setMinimumDate(kNoDate);
        edit->setSpecialValueText(QStringLiteral("0000-00-00"));
        return edit;
    };
    const auto time = [parent](const QString& objectName) {
        auto* edit = new QTimeEdit(parent);
        edit->setObjectName(objectName);
        edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        return edit;
    };
    const QString base = QLatin1String(name);
    range.fromDate = date(QStringLiteral("dtp%1BeginDate").arg(base));
    range.toDate = date(QStringLiteral("dtp%1EndDate").arg(base));
    if (withTimes) {
        range.fromTime = time(QStringLiteral("dtp%1BeginTime").arg(base));
        range.toTime = time(QStringLiteral("dtp%1EndTime").arg(base));
    }
    return range;
}

QWidget* TOrderSearchPanel::BuildOrderGroup() {
    auto* group = new TRollOutGroup(QStringLiteral("订单信息"), this);
    group->setObjectName(QStringLiteral("grpOrder"));
    QWidget* box = group->Content();
    createTime_ = MakeRange("cbSeachTimeDefine", "", true, box);
    failDate_ = MakeRange("cbSeachFailTime", "Fail", false, box);
    handlerTime_ = MakeRange("cbSeachHandlerTimeDefine", "Handler", true, box);
    orderStatus_ = new QComboBox(box);
    orderStatus_->setObjectName(QStringLiteral("cbOrderStatus"));
    orderStatus_->setMinimumWidth(130);
    productKind_ = KindCombo("cbSearchProductName", box);
    productNames_ = new QLineEdit(box);
    productNames_->setObjectName(QStringLiteral("etProductName"));
    productNames_->setReadOnly(true);
    productNames_->setMinimumWidth(220);
    searchProduct_ = ActionButton("btnSearchProduct", box);
    resetProduct_ = ActionButton("btnResetProduct", box);
    orderFrom_ = new QComboBox(box);
    orderFrom_->setObjectName(QStringLiteral("cbOrderFrom"));
    orderFrom_->setMinimumWidth(130);
    code_ = Edit("etCode", box);
    password_ = Edit("etOrderPassWord", box);
    password_->setEchoMode(QLineEdit::Password);
    comment_ = Edit("edtComment", box);

    const auto rangeRow = [box](const Range& range) {
        auto* row = new QHBoxLayout;
        row->addWidget(range.kind);
        row->addWidget(range.fromDate);
        if (range.fromTime) row->addWidget(range.fromTime);
        row->addWidget(new QLabel(QStringLiteral("至"), box));
        row->addWidget(range.toDate);
        if (range.toTime) row->addWidget(range.toTime);
        row->addStretch();
        return row;
    };
    auto* grid = new QGridLayout(box);
    grid->addWidget(Label(QStringLiteral("预订时间："), box), 0, 0);
    grid->addLayout(rangeRow(createTime_), 0, 1, 1, 3);
    grid->addWidget(Label(QStringLiteral("订单状态："), box), 0, 4);
    grid->addWidget(orderStatus_, 0, 5);
    grid->addWidget(Label(QStringLiteral("演出："), box), 1, 0);
    auto* product = new QHBoxLayout;
    product->addWidget(productKind_);
    product->addWidget(productNames_, 1);
    product->addWidget(searchProduct_);
    product->addWidget(resetProduct_);
    grid->addLayout(product, 1, 1, 1, 3);
    grid->addWidget(Label(QStringLiteral("订单来源："), box), 1, 4);
    grid->addWidget(orderFrom_, 1, 5);
    failDateLabel_ = Label(QStringLiteral("到期日期："), box);
    grid->addWidget(failDateLabel_, 2, 0);
    grid->addLayout(rangeRow(failDate_), 2, 1);
    grid->addWidget(Label(QStringLiteral("处理时间："), box), 2, 2);
    grid->addLayout(rangeRow(handlerTime_), 2, 3, 1, 3);
    grid->addWidget(Label(QStringLiteral("请输入订单号："), box), 3, 0);
    auto* exact = new QHBoxLayout;
    exact->addWidget(code_);
    exact->addWidget(new QLabel(QStringLiteral("订单密码："), box));
    exact->addWidget(password_);
    exact->addWidget(new QLabel(QStringLiteral("第三方订单："), box));
    exact->addWidget(comment_);
    exact->addStretch();
    grid->addLayout(exact, 3, 1, 1, 5);
    grid->setColumnStretch(6, 1);
    return group;
}

void TOrderSearchPanel::SetActions(QAction* searchProduct, QAction* resetProduct, QAction* readCard) {
    static_cast<QToolButton*>(searchProduct_)->setDefaultAction(searchProduct);
    static_cast<QToolButton*>(resetProduct_)->setDefaultAction(resetProduct);
    static_cast<QToolButton*>(readCard_)->setDefaultAction(readCard);
}

void TOrderSearchPanel::Initialise(const TChoices& choices) {
    orderFrom_->clear();
    for (const TOrderFromTypeInfoRecord& source : choices.sources)
        orderFrom_->addItem(Q(source.name), Q(source.code));
    // "全部" searches only what the user may view, so it is offered only with a source to view.
    if (!choices.sources.empty()) orderFrom_->addItem(QStringLiteral("全部"), QString());
    orderFrom_->setCurrentIndex(orderFrom_->count() > 0 ? 0 : -1);

    const auto fill = [](QComboBox* combo, const std::vector<TMemberCodeName>& entries) {
        combo->clear();
        combo->addItem(QString(), QString());
        for (const TMemberCodeName& entry : entries)
            combo->addItem(Q(entry.name), Q(entry.code));
        combo->setCurrentIndex(0);
    };
    fill(identityType_, choices.certificateTypes);
    fill(customerType_, choices.customerTypes);

    orderStatus_->clear();
    for (const TOrderStatusTypeInfoRecord& status : OrderStatusTypeInfos())
        orderStatus_->addItem(Q(status.name), Q(status.code));
    orderStatus_->setCurrentIndex(orderStatus_->findData(QString::fromLatin1(kStatusPaidOrCollected)));

    ApplyCreateTimeSetting(choices.createTime);

    failDate_.kind->setCurrentIndex(1);
    SetRangeUnlimited(failDate_, true);
    for (QWidget* widget : std::initializer_list<QWidget*>{failDateLabel_, failDate_.kind})
        widget->setEnabled(choices.failDateEnabled);
    handlerTime_.kind->setCurrentIndex(1);
    SetRangeUnlimited(handlerTime_, true);

    productKind_->setCurrentIndex(1);
    ProductKindChanged(1);
    ClearTexts();
}

void TOrderSearchPanel::ApplyCreateTimeSetting(const TOrderTimePeriodSetting& setting) {
    createTimeSetting_ = setting;
    const bool unlimited = setting.beginKind == TOrderTimeKind::otkNoDefine;
    const QSignalBlocker blocker(createTime_.kind);
    createTime_.kind->setCurrentIndex(unlimited ? 1 : 0);
    SetRangeUnlimited(createTime_, unlimited);
    if (unlimited) return;
    TDateTime begin = 0, end = 0;
    if (!ExtractOrderTimeSetting(setting, begin, end)) return;
    createTime_.fromDate->setDate(QDateOf(begin));
    createTime_.fromTime->setTime(QTimeOf(begin));
    createTime_.toDate->setDate(QDateOf(end));
    createTime_.toTime->setTime(QTimeOf(end));
}

bool TOrderSearchPanel::CreateTimeUnlimited() const {
    return createTime_.kind->currentIndex() == 1;
}

void TOrderSearchPanel::CreateTimeKindChanged(int index) {
    const bool unlimited = index == 1;
    SetRangeUnlimited(createTime_, unlimited);
    if (unlimited) return;
    TDateTime begin = 0, end = 0;
    if (createTimeSetting_.beginKind == TOrderTimeKind::otkNoDefine ||
        !ExtractOrderTimeSetting(createTimeSetting_, begin, end)) {
        const TDateTime now = Now();
        begin = now - 1;
        end = now;
    }
    createTime_.fromDate->setDate(QDateOf(begin));
    createTime_.fromTime->setTime(QTimeOf(begin));
    createTime_.toDate->setDate(QDateOf(end));
    createTime_.toTime->setTime(QTimeOf(end));
}

void TOrderSearchPanel::SetRangeUnlimited(const Range& range, bool unlimited) {
    for (QDateEdit* date : {range.fromDate, range.toDate}) {
        date->setEnabled(!unlimited);
        if (unlimited) date->setDate(kNoDate);
    }
    for (QTimeEdit* time : {range.fromTime, range.toTime}) {
        if (!time) continue;
        time->setEnabled(!unlimited);
        if (unlimited) time->setTime(QTime(0, 0, 0));
    }
}

void TOrderSearchPanel::ProductKindChanged(int index) {
    const bool custom = index == 0;
    productNames_->setEnabled(custom);
    // A product filter the seller can no longer see would narrow every later search unnoticed.
    if (!custom) ResetProduct();
}

std::optional<TTimeRange> TOrderSearchPanel::RangeValue(const Range& range) const {
    if (range.kind->currentIndex() == 1) return std::nullopt;
    const QTime start = range.fromTime ? range.fromTime->time() : QTime(0, 0, 0);
    const QTime end = range.toTime ? range.toTime->time() : QTime(0, 0, 0);
    return TTimeRange{DateTimeOf(range.fromDate->date(), start), DateTimeOf(range.toDate->date(), end)};
}

TDetailSearchInput TOrderSearchPanel::DetailInput() const {
    TDetailSearchInput input;
    for (int i = 0; i < orderFrom_->count(); ++i)
        if (const QString code = orderFrom_->itemData(i).toString(); !code.isEmpty())
            input.viewableSources.push_back(code.toStdString());
    input.orderFrom = orderFrom_->currentData().toString().toStdString();
    input.orderStatus = orderStatus_->currentData().toString().toStdString();
    input.productRequired = ProductCustom();
    input.productCodes = productCodes_;
    input.customerType = customerType_->currentData().toString().toStdString();
    input.certificateType = identityType_->currentData().toString().toStdString();
    input.customerName = S(customerName_);
    input.telephone = S(phone_);
    input.cellPhone = S(cellPhone_);
    input.identityNumber = S(identityNumber_);
    input.memberCardNo = S(memberCardNo_);
    input.comment = S(comment_);
    input.email = S(email_);
    input.createTime = RangeValue(createTime_);
    input.handlerTime = RangeValue(handlerTime_);
    if (failDate_.kind->isEnabled()) input.failDate = RangeValue(failDate_);
    return input;
}

std::string TOrderSearchPanel::OrderCode() const {
    return code_->text().trimmed().toStdString();
}

std::string TOrderSearchPanel::OrderPassword() const {
    return password_->text().trimmed().toStdString();
}

void TOrderSearchPanel::SelectExactFields() {
    code_->selectAll();
    password_->selectAll();
    (code_->text().isEmpty() && !password_->text().isEmpty() ? password_ : code_)->setFocus();
}

void TOrderSearchPanel::FocusOrderCode() {
    code_->setFocus();
    code_->selectAll();
}

void TOrderSearchPanel::ClearTexts() {
    for (QLineEdit* edit : {code_, password_, customerName_, phone_, cellPhone_, identityNumber_, memberCardNo_,
                            email_, comment_})
        edit->clear();
}

void TOrderSearchPanel::SetSelectedProducts(const TSelectedProducts& products) {
    productCodes_ = products[0];
    productNames_->setText(Q(products[1]));
    productNames_->setCursorPosition(0);
    if (!productCodes_.empty() && productKind_->currentIndex() != 0) {
        const QSignalBlocker blocker(productKind_);
        productKind_->setCurrentIndex(0);
        productNames_->setEnabled(true);
    }
}

void TOrderSearchPanel::ResetProduct() {
    productCodes_.clear();
    productNames_->clear();
}

bool TOrderSearchPanel::HasProductNames() const {
    return !productNames_->text().isEmpty();
}

bool TOrderSearchPanel::ProductCustom() const {
    return productKind_->currentIndex() == 0;
}

void TOrderSearchPanel::SetMemberCardNo(const std::string& cardNo) {
    memberCardNo_->setText(Q(cardNo));
}

bool TOrderSearchPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == orderStatus_ || watched == orderFrom_) {
        // Only the arrows step through these lists; typed letters, paging keys and the pop-up do nothing.
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) return false;
        const bool handledByCombo = !key->text().isEmpty() && key->text().at(0).isPrint();
        switch (key->key()) {
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Space:
        case Qt::Key_F4:
            return true;
        default:
            return handledByCombo;
        }
    }
    if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier) {
        emit ResultsRequested();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kav::orderhandler
