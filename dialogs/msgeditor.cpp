#include "dialogs/msgeditor.h"

#include "dialogs/dialogresponder.h"
#include "dialogs/kavmsgdlg.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kav {

TfmMsgEditor::TfmMsgEditor(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Msg Editor"));
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    connect(ok, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo, 1);
    layout->addLayout(buttons);
    resize(400, 260);
}

bool TfmMsgEditor::Edit(TMessageDlg& dialog) {
    Memo->setPlainText(QString::fromStdString(dialog.Msg()));
    DialogRecord record;
    record.type = "TfmMsgEditor";
    record.caption = windowTitle().toStdString();
    record.text = dialog.Msg();
    record.buttons = {{"OK", "&OK", mrOk}, {"Cancel", "Cancel", mrCancel}};
    record.escapeResult = mrCancel;
    if (const std::optional<DialogAnswer> answer = AskDialogResponder(record))
        return answer->modalResult == mrOk;
    if (exec() != mrOk) return false;
    dialog.SetMsg(Memo->toPlainText().toStdString());
    return true;
}

} // namespace kav
