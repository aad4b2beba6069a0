#include "orderhandler/uiorderhandlersearchproduct.h"

#include "orderhandler/odrhgridtext.h"
#include "platform/widgets/hourglass.h"
#include "platform/widgets/modaldialog.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <numeric>

namespace kav::orderhandler {

namespace {

enum Column { kTick, kName, kTime, kPlace };

QDateTime QDateTimeOf(TDateTime value) {
    const CivilDateTime c = DecodeDateTime(value);
    return QDateTime(QDate(c.year, c.month, c.day), QTime(c.hour, c.minute, c.second));
}

// "yyyy-mm-dd 00:00:00" of the picker's date.
std::string StartOfDay(const QDateTimeEdit* picker) {
    return picker->date().toString(QStringLiteral("yyyy-MM-dd")).toStdString() + " 00:00:00";
}

int CompareIgnoringCase(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive);
}

QPushButton* Button(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

TUIOrderHandlerSearchProduct::TUIOrderHandlerSearchProduct(TodrHDataProvider& provider, QWidget* parent)
    : QDialog(parent), provider_(provider) {
    setObjectName(QStringLiteral("UIOrderHandlerSearchProduct"));
    setWindowTitle(QStringLiteral("订单处理-演出查询"));
    resize(820, 520);

    from_ = new QDateTimeEdit(this);
    from_->setObjectName(QStringLiteral("dtpFrom"));
    to_ = new QDateTimeEdit(this);
    to_->setObjectName(QStringLiteral("dtpTo"));
    for (QDateTimeEdit* picker : {from_, to_}) {
        picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
        picker->setCalendarPopup(true);
    }
    classes_ = new QComboBox(this);
    classes_->setObjectName(QStringLiteral("cbProductClass"));
    classes_->setMinimumWidth(160);
    places_ = new QComboBox(this);
    places_->setObjectName(QStringLiteral("cbPlace"));
    places_->setMinimumWidth(160);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("etProductName"));

    QPushButton* search = Button(QStringLiteral("查询"), "btnSearch", this);
    search->setAutoDefault(true);
    search->setDefault(true);
    QPushButton* checkAll = Button(QStringLiteral("全选"), "btnCheckAll", this);
    QPushButton* uncheckAll = Button(QStringLiteral("全不选"), "btnUncheckAll", this);
    QPushButton* reset = Button(QStringLiteral("重置"), "btnReset", this);

    auto* conditions = new QGridLayout;
    conditions->addWidget(new QLabel(QStringLiteral("上演时间："), this), 0, 0);
    auto* range = new QHBoxLayout;
    range->addWidget(from_);
    range->addWidget(new QLabel(QStringLiteral("～"), this));
    range->addWidget(to_);
    conditions->addLayout(range, 0, 1, 1, 3);
    conditions->addWidget(new QLabel(QStringLiteral("演出类别："), this), 1, 0);
    conditions->addWidget(classes_, 1, 1);
    conditions->addWidget(new QLabel(QStringLiteral("上演剧院："), this), 1, 2);
    conditions->addWidget(places_, 1, 3);
    conditions->addWidget(new QLabel(QStringLiteral("演出名称："), this), 2, 0);
    conditions->addWidget(name_, 2, 1, 1, 3);
    auto* conditionButtons = new QHBoxLayout;
    for (QPushButton* button : {search, checkAll, uncheckAll, reset})
        conditionButtons->addWidget(button);
    conditionButtons->addStretch();
    conditions->addLayout(conditionButtons, 3, 0, 1, 4);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("lstProducts"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels({QStringLiteral("选择"), QStringLiteral("演出名称"), QStringLiteral("上演时间"),
                            QStringLiteral("上演剧场")});
    list_->setColumnWidth(kTick, 50);
    list_->setColumnWidth(kName, 350);
    list_->setColumnWidth(kTime, 150);
    list_->setColumnWidth(kPlace, 220);
    list_->header()->setSectionsClickable(true);
    list_->header()->setSortIndicatorShown(false);

    ok_ = Button(QStringLiteral("确定(&O)"), "btnOK", this);
    QPushButton* cancel = Button(QStringLiteral("取消(&C)"), "btnCancel", this);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(ok_);
    bottom->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(conditions);
    layout->addWidget(list_, 1);
    layout->addLayout(bottom);

    connect(search, &QPushButton::clicked, this, &TUIOrderHandlerSearchProduct::Search);
    connect(checkAll, &QPushButton::clicked, this, [this] { CheckAll(true); });
    connect(uncheckAll, &QPushButton::clicked, this, [this] { CheckAll(false); });
    connect(reset, &QPushButton::clicked, this, &TUIOrderHandlerSearchProduct::Reset);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(name_, &QLineEdit::returnPressed, this, &TUIOrderHandlerSearchProduct::Search);
    connect(list_->header(), &QHeaderView::sectionClicked, this, &TUIOrderHandlerSearchProduct::HeaderClicked);
    connect(list_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column != kTick) return;
        const int row = list_->indexOfTopLevelItem(item);
        if (row >= 0) ticked_[static_cast<std::size_t>(shown_[static_cast<std::size_t>(row)])] =
            item->checkState(kTick) == Qt::Checked;
        UpdateOk();
    });
    UpdateOk();
}

int TUIOrderHandlerSearchProduct::ShowCustomModal() {
    Prepare();
    return ExecModal(*this);
}

void TUIOrderHandlerSearchProduct::Prepare() {
    THourglass hourglass;
    Reset();
    const QSignalBlocker blockClasses(classes_);
    classes_->clear();
    for (const TProductClassItem& item : provider_.GetProductClass())
        classes_->addItem(QString::fromStdString(item.name), QString::fromStdString(item.code));
    classes_->setCurrentIndex(0);
    places_->clear();
    for (const TPlaceItem& item : provider_.GetPlace())
        places_->addItem(QString::fromStdString(item.name), QString::fromStdString(item.code));
    places_->setCurrentIndex(0);
    Search();
    CheckAll(false);
    name_->setFocus();
}

void TUIOrderHandlerSearchProduct::Reset() {
    const TDateTime now = Now();
    from_->setDateTime(QDateTimeOf(now - 15));
    to_->setDateTime(QDateTimeOf(now + 60));
    classes_->setCurrentIndex(classes_->count() > 0 ? 0 : -1);
    places_->setCurrentIndex(places_->count() > 0 ? 0 : -1);
    name_->clear();
}

void TUIOrderHandlerSearchProduct::Search() {
    THourglass hourglass;
    TClientDataSet& rows = provider_.SearchProduct(places_->currentData().toString().toStdString(),
                                                   classes_->currentData().toString().toStdString(),
                                                   StartOfDay(from_), StartOfDay(to_),
                                                   name_->text().trimmed().toStdString());
    products_.clear();
    TField& code = rows.FieldByName("ProductCode");
    TField& name = rows.FieldByName("CNAME");
    TField& time = rows.FieldByName("HappenTime");
    TField& place = rows.FieldByName("PlaceName");
    for (rows.First(); !rows.Eof(); rows.Next()) {
        TProductItem product;
        product.productCode = code.AsString();
        product.productName = name.AsString();
        product.placeName = place.AsString();
        product.happenTime = time.AsDateTime();
        products_.push_back(std::move(product));
    }
    ticked_.assign(products_.size(), false);
    sortColumn_ = -1;
    list_->header()->setSortIndicatorShown(false);
    Fill();
}

void TUIOrderHandlerSearchProduct::Fill() {
    shown_.resize(products_.size());
    std::iota(shown_.begin(), shown_.end(), 0);
    if (sortColumn_ == kName || sortColumn_ == kTime) {
        std::stable_sort(shown_.begin(), shown_.end(), [this](int a, int b) {
            const TProductItem& x = products_[static_cast<std::size_t>(a)];
            const TProductItem& y = products_[static_cast<std::size_t>(b)];
            const int order = sortColumn_ == kName ? CompareIgnoringCase(x.productName, y.productName)
                                                   : (x.happenTime < y.happenTime ? -1 : x.happenTime > y.happenTime);
            return descending_ ? order > 0 : order < 0;
        });
    }
    const QSignalBlocker blocker(list_);
    list_->clear();
    for (int index : shown_) {
        const TProductItem& product = products_[static_cast<std::size_t>(index)];
        auto* item = new QTreeWidgetItem(list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(kTick, ticked_[static_cast<std::size_t>(index)] ? Qt::Checked : Qt::Unchecked);
        item->setText(kName, QString::fromStdString(product.productName));
        item->setText(kTime, QString::fromStdString(FormatMinutes(product.happenTime)));
        item->setText(kPlace, QString::fromStdString(product.placeName));
    }
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    UpdateOk();
}

void TUIOrderHandlerSearchProduct::HeaderClicked(int column) {
    if (column == kName || column == kTime) {
        descending_ = column == sortColumn_ && !descending_;
        sortColumn_ = column;
        list_->header()->setSortIndicatorShown(true);
        list_->header()->setSortIndicator(column, descending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
    } else {
        sortColumn_ = -1;
        descending_ = false;
        list_->header()->setSortIndicatorShown(false);
    }
    Fill();
}

void TUIOrderHandlerSearchProduct::CheckAll(bool checked) {
    ticked_.assign(products_.size(), checked);
    const QSignalBlocker blocker(list_);
    for (int row = 0; row < list_->topLevelItemCount(); ++row)
        list_->topLevelItem(row)->setCheckState(kTick, checked ? Qt::Checked : Qt::Unchecked);
    UpdateOk();
}

TSelectedProducts TUIOrderHandlerSearchProduct::GetSelectedProducts() const {
    std::vector<TProductItem> selected;
    for (int index : shown_)
        if (ticked_[static_cast<std::size_t>(index)]) selected.push_back(products_[static_cast<std::size_t>(index)]);
    return MakeSelectedProducts(selected);
}

void TUIOrderHandlerSearchProduct::UpdateOk() {
    ok_->setEnabled(std::find(ticked_.begin(), ticked_.end(), true) != ticked_.end());
}

} // namespace kav::orderhandler
