#pragma once
// TUIMemberCardCheck ("请刷卡"): the member card check before a member card pays. A card whose member
// system says it is swiped asks for the card (the reader types its number and Enter) and its password;
// any other card asks only for the password ("请输入密码"). The password is checked by the server: the
// client never receives a card's password.
//
// Threading: GUI thread only.

#include "orderhandler/odrhmember.h"

#include <QDialog>
#include <optional>
#include <string>

class QLineEdit;

namespace kav::orderhandler {

class TUIMemberCardCheck final : public QDialog {
    Q_OBJECT

public:
    explicit TUIMemberCardCheck(bool passwordOnly, QWidget* parent = nullptr);

    std::string CardNo() const;
    std::string Password() const;

private:
    QLineEdit* cardNo_ = nullptr;
    QLineEdit* password_ = nullptr;
};

// Shows the check for the member's card (card and password when its swipe flag is "true", else the
// password only) and asks the server. The password typed when card and password are right; nullopt
// when the seller cancelled, the card is not the member's ("卡号不正确"), the password is wrong
// ("密码不正确") or the server could not be asked (its message); each told in an error box.
std::optional<std::string> CheckMemberCard(QWidget* parent, TCAMemberSys& memberSys, const std::string& context,
                                           const TOrderMemberInfoItem& member);

} // namespace kav::orderhandler
