#pragma once
// TUIMemberCardSwipe ("读卡"): reads a member card number. The box office's card reader types the number
// and Enter into the focused field, so the dialog is a single field that accepts on Enter; a seller can
// also type the number by hand.
//
// Threading: GUI thread only.

#include <QDialog>
#include <optional>
#include <string>

class QLineEdit;

namespace kav::orderhandler {

class TUIMemberCardSwipe final : public QDialog {
    Q_OBJECT

public:
    explicit TUIMemberCardSwipe(QWidget* parent = nullptr);

    // The number read, without surrounding blanks; empty before anything was read.
    std::string CardNo() const;

private:
    QLineEdit* cardNo_ = nullptr;
};

// Shows the dialog modally; the card number, or nullopt when the seller cancelled or read nothing.
std::optional<std::string> ReadMemberCard(QWidget* parent = nullptr);

} // namespace kav::orderhandler
