#include "reports/common/searchproductbox.h"

#include "platform/widgets/qtext.h"
#include "platform/widgets/reportengine.h"
#include "reports/common/reportlookups.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>

namespace kav::reports {

namespace {

enum Role { kCode = Qt::UserRole, kPlace, kClass, kOwner, kSaleClasses };

QComboBox* Filter(const QString& name, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setMinimumContentsLength(10);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return combo;
}

// Refills a filter with "全部" and the given (code, name) pairs, keeping the chosen code when it is still
// there.
void Fill(QComboBox* combo, const std::vector<std::pair<QString, QString>>& items) {
    const QVariant chosen = combo->currentData();
    combo->blockSignals(true);
    combo->clear();
    combo->addItem(QStringLiteral("全部"), QString());
    for (const auto& [code, name] : items)
        combo->addItem(name, code);
    const int index = combo->findData(chosen);
    combo->setCurrentIndex(index < 0 ? 0 : index);
    combo->blockSignals(false);
}

} // namespace

TSearchProductBox::TSearchProductBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SearchProductBox"));
    place_ = Filter(QStringLiteral("cbPlace"), this);
    productClass_ = Filter(QStringLiteral("cbProductClass"), this);
    owner_ = Filter(QStringLiteral("cbOwner"), this);
    saleClass_ = Filter(QStringLiteral("cbSaleClass"), this);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("edProductName"));
    name_->setPlaceholderText(QStringLiteral("演出名称"));
    name_->setClearButtonEnabled(true);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("ProductList"));
    list_->setHeaderLabels(
        {QStringLiteral("演出名称"), QStringLiteral("场馆名称"), QStringLiteral("演出时间")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setStretchLastSection(false);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("SelectedCount"));
    auto* all = new QPushButton(QStringLiteral("全选"), this);
    all->setObjectName(QStringLiteral("btnSelectAll"));
    auto* none = new QPushButton(QStringLiteral("全不选"), this);
    none->setObjectName(QStringLiteral("btnSelectNone"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto addFilter = [&](int row, int column, const QString& label, QWidget* field) {
        auto* caption = new QLabel(label, this);
        caption->setBuddy(field);
        grid->addWidget(caption, row, column * 2);
        grid->addWidget(field, row, column * 2 + 1);
        return caption;
    };
    addFilter(0, 0, QStringLiteral("场馆:"), place_);
    propertyFilters_ = {addFilter(0, 1, QStringLiteral("演出类型:"), productClass_), productClass_,
                        addFilter(1, 0, QStringLiteral("主办单位:"), owner_),        owner_,
                        addFilter(1, 1, QStringLiteral("销售政策:"), saleClass_),    saleClass_};
    addFilter(2, 0, QStringLiteral("名称:"), name_);
    grid->addWidget(list_, 3, 0, 1, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(count_, 1);
    buttons->addWidget(all);
    buttons->addWidget(none);
    grid->addLayout(buttons, 4, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    for (QComboBox* combo : {place_, productClass_, owner_, saleClass_})
        connect(combo, &QComboBox::currentIndexChanged, this, &TSearchProductBox::ApplyFilters);
    connect(name_, &QLineEdit::textChanged, this, &TSearchProductBox::ApplyFilters);
    connect(all, &QPushButton::clicked, this, &TSearchProductBox::SelectAll);
    connect(none, &QPushButton::clicked, this, &TSearchProductBox::SelectNone);
    connect(list_, &QTreeWidget::itemChanged, this, [this] {
        UpdateCount();
        emit SelectionChanged();
    });
    UpdateCount();
}

void TSearchProductBox::SetPlaceSelectionOnly(bool placeOnly) {
    for (QWidget* widget : propertyFilters_)
        widget->setVisible(!placeOnly);
    if (placeOnly)
        for (QComboBox* combo : {productClass_, owner_, saleClass_})
            combo->setCurrentIndex(0);
}

void TSearchProductBox::ShowData(ITPDBPipe& pipe, const TKavContext& context) {
    const std::vector<std::string> ticked = SelectedCodes();
    LoadProducts(pipe, context, products_);
    LoadSaleClassNames(pipe, context, saleClasses_);

    std::vector<std::pair<QString, QString>> places, classes, owners, saleClassNames;
    for (const TCodeName& place : LoadPlaces(pipe, context))
        places.emplace_back(Q(place.code), Q(place.name));
    for (const TCodeName& kind : LoadProductClasses(pipe, context))
        classes.emplace_back(Q(kind.code), Q(kind.name));
    QMap<QString, QStringList> classesOf; // product code -> its sale class names
    QSet<QString> seenNames;
    for (saleClasses_.First(); !saleClasses_.Eof(); saleClasses_.Next()) {
        const QString name = Q(saleClasses_.FieldByName("CNAME").AsString());
        classesOf[Q(saleClasses_.FieldByName("PRODUCTCODE").AsString())] << name;
        if (!seenNames.contains(name)) {
            seenNames.insert(name);
            saleClassNames.emplace_back(name, name);
        }
    }

    list_->blockSignals(true);
    list_->clear();
    QSet<QString> seenOwners;
    for (products_.First(); !products_.Eof(); products_.Next()) {
        const QString code = Q(products_.FieldByName("ProductCode").AsString());
        const QString owner = Q(products_.FieldByName("OwnerGroup").AsString());
        auto* item =
            new QTreeWidgetItem(list_, {Q(products_.FieldByName("ProductName").AsString()),
                                        Q(products_.FieldByName("PlaceName").AsString()),
                                        Q(FormatReportValue(products_.FieldByName("HappenTime").Value(),
                                                            TValueFormat::Minutes, false))});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        item->setData(0, kCode, code);
        item->setData(0, kPlace, Q(products_.FieldByName("PlaceCode").AsString()));
        item->setData(0, kClass, Q(products_.FieldByName("ProductClassCode").AsString()));
        item->setData(0, kOwner, owner);
        item->setData(0, kSaleClasses, classesOf.value(code));
        item->setToolTip(0, code);
        if (!owner.isEmpty() && !seenOwners.contains(owner)) {
            seenOwners.insert(owner);
            owners.emplace_back(owner, Q(products_.FieldByName("OwnerName").AsString()));
        }
    }
    for (const std::string& code : ticked)
        if (QTreeWidgetItem* item = ItemOf(code)) item->setCheckState(0, Qt::Checked);
    list_->blockSignals(false);
    list_->resizeColumnToContents(1);
    list_->resizeColumnToContents(2);

    Fill(place_, places);
    Fill(productClass_, classes);
    Fill(owner_, owners);
    Fill(saleClass_, saleClassNames);
    ApplyFilters();
    UpdateCount();
    emit SelectionChanged();
}

void TSearchProductBox::ApplyFilters() {
    const QString place = place_->currentData().toString(), kind = productClass_->currentData().toString(),
                  owner = owner_->currentData().toString(), saleClass = saleClass_->currentData().toString(),
                  name = name_->text().trimmed();
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        const bool shown =
            (place.isEmpty() || item->data(0, kPlace).toString() == place) &&
            (kind.isEmpty() || item->data(0, kClass).toString() == kind) &&
            (owner.isEmpty() || item->data(0, kOwner).toString() == owner) &&
            (saleClass.isEmpty() || item->data(0, kSaleClasses).toStringList().contains(saleClass)) &&
            (name.isEmpty() || item->text(0).contains(name, Qt::CaseInsensitive));
        item->setHidden(!shown);
    }
}

void TSearchProductBox::UpdateCount() {
    count_->setText(QStringLiteral("已选 %1 场演出").arg(SelectedCodes().size()));
}

QTreeWidgetItem* TSearchProductBox::ItemOf(const std::string& productCode) const {
    const QString code = Q(productCode);
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (list_->topLevelItem(i)->data(0, kCode).toString() == code) return list_->topLevelItem(i);
    return nullptr;
}

std::vector<std::string> TSearchProductBox::SelectedCodes() const {
    std::vector<std::string> codes;
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (list_->topLevelItem(i)->checkState(0) == Qt::Checked)
            codes.push_back(list_->topLevelItem(i)->data(0, kCode).toString().toStdString());
    return codes;
}

TProductSelection TSearchProductBox::Selection(TClientDataSet& brief) {
    return SelectProducts(products_, SelectedCodes(), brief);
}

bool TSearchProductBox::SetChecked(const std::string& productCode, bool checked) {
    QTreeWidgetItem* item = ItemOf(productCode);
    if (item) item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    return item != nullptr;
}

void TSearchProductBox::SelectAll() {
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (!list_->topLevelItem(i)->isHidden()) list_->topLevelItem(i)->setCheckState(0, Qt::Checked);
}

void TSearchProductBox::SelectNone() {
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (!list_->topLevelItem(i)->isHidden()) list_->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
}

std::vector<TSearchProductBox::TListed> TSearchProductBox::Listed() {
    std::vector<TListed> listed;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        if (item->isHidden()) continue;
        if (!products_.Locate("ProductCode", {item->data(0, kCode).toString().toStdString()})) continue;
        listed.push_back({products_.FieldByName("ProductName").AsString(),
                          products_.FieldByName("PlaceName").AsString(),
                          products_.FieldByName("HappenTime").Value()});
    }
    return listed;
}

} // namespace kav::reports
