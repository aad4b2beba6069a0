#pragma once
// TfmMsgEditor: a small window for editing a message dialog's text. "&OK" gives 1, "Cancel" and Esc 2.

#include <QDialog>
#include <string>

class QPlainTextEdit;

namespace kav {

class TMessageDlg;

class TfmMsgEditor final : public QDialog {
public:
    explicit TfmMsgEditor(QWidget* parent = nullptr);

    QPlainTextEdit* Memo = nullptr;

    // Edits dialog's Msg; stores the new text and returns true when the user presses "&OK". Goes through the
    // test seam like every dialog of this library.
    bool Edit(TMessageDlg& dialog);
};

} // namespace kav
