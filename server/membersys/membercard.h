#pragma once
// Member cards (KAV_MEMBER): checking a card's password and paying an order with a stored-value
// card (pay mode M). The password is checked against its libsodium hash and never leaves the
// server. Refusals raise pelio::EosRemoteException with a message for the seller.

#include "server/db/database.h"

#include <cstdint>
#include <string>

namespace kav::server {

inline constexpr std::string_view kCardPasswordWrongText = "会员卡密码错误！";
inline constexpr std::string_view kCardBalanceShortText = "会员卡里的余额不足！";

// True when `cardNo` is a valid card of the node and `password` its password.
bool CardPasswordMatches(Connection& connection, const std::string& node, const std::string& cardNo,
                         const std::string& password);

// The member whose stored-value card pays the order, after checking that the order belongs to a
// valid stored-value member of the node, that `cardNo` (when not empty) is that member's card and
// that `password` is its password. Reads only; call it before the accounting's transaction, since a
// password check takes a moment.
std::int64_t MemberPayingOrder(Connection& connection, const std::string& node, const std::string& orderCode,
                               const std::string& cardNo, const std::string& password);

// Inside the accounting's transaction: takes `cents` from the member's balance; raises with
// kCardBalanceShortText when the balance does not cover them (nothing is taken then).
void DebitMemberCard(Connection& connection, const std::string& node, std::int64_t memberId,
                     std::int64_t cents);

} // namespace kav::server
