#include "seatmap/sectionmapshow.h"

#include "platform/dataset/clientdataset.h"
#include "platform/widgets/datasetmodel.h"

#include <QListView>
#include <QPainter>
#include <QVBoxLayout>

namespace kav {

TKavSectionMapShow::TKavSectionMapShow(QWidget* parent) : QWidget(parent), list_(new QListView) {
    setObjectName(QStringLiteral("SectionMap"));
    list_->setObjectName(QStringLiteral("SectionList"));
    list_->setFrameShape(QFrame::NoFrame);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(list_);
    connect(list_, &QListView::activated, this, [this] { emit SectionActivated(SectionCode()); });
}

TKavSectionMapShow::~TKavSectionMapShow() {
    list_->setModel(nullptr);
}

void TKavSectionMapShow::SetSectionSource(TClientDataSet* dataSet) {
    list_->setModel(nullptr);
    model_.reset();
    section_ = dataSet;
    if (!dataSet) return;
    model_ = std::make_unique<DataSetModel>(*dataSet);
    list_->setModel(model_.get());
    codeField_ = dataSet->FieldByName("SECTIONCODE").Index();
    nameField_ = dataSet->FieldByName("CNAME").Index();
    for (int column = 0; column < model_->columnCount(); ++column)
        if (model_->FieldIndex(column) == nameField_) list_->setModelColumn(column);
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { emit SectionChanged(SectionCode()); });
}

std::string TKavSectionMapShow::TextOfCurrent(int field) const {
    const QModelIndex current = list_->currentIndex();
    if (!section_ || !current.isValid()) return {};
    return section_->TextAt(current.row(), field);
}

std::string TKavSectionMapShow::SectionCode() const {
    return TextOfCurrent(codeField_);
}

std::string TKavSectionMapShow::SectionName() const {
    return TextOfCurrent(nameField_);
}

void TKavSectionMapShow::SetSectionCode(const std::string& code) {
    if (!section_) return;
    for (int row = 0; row < model_->rowCount(); ++row)
        if (section_->TextAt(row, codeField_) == code) {
            list_->setCurrentIndex(model_->index(row, list_->modelColumn()));
            return;
        }
    list_->setCurrentIndex({});
}

void TKavSectionMapShow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace kav
