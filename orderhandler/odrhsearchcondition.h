#pragma once
// EodrSearchCondition: raised when a detail search lacks a condition the user's rights require.
// The message is the one to show; the type names the missing condition.

#include <stdexcept>
#include <string>

namespace kav::orderhandler {

enum class EodrSearchConditionType {
    ECustomerNameRequired,
    EPhoneOrCellPhoneRequired,
    EIDRequired,
    EProductRequired,
    EOrderFromRequired,
};

class EodrSearchCondition : public std::runtime_error {
public:
    EodrSearchCondition(const std::string& message, EodrSearchConditionType type)
        : std::runtime_error(message), type_(type) {}
    EodrSearchConditionType Type() const noexcept { return type_; }

private:
    EodrSearchConditionType type_;
};

} // namespace kav::orderhandler
