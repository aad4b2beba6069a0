#pragma once
// TUIModifyCustomerInfo ("修改顾客信息"): edits the customer details of one order and writes them back
// through the look-up provider (two requests: the customer row, then the order's invoice head and
// shipping way). On success the order record is updated in memory as well.
//
// "保存" is enabled only while something differs from the record. A shipping way the list does not
// offer is shown and kept as it is. Each field takes at most as many characters as its column holds.
// For a partner's web sale (sale class WEBDM) the customer's name, phones, address and certificate
// arrive masked: they are shown read-only and never written back; the comment, invoice head and
// shipping way remain editable.
//
// Threading: GUI thread only.

#include "orderhandler/odrhdataprovider.h"
#include "orderhandler/odrhrecords.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kav::orderhandler {

class TUIModifyCustomerInfo final : public QDialog {
    Q_OBJECT

public:
    // `order` and `provider` must outlive the dialog.
    TUIModifyCustomerInfo(TodrHOrderInfoRecord& order, TodrHDataProvider& provider, QWidget* parent = nullptr);

    // What "保存" does: writes, updates the record and closes with Accepted; on failure the error is shown
    // and the dialog stays open.
    void SaveModifiedCustomerInfo();
    // Whether a control differs from the record.
    bool Modified() const;
    TCustomerClientInfo CollectInfo() const;

private:
    void FillCombos();
    void CertificateChanged(int index);
    void UpdateSave();

    TodrHOrderInfoRecord& order_;
    TodrHDataProvider& provider_;
    bool masked_;
    QLineEdit* name_ = nullptr;
    QComboBox* certificateType_ = nullptr;
    QLineEdit* identityNumber_ = nullptr;
    QLineEdit* telephone_ = nullptr;
    QLineEdit* cellPhone_ = nullptr;
    QComboBox* shippingWay_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLineEdit* invoiceHead_ = nullptr;
    QLineEdit* comment_ = nullptr;
    QPushButton* save_ = nullptr;
};

// Creates the dialog for the order, shows it modally and frees it; true when the changes were saved.
bool ShowModifyCustomerInfoDialog(TodrHOrderInfoRecord& order, TodrHDataProvider& provider,
                                  QWidget* parent = nullptr);

} // namespace kav::orderhandler
