#pragma once
// TOrderSearchPanel: the search panel of the order window. Two roll-out groups, "顾客信息" (customer)
// and "订单信息" (order), holding the fields of the detail search and the two fields of the exact search
// (order code and order password). The panel knows its controls' rules (which pickers a "无限制" range
// disables, what a range starts from when it is switched to "自定义") and turns its values into the
// input of a detail search; the window decides when to search.
//
// Keys: Enter in the order code, password or comment field asks for the exact search, in the other
// text fields for the detail search; Down in the exact-search fields moves to the results. The order
// status and source combos change only with the Up and Down arrows.
//
// Threading: GUI thread only.

#include "host/membersys.h"
#include "orderhandler/odrhsearchinput.h"
#include "orderhandler/odrhsettings.h"
#include "orderhandler/odrhtypes.h"

#include <QWidget>
#include <optional>
#include <vector>

class QAbstractButton;
class QAction;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QTimeEdit;

namespace kav::orderhandler {

class TOrderSearchPanel final : public QWidget {
    Q_OBJECT

public:
    explicit TOrderSearchPanel(QWidget* parent = nullptr);

    // What the panel offers, read when the window is shown.
    struct TChoices {
        TOrderFromTypeInfoArr sources; // the sources the user may view
        std::vector<TMemberCodeName> certificateTypes;
        std::vector<TMemberCodeName> customerTypes;
        bool failDateEnabled = false; // the site switch ORDER_VALID_DAY
        TOrderTimePeriodSetting createTime;
    };
    // Puts every control into its initial state for these choices and clears the texts.
    void Initialise(const TChoices& choices);
    // Applies a stored create-time setting to the create-time controls.
    void ApplyCreateTimeSetting(const TOrderTimePeriodSetting& setting);
    bool CreateTimeUnlimited() const;

    // The buttons beside the fields run these actions.
    void SetActions(QAction* searchProduct, QAction* resetProduct, QAction* readCard);

    TDetailSearchInput DetailInput() const;
    std::string OrderCode() const;
    std::string OrderPassword() const;
    // Selects the whole text of the code and password fields and focuses the one in use.
    void SelectExactFields();
    void FocusOrderCode();
    // Empties every text field of both searches.
    void ClearTexts();

    void SetSelectedProducts(const TSelectedProducts& products);
    void ResetProduct();
    bool HasProductNames() const;
    bool ProductCustom() const;
    void SetMemberCardNo(const std::string& cardNo);

signals:
    void ExactSearchRequested();
    void DetailSearchRequested();
    void ResultsRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Range {
        QComboBox* kind = nullptr;
        QDateEdit* fromDate = nullptr;
        QTimeEdit* fromTime = nullptr; // none for the expiry dates
        QDateEdit* toDate = nullptr;
        QTimeEdit* toTime = nullptr;
    };
    QWidget* BuildCustomerGroup();
    QWidget* BuildOrderGroup();
    Range MakeRange(const char* kindName, const char* name, bool withTimes, QWidget* parent);
    void SetRangeUnlimited(const Range& range, bool unlimited);
    void CreateTimeKindChanged(int index);
    void ProductKindChanged(int index);
    std::optional<TTimeRange> RangeValue(const Range& range) const;

    TOrderTimePeriodSetting createTimeSetting_;
    std::string productCodes_;

    QComboBox* identityType_ = nullptr;
    QLineEdit* customerName_ = nullptr;
    QLineEdit* phone_ = nullptr;
    QLineEdit* cellPhone_ = nullptr;
    QLineEdit* identityNumber_ = nullptr;
    QComboBox* customerType_ = nullptr;
    QLineEdit* memberCardNo_ = nullptr;
    QLineEdit* email_ = nullptr;
    Range createTime_;
    QComboBox* orderStatus_ = nullptr;
    QComboBox* productKind_ = nullptr;
    QLineEdit* productNames_ = nullptr;
    QComboBox* orderFrom_ = nullptr;
    Range failDate_;
    QLabel* failDateLabel_ = nullptr;
    Range handlerTime_;
    QLineEdit* code_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLineEdit* comment_ = nullptr;
    QAbstractButton* searchProduct_ = nullptr;
    QAbstractButton* resetProduct_ = nullptr;
    QAbstractButton* readCard_ = nullptr;
};

} // namespace kav::orderhandler
