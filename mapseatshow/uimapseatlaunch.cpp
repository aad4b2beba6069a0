#include "mapseatshow/uimapseatlaunch.h"

#include "dialogs/guardedcall.h"
#include "host/cadbpipe.h"
#include "host/camapsectionshow.h"
#include "host/kavcontext.h"
#include "host/sqltext.h"
#include "platform/core/datetime.h"
#include "platform/widgets/datasetmodel.h"
#include "platform/widgets/modaldialog.h"
#include "seatmap/sectionmapshow.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>

namespace kav {

std::string MapSeatProductsSQL(const std::string& nodeCode) {
    return SqlFormat(
        "select PRODUCTCODE, CNAME, MAPCODE, HAPPENTIME from KAV_PRODUCT where NODECODE = '%s' and "
        "MAPCODE is not null and STATUS <> '9' order by HAPPENTIME desc, PRODUCTCODE",
        {nodeCode});
}

TUIMapSeatLaunch::TUIMapSeatLaunch(pelio::TPelioClient& client, const std::string& context, QWidget* parent)
    : QDialog(parent), client_(client), context_(context), productList_(new QListView),
      sectionList_(new TKavSectionMapShow) {
    setObjectName(QStringLiteral("TUIMapSeatLaunch"));
    setWindowTitle(QStringLiteral("座位划定"));
    resize(640, 420);
    // The list shows each performance as its time and name.
    TFieldDef title = MakeFieldDef("TITLE", TFieldType::ftString, 96);
    title.kind = TFieldKind::fkCalculated;
    products_.FieldDefs().push_back(title);
    products_.SetOnCalcFields([](TClientDataSet& rows) {
        rows.FieldByName("TITLE").SetAsString(
            FormatDateTimeIso(rows.FieldByName("HAPPENTIME").AsDateTime()).substr(0, 16) + "  " +
            rows.FieldByName("CNAME").AsString());
    });
    productList_->setObjectName(QStringLiteral("ProductList"));
    productList_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName(QStringLiteral("OK"));
    ok_->setText(QStringLiteral("打开(&O)"));
    ok_->setEnabled(false);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("关闭"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(sectionList_, &TKavSectionMapShow::SectionChanged, this,
            [this] { ok_->setEnabled(Choice().has_value()); });
    connect(sectionList_, &TKavSectionMapShow::SectionActivated, this, [this] {
        if (Choice()) accept();
    });

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("演出:")), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("区域:")), 0, 1);
    layout->addWidget(productList_, 1, 0);
    layout->addWidget(sectionList_, 1, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
    layout->addWidget(buttons, 2, 0, 1, 2);
}

TUIMapSeatLaunch::~TUIMapSeatLaunch() {
    productList_->setModel(nullptr);
    sectionList_->SetSectionSource(nullptr);
}

void TUIMapSeatLaunch::LoadProducts() {
    TKavContext context;
    context.SetAsString(context_);
    productList_->setModel(nullptr);
    productModel_.reset();
    products_.SetData(
        TCADBPipe(client_).GetData(context_, MapSeatProductsSQL(context.NodeCode())).ByteArrayView());
    productModel_ = std::make_unique<DataSetModel>(products_);
    productList_->setModel(productModel_.get());
    for (int column = 0; column < productModel_->columnCount(); ++column)
        if (productModel_->FieldIndex(column) == products_.FieldByName("TITLE").Index())
            productList_->setModelColumn(column);
    connect(productList_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { RunGuarded([this] { ProductChanged(); }); });
}

void TUIMapSeatLaunch::ProductChanged() {
    const QModelIndex current = productList_->currentIndex();
    sectionList_->SetSectionSource(nullptr);
    ok_->setEnabled(false);
    if (!current.isValid()) return;
    const std::string code = products_.TextAt(current.row(), products_.FieldByName("PRODUCTCODE").Index());
    const std::string map = products_.TextAt(current.row(), products_.FieldByName("MAPCODE").Index());
    if (map != loadedMap_ || !sections_.Active()) {
        sections_.SetData(TCAMapSectionShow(client_).GetSections(context_, map).ByteArrayView());
        loadedMap_ = map;
    }
    sections_.SetFilter("PRODUCTCODE = " + SqlQuote(code));
    sections_.SetFiltered(true);
    sectionList_->SetSectionSource(&sections_);
}

void TUIMapSeatLaunch::ChooseProduct(const std::string& productCode) {
    if (!productModel_) return;
    const int field = products_.FieldByName("PRODUCTCODE").Index();
    for (int row = 0; row < productModel_->rowCount(); ++row)
        if (products_.TextAt(row, field) == productCode) {
            productList_->setCurrentIndex(productModel_->index(row, productList_->modelColumn()));
            return;
        }
}

void TUIMapSeatLaunch::ChooseSection(const std::string& sectionCode) {
    sectionList_->SetSectionCode(sectionCode);
}

std::optional<TMapSeatChoice> TUIMapSeatLaunch::Choice() {
    const QModelIndex current = productList_->currentIndex();
    const std::string section = sectionList_->SectionCode();
    if (!current.isValid() || section.empty()) return std::nullopt;
    const auto text = [&](const char* field) {
        return products_.TextAt(current.row(), products_.FieldByName(field).Index());
    };
    return TMapSeatChoice{text("PRODUCTCODE"), text("CNAME"), text("MAPCODE"), section,
                          sectionList_->SectionName()};
}

std::optional<TMapSeatChoice> TUIMapSeatLaunch::Ask(pelio::TPelioClient& client, const std::string& context,
                                                    QWidget* parent) {
    TUIMapSeatLaunch dialog(client, context, parent);
    dialog.LoadProducts();
    if (ExecModal(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
}

} // namespace kav
