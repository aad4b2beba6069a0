#include "salecore/uiclientinfoshowbyclientticket.h"

#include "dialogs/kavdialog.h"
#include "platform/widgets/qtext.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kav {

namespace {

constexpr const char* kPromptCaption = "提示信息";
constexpr const char* kSaveFailed = "客户信息保存失败,请重新操作!";

std::string S(const QString& text) {
    return text.trimmed().toStdString();
}

// The combo box entry whose data is `code`, or none.
void SelectCode(QComboBox* combo, const std::string& code) {
    combo->setCurrentIndex(combo->findData(Q(code)));
}

std::string SelectedCode(const QComboBox* combo) {
    return combo->currentIndex() < 0 ? std::string() : S(combo->currentData().toString());
}

void FillCombo(QComboBox* combo, TClientDataSet& rows, const char* code, const char* name) {
    combo->clear();
    for (rows.First(); !rows.Eof(); rows.Next())
        combo->addItem(Q(rows.FieldByName(name).AsString()), Q(rows.FieldByName(code).AsString()));
    combo->setCurrentIndex(-1);
}

QAction* AddAction(QDialog* dialog, const char* objectName, const char* caption, const QKeySequence& key,
                   QHBoxLayout* buttons) {
    auto* action = new QAction(QString::fromUtf8(caption), dialog);
    action->setObjectName(QString::fromUtf8(objectName));
    action->setShortcut(key);
    dialog->addAction(action);
    auto* button = new QPushButton(action->text(), dialog);
    button->setObjectName(QString::fromUtf8(objectName) + "Button");
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button,
                     [button, action] { button->setEnabled(action->isEnabled()); });
    buttons->addWidget(button);
    return action;
}

} // namespace

TUIClientInfoShowByClientTicket::TUIClientInfoShowByClientTicket(TClientInfoRegistration registration,
                                                                 const pelio::Variant& idTypes,
                                                                 TUpdateClientInfo update, QWidget* parent)
    : QDialog(parent), registration_(std::move(registration)), update_(std::move(update)) {
    setObjectName(QStringLiteral("UIClientInfoShowByClientTicket"));
    setWindowTitle(QStringLiteral("客户资料登记"));
    BuildDataSets(idTypes);
    BuildControls();
    UpdateActions();
}

TUIClientInfoShowByClientTicket::~TUIClientInfoShowByClientTicket() = default;

void TUIClientInfoShowByClientTicket::BuildDataSets(const pelio::Variant& idTypes) {
    struct Column {
        const char* name;
        TFieldType type;
        int size;
        bool required;
        const char* label;
    };
    static constexpr Column kColumns[] = {
        {"NAME", TFieldType::ftString, 40, true, "真实姓名"},
        {"IDENTTYPEID", TFieldType::ftSmallint, 0, true, "证件类型"},
        {"IDNUM", TFieldType::ftString, 32, true, "证件号码"},
        {"NODECODE", TFieldType::ftString, 2, false, ""},
        {"PKID", TFieldType::ftInteger, 0, true, ""},
        {"CADDRESS", TFieldType::ftString, 100, false, "居住地址"},
        {"POST", TFieldType::ftString, 8, false, "邮政编码"},
        {"SEX", TFieldType::ftString, 1, false, "性别"},
        {"TEL", TFieldType::ftString, 24, false, "联系电话"},
        {"CLIENTLEVEL", TFieldType::ftString, 1, false, "客户级别"},
        {"PRODUCTCODE", TFieldType::ftString, 8, false, ""},
        {"ORDERCODE", TFieldType::ftString, 10, false, ""},
        {"SEATCODE", TFieldType::ftInteger, 0, false, ""},
        {"USERREGTYPE", TFieldType::ftString, 1, false, ""},
    };
    for (const Column& c : kColumns)
        cdsClientInfoBrief.AddFieldDef(c.name, c.type, c.size, c.required).displayLabel = c.label;
    cdsClientInfoBrief.CreateDataSet();

    if (idTypes.ByteArrayView().empty()) {
        cdsIDTypeBrief.AddFieldDef("IDENTTYPEID", TFieldType::ftInteger);
        cdsIDTypeBrief.AddFieldDef("IDENTTYPENAME", TFieldType::ftString, 32);
        cdsIDTypeBrief.CreateDataSet();
    } else {
        cdsIDTypeBrief.SetData(idTypes.ByteArrayView());
    }

    cdsClientLevel.AddFieldDef("ClientLevel", TFieldType::ftString, 1);
    cdsClientLevel.AddFieldDef("LevelName", TFieldType::ftString, 16);
    cdsClientLevel.CreateDataSet();
    cdsClientLevel.AppendRecord({"1", "大客户"});
    cdsClientLevel.AppendRecord({"2", "重要"});
    cdsClientLevel.AppendRecord({"3", "普通"});
}

void TUIClientInfoShowByClientTicket::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    const auto edit = [this, form](const char* objectName, const char* label, int maxLength) {
        auto* line = new QLineEdit(this);
        line->setObjectName(QString::fromUtf8(objectName));
        line->setMaxLength(maxLength);
        form->addRow(QString::fromUtf8(label), line);
        return line;
    };
    name_ = edit("edtName", "真实姓名：", 40);
    auto* sexRow = new QHBoxLayout;
    female_ = new QRadioButton(QStringLiteral("女"), this);
    female_->setObjectName(QStringLiteral("rbFemale"));
    male_ = new QRadioButton(QStringLiteral("男"), this);
    male_->setObjectName(QStringLiteral("rbMale"));
    auto* sexes = new QButtonGroup(this);
    sexes->addButton(female_);
    sexes->addButton(male_);
    sexRow->addWidget(female_);
    sexRow->addWidget(male_);
    sexRow->addStretch();
    form->addRow(QStringLiteral("性别："), sexRow);
    idType_ = new QComboBox(this);
    idType_->setObjectName(QStringLiteral("cbIDType"));
    FillCombo(idType_, cdsIDTypeBrief, "IDENTTYPEID", "IDENTTYPENAME");
    form->addRow(QStringLiteral("证件类型："), idType_);
    idNum_ = edit("edtIDNum", "证件号码：", 32);
    tel_ = edit("edtTel", "联系电话：", 24);
    post_ = edit("edtPost", "邮政编码：", 8);
    address_ = edit("edtAddress", "居住地址：", 100);
    clientLevel_ = new QComboBox(this);
    clientLevel_->setObjectName(QStringLiteral("cbClientLevel"));
    FillCombo(clientLevel_, cdsClientLevel, "ClientLevel", "LevelName");
    form->addRow(QStringLiteral("客户级别："), clientLevel_);

    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    prior_ = AddAction(this, "actPrior", "上一位", QKeySequence(Qt::Key_PageUp), buttons);
    next_ = AddAction(this, "actNext", "下一位", QKeySequence(Qt::Key_PageDown), buttons);
    buttons->addStretch();
    save_ = AddAction(this, "actSave", "保存", QKeySequence::Save, buttons);
    cancel_ = AddAction(this, "actCancel", "取消", QKeySequence(), buttons);
    connect(prior_, &QAction::triggered, this, &TUIClientInfoShowByClientTicket::Prior);
    connect(next_, &QAction::triggered, this, &TUIClientInfoShowByClientTicket::Next);
    connect(save_, &QAction::triggered, this, &TUIClientInfoShowByClientTicket::Save);
    connect(cancel_, &QAction::triggered, this, &QDialog::reject);
    // Enter in the last field saves, as the seller works down the form.
    connect(address_, &QLineEdit::returnPressed, save_, &QAction::trigger);
}

void TUIClientInfoShowByClientTicket::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    name_->setFocus();
}

void TUIClientInfoShowByClientTicket::AppendCustomer(const std::map<std::string, std::string>& values) {
    TClientDataSet& rows = cdsClientInfoBrief;
    const int count = rows.RecordCount();
    rows.Append();
    rows.FieldByName("NODECODE").SetAsString(registration_.nodeCode);
    rows.FieldByName("PKID").SetAsInteger(count + 1);
    rows.FieldByName("ORDERCODE").SetAsString(registration_.orderCode);
    rows.FieldByName("PRODUCTCODE").SetAsString(registration_.productCode);
    rows.FieldByName("USERREGTYPE").SetAsString(registration_.userRegType);
    const auto seat = static_cast<std::size_t>(registered_);
    if (registration_.userRegType == "S" && seat < registration_.seatCodes.size())
        rows.FieldByName("SEATCODE").SetAsString(registration_.seatCodes[seat]);
    for (const auto& [column, value] : values)
        if (!value.empty()) rows.FieldByName(column).SetAsString(value);
    ShowRow();
    UpdateActions();
}

void TUIClientInfoShowByClientTicket::ShowRow() {
    TClientDataSet& rows = cdsClientInfoBrief;
    const auto text = [&rows](const char* column) { return Q(rows.FieldByName(column).AsString()); };
    name_->setText(text("NAME"));
    tel_->setText(text("TEL"));
    post_->setText(text("POST"));
    idNum_->setText(text("IDNUM"));
    address_->setText(text("CADDRESS"));
    const std::string sex = rows.FieldByName("SEX").AsString();
    female_->setAutoExclusive(false);
    male_->setAutoExclusive(false);
    female_->setChecked(sex == "F");
    male_->setChecked(sex == "M");
    female_->setAutoExclusive(true);
    male_->setAutoExclusive(true);
    SelectCode(clientLevel_, rows.FieldByName("CLIENTLEVEL").AsString());
    SelectCode(idType_, rows.FieldByName("IDENTTYPEID").AsString());
}

void TUIClientInfoShowByClientTicket::StoreRow() {
    TClientDataSet& rows = cdsClientInfoBrief;
    if (rows.State() == TDataSetState::dsBrowse) rows.Edit();
    const auto set = [&rows](const char* column, const std::string& value) {
        if (value.empty())
            rows.FieldByName(column).Clear();
        else
            rows.FieldByName(column).SetAsString(value);
    };
    set("NAME", S(name_->text()));
    set("TEL", S(tel_->text()));
    set("POST", S(post_->text()));
    set("IDNUM", S(idNum_->text()));
    set("CADDRESS", S(address_->text()));
    set("SEX", female_->isChecked() ? "F" : male_->isChecked() ? "M" : "");
    set("CLIENTLEVEL", SelectedCode(clientLevel_));
    set("IDENTTYPEID", SelectedCode(idType_));
    rows.Post();
}

std::string TUIClientInfoShowByClientTicket::MissingRequired() const {
    const std::pair<std::string, const char*> values[] = {
        {S(name_->text()), "真实姓名"}, {SelectedCode(idType_), "证件类型"}, {S(idNum_->text()), "证件号码"}};
    for (const auto& [value, label] : values)
        if (value.empty()) return label;
    return {};
}

bool TUIClientInfoShowByClientTicket::KeepRow() {
    if (const std::string missing = MissingRequired(); !missing.empty()) {
        ShowPromptMessage("\"" + missing + "\"不能为空!", kPromptCaption);
        return false;
    }
    try {
        StoreRow();
    } catch (const std::exception&) {
        ShowPromptMessage(kSaveFailed, kPromptCaption);
        return false;
    }
    return true;
}

void TUIClientInfoShowByClientTicket::Save() {
    if (!KeepRow()) return;
    if (registration_.userRegType == "S") {
        ++registered_;
        if (registered_ < static_cast<int>(registration_.seatCodes.size())) {
            CaptionForSeats();
            AppendCustomer();
            name_->setFocus();
            return;
        }
    }
    if (cdsClientInfoBrief.ChangeCount() > 0) AskToSend();
}

void TUIClientInfoShowByClientTicket::CaptionForSeats() {
    setWindowTitle(Q("客户资料登记---共 " + std::to_string(registration_.seatCodes.size()) +
                     " 位，已经登记 " + std::to_string(registered_) + " 位"));
}

void TUIClientInfoShowByClientTicket::AskToSend() {
    const char* question = registration_.editStyle
                               ? "客户信息修改完毕，您确定要保存这些客户信息吗？修改点击'否'"
                               : "客户信息添加完毕，您确定要保存这些客户信息吗？修改点击'否'";
    if (ShowConfirmMessage(question, "请确认") != 6) {
        registration_.editStyle = true;
        UpdateActions();
        return;
    }
    if (update_(registration_.context, pelio::Variant::ByteArray(cdsClientInfoBrief.Delta()))) {
        cdsClientInfoBrief.MergeChangeLog();
        accept();
        return;
    }
    ShowPromptMessage(kSaveFailed, kPromptCaption);
}

void TUIClientInfoShowByClientTicket::Prior() {
    if (!KeepRow()) return;
    cdsClientInfoBrief.Prior();
    ShowRow();
    UpdateActions();
}

void TUIClientInfoShowByClientTicket::Next() {
    if (!KeepRow()) return;
    cdsClientInfoBrief.Next();
    ShowRow();
    UpdateActions();
}

void TUIClientInfoShowByClientTicket::UpdateActions() {
    // Moving between persons is for correcting them, once they were all entered.
    const TClientDataSet& rows = cdsClientInfoBrief;
    const bool correcting = registration_.editStyle && rows.State() == TDataSetState::dsBrowse;
    prior_->setEnabled(correcting && rows.RecNo() > 1);
    next_->setEnabled(correcting && rows.RecNo() < rows.RecordCount());
}

} // namespace kav
