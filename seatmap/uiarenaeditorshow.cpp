#include "seatmap/uiarenaeditorshow.h"

#include "platform/dataset/clientdataset.h"
#include "seatmap/seatdialogparts.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <charconv>
#include <vector>

namespace kav {

namespace {

constexpr int kLargestValue = 999;

std::optional<std::vector<int>> NumbersOf(const std::string& text) {
    std::vector<int> numbers;
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = text.find('|', start);
        const std::string_view part(text.data() + start,
                                    (bar == std::string::npos ? text.size() : bar) - start);
        int value = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || error != std::errc() || end != part.data() + part.size() || value < 0)
            return std::nullopt;
        numbers.push_back(value);
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    if (numbers.size() != 4) return std::nullopt;
    return numbers;
}

} // namespace

std::optional<QRect> ParseArenaXY(const std::string& text) {
    const auto numbers = NumbersOf(text);
    if (!numbers || (*numbers)[2] <= 0 || (*numbers)[3] <= 0) return std::nullopt;
    return QRect((*numbers)[1], (*numbers)[0], (*numbers)[2], (*numbers)[3]);
}

TUIArenaEditorShow::TUIArenaEditorShow(QObject* notify, TClientDataSet& section, QWidget* parent)
    : QDialog(parent), notify_(notify), section_(section) {
    setObjectName(QStringLiteral("TUIArenaEditorShow"));
    setWindowTitle(QStringLiteral("自定义舞台位置"));
    auto* form = new QFormLayout(this);
    const char* names[] = {"Top", "Left", "Length", "Width"};
    const char* captions[] = {"上 边 距:", "左 边 距:", "舞台长度:", "舞台宽度:"};
    for (std::size_t i = 0; i < edits_.size(); ++i) {
        edits_[i] = new QSpinBox;
        edits_[i]->setObjectName(QString::fromLatin1(names[i]));
        edits_[i]->setRange(0, kLargestValue);
        form->addRow(QString::fromUtf8(captions[i]), edits_[i]);
        connect(edits_[i], &QSpinBox::valueChanged, this, &TUIArenaEditorShow::WriteBack);
    }
    auto* defaults = new QPushButton(QStringLiteral("默认值"));
    defaults->setObjectName(QStringLiteral("Defaults"));
    connect(defaults, &QPushButton::clicked, this, &TUIArenaEditorShow::LoadDefaults);
    form->addRow(QString(), defaults);
    form->addRow(MakeDialogButtons(*this));
    LoadFromSection();
}

void TUIArenaEditorShow::LoadDefaults() {
    for (QSpinBox* edit : edits_)
        edit->setValue(0);
}

void TUIArenaEditorShow::LoadFromSection() {
    loading_ = true;
    changesAtOpen_ = section_.Active() ? section_.ChangeCount() : 0;
    std::optional<std::vector<int>> numbers;
    if (section_.Active() && section_.RecordCount() == 1 && section_.FindField("ARENAXY"))
        numbers = NumbersOf(section_.FieldByName("ARENAXY").AsString());
    for (std::size_t i = 0; i < edits_.size(); ++i)
        edits_[i]->setValue(numbers ? std::min((*numbers)[i], kLargestValue) : 0);
    loading_ = false;
}

std::string TUIArenaEditorShow::Text() const {
    std::string text;
    for (std::size_t i = 0; i < edits_.size(); ++i)
        text += (i > 0 ? "|" : "") + std::to_string(edits_[i]->value());
    return text;
}

void TUIArenaEditorShow::WriteBack() {
    if (loading_ || !section_.Active() || section_.RecordCount() != 1) return;
    TField& arena = section_.FieldByName("ARENAXY");
    if (arena.AsString() == Text()) return;
    section_.Edit();
    arena.SetAsString(Text());
    section_.Post();
    if (ParseArenaXY(Text()) && notify_)
        QCoreApplication::postEvent(notify_, new QEvent(KavArenaChangedEvent));
}

void TUIArenaEditorShow::reject() {
    if (section_.Active()) {
        bool undone = false;
        while (section_.ChangeCount() > changesAtOpen_ && section_.UndoLastChange())
            undone = true;
        if (undone && notify_) QCoreApplication::postEvent(notify_, new QEvent(KavArenaChangedEvent));
    }
    LoadFromSection();
    QDialog::reject();
}

} // namespace kav
