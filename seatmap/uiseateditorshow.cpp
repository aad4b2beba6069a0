#include "seatmap/uiseateditorshow.h"

#include "dialogs/kavtools.h"
#include "platform/widgets/modaldialog.h"
#include "seatmap/seatdialogparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

namespace kav {

namespace {

void AddField(TClientDataSet& record, const char* name, TFieldType type, int size, const char* label,
              bool required) {
    TFieldDef& def = record.AddFieldDef(name, type, size, required);
    if (label) def.displayLabel = label;
}

QComboBox* Combo(const char* name) {
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

// Selects the entry whose data is `value`, adding "N<suffix>" for a number the list does not name.
void SelectNumber(QComboBox& box, int value, const char* suffix) {
    int index = box.findData(value);
    if (index < 0) {
        box.addItem(QString::number(value) + QString::fromUtf8(suffix), value);
        index = box.count() - 1;
    }
    box.setCurrentIndex(index);
}

std::string TextOf(const QComboBox& box) {
    return box.currentIndex() < 0 ? std::string() : box.currentText().toStdString();
}

} // namespace

TUISeatEditorShow::TUISeatEditorShow(QWidget* parent)
    : QDialog(parent), section_(Combo("Section")), floor_(Combo("Floor")), row_(Combo("Row")),
      seat_(new QSpinBox), addition_(new QCheckBox(QStringLiteral("(*)加座"))), description_(new QLineEdit) {
    setObjectName(QStringLiteral("TUISeatEditorShow"));
    setWindowTitle(QStringLiteral("座位属性"));
    AddField(record_, "SECTIONCODE", TFieldType::ftString, 8, "分区", true);
    AddField(record_, "FLOORNO", TFieldType::ftSmallint, 0, "楼层", true);
    AddField(record_, "ROWNO", TFieldType::ftSmallint, 0, "排", true);
    AddField(record_, "SEATNO", TFieldType::ftSmallint, 0, "座号", true);
    AddField(record_, "ISADDITION", TFieldType::ftBoolean, 0, "加座", true);
    AddField(record_, "DESCRIPTION", TFieldType::ftString, 64, "座位描述", false);
    AddField(record_, "NODECODE", TFieldType::ftString, 2, nullptr, false);
    AddField(record_, "SEATCODE", TFieldType::ftInteger, 0, nullptr, false);
    AddField(record_, "MAPCODE", TFieldType::ftString, 8, nullptr, false);
    record_.CreateDataSet();
    record_.AppendRecord({"", 1, 1, 1, false, ""});
    record_.MergeChangeLog();

    seat_->setObjectName(QStringLiteral("SeatNo"));
    seat_->setRange(1, KavMaxSeatNo);
    addition_->setObjectName(QStringLiteral("IsAddition"));
    description_->setObjectName(QStringLiteral("Description"));
    description_->setMaxLength(64);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("分区:"), section_);
    form->addRow(QStringLiteral("楼层:"), floor_);
    form->addRow(QStringLiteral("排:"), row_);
    form->addRow(QStringLiteral("座号:"), seat_);
    form->addRow(QString(), addition_);
    form->addRow(QStringLiteral("座位描述:"), description_);
    QDialogButtonBox* buttons = MakeDialogButtons(*this);
    ok_ = OkButtonOf(*buttons);
    form->addRow(buttons);

    connect(section_, &QComboBox::currentIndexChanged, this,
            [this] { Store("SECTIONCODE", section_->currentData().toString().toStdString()); });
    connect(floor_, &QComboBox::currentIndexChanged, this, [this] {
        FillRows();
        Store("FLOORNO", FieldValue(std::int64_t{floor_->currentData().toInt()}));
    });
    connect(row_, &QComboBox::currentIndexChanged, this, [this] {
        Store("ROWNO", row_->currentIndex() < 0 ? FieldValue()
                                                : FieldValue(std::int64_t{row_->currentData().toInt()}));
    });
    connect(seat_, &QSpinBox::valueChanged, this,
            [this](int value) { Store("SEATNO", FieldValue(std::int64_t{value})); });
    connect(addition_, &QCheckBox::toggled, this, [this](bool on) { Store("ISADDITION", FieldValue(on)); });
    connect(description_, &QLineEdit::textEdited, this,
            [this](const QString& text) { Store("DESCRIPTION", text.toStdString()); });
}

void TUISeatEditorShow::Load(const TKavSeatEditorChoices& choices, const std::string& sectionCode,
                             const TKavSeatIdentity& seat, bool newSeat) {
    loading_ = true;
    choices_ = choices;
    newSeat_ = newSeat;
    if (record_.State() != TDataSetState::dsBrowse) record_.Cancel();
    record_.Edit();
    record_.FieldByName("SECTIONCODE").SetAsString(sectionCode);
    record_.FieldByName("FLOORNO").SetAsInteger(seat.FloorNo);
    record_.FieldByName("ROWNO").SetAsInteger(seat.RowNo);
    record_.FieldByName("SEATNO").SetAsInteger(seat.SeatNo);
    record_.FieldByName("ISADDITION").SetAsBoolean(seat.IsAddition);
    record_.FieldByName("DESCRIPTION").SetAsString(seat.Description);
    record_.Post();
    record_.MergeChangeLog();

    section_->clear();
    for (const auto& [code, name] : choices_.Sections)
        section_->addItem(QString::fromStdString(name), QString::fromStdString(code));
    section_->setCurrentIndex(section_->findData(QString::fromStdString(sectionCode)));
    floor_->clear();
    for (const auto& floor : choices_.Floors)
        floor_->addItem(QString::fromStdString(floor.Name), floor.FloorNo);
    SelectNumber(*floor_, seat.FloorNo, "楼");
    FillRows();
    SelectNumber(*row_, seat.RowNo, "排");
    seat_->setValue(std::clamp<int>(seat.SeatNo, 1, KavMaxSeatNo));
    addition_->setChecked(seat.IsAddition);
    description_->setText(QString::fromStdString(seat.Description));
    loading_ = false;
    UpdateOk();
}

void TUISeatEditorShow::FillRows() {
    const QVariant current = row_->currentData();
    const QSignalBlocker blocker(row_);
    row_->clear();
    const int floorNo = floor_->currentData().toInt();
    for (const auto& floor : choices_.Floors)
        if (floor.FloorNo == floorNo)
            for (const auto& [number, name] : floor.Rows)
                row_->addItem(QString::fromStdString(name), number);
    row_->setCurrentIndex(current.isValid() ? row_->findData(current) : -1);
    if (!loading_)
        Store("ROWNO", row_->currentIndex() < 0 ? FieldValue()
                                                : FieldValue(std::int64_t{row_->currentData().toInt()}));
}

void TUISeatEditorShow::Store(const char* field, const FieldValue& value) {
    if (loading_) return;
    if (record_.State() == TDataSetState::dsBrowse) record_.Edit();
    record_.FieldByName(field).SetValue(value);
    UpdateOk();
}

void TUISeatEditorShow::UpdateOk() {
    ok_->setEnabled(newSeat_ || record_.State() == TDataSetState::dsEdit);
}

void TUISeatEditorShow::accept() {
    if (!CheckRequiredData(record_)) return;
    if (record_.State() != TDataSetState::dsBrowse) record_.Post();
    QDialog::accept();
}

TKavSeatIdentity TUISeatEditorShow::Identity() {
    TKavSeatIdentity identity;
    TClientDataSet& record = record_;
    identity.FloorNo = static_cast<std::int16_t>(record.FieldByName("FLOORNO").AsInteger());
    identity.RowNo = static_cast<std::int16_t>(record.FieldByName("ROWNO").AsInteger());
    identity.SeatNo = static_cast<std::int16_t>(record.FieldByName("SEATNO").AsInteger());
    identity.IsAddition = record.FieldByName("ISADDITION").AsBoolean();
    identity.Description = record.FieldByName("DESCRIPTION").AsString();
    identity.SectionName = TextOf(*section_);
    identity.FloorName = TextOf(*floor_);
    identity.RowName = TextOf(*row_);
    return identity;
}

std::optional<TKavSeatIdentity> TUISeatEditorShow::Ask(QWidget* parent, const TKavSeatEditorChoices& choices,
                                                       const std::string& sectionCode,
                                                       const TKavSeatIdentity& seat, bool newSeat) {
    TUISeatEditorShow dialog(parent);
    dialog.Load(choices, sectionCode, seat, newSeat);
    if (ExecModal(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.Identity();
}

} // namespace kav
