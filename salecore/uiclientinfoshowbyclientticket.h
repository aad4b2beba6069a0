#pragma once
// TUIClientInfoShowByClientTicket ("客户资料登记"): the modal window in which the box office registers the
// customers a performance requires before an order is charged: one person for the order (registration
// type "O") or one per seat ("S", the seats in the order of the sale's seat list).
//
// Each person is one row of cdsClientInfoBrief (NAME, IDENTTYPEID and IDNUM required). "保存" (Ctrl+S)
// checks and keeps the row; with type "S" it then asks for the next seat's person until every seat has
// one. When all are there it asks to confirm and sends the rows (the dataset's changes) through the
// update function given, which is the sale core's UpdateClientInfo; the window closes with OK once the
// server registered them. "否" leaves the rows open for correction with "上一位" (PgUp) and "下一位"
// (PgDn). "取消" (Esc) closes without OK. Messages go through the dialog functions.
//
// Threading: GUI thread only.

#include "platform/dataset/clientdataset.h"
#include "rpc/variant.h"

#include <QDialog>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kav {

struct TClientInfoRegistration {
    bool editStyle = false;             // "EditStyle": the rows are corrections; else "AddStyle"
    std::string userRegType;            // "O" one person per order, "S" one per seat
    std::vector<std::string> seatCodes; // the seats to register ("S")
    std::string context;                // the session context text
    std::string nodeCode;               // the session's node, written into every row
    std::string orderCode;
    std::string productCode;
};

class TUIClientInfoShowByClientTicket final : public QDialog {
    Q_OBJECT

public:
    // Sends the registration rows (a delta packet); true when the server registered them.
    using TUpdateClientInfo = std::function<bool(const std::string& context, const pelio::Variant& rows)>;

    // `idTypes` is the identity-type list (IDENTTYPEID, IDENTTYPENAME).
    TUIClientInfoShowByClientTicket(TClientInfoRegistration registration, const pelio::Variant& idTypes,
                                    TUpdateClientInfo update, QWidget* parent = nullptr);
    ~TUIClientInfoShowByClientTicket() override;

    // Appends the row of the next person, filled with `values` (column name -> text).
    void AppendCustomer(const std::map<std::string, std::string>& values = {});

    TClientDataSet cdsClientInfoBrief;
    TClientDataSet cdsIDTypeBrief;
    TClientDataSet cdsClientLevel;

    int Registered() const { return registered_; }
    bool EditStyle() const { return registration_.editStyle; }

    // What the actions do.
    void Save();
    void Prior();
    void Next();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildDataSets(const pelio::Variant& idTypes);
    void BuildControls();
    void ShowRow();
    void StoreRow();
    // Checks the shown person and keeps it in its row; false (and said why) when it cannot.
    bool KeepRow();
    // The label of the first required value left empty, or nothing.
    std::string MissingRequired() const;
    void UpdateActions();
    void AskToSend();
    void CaptionForSeats();

    TClientInfoRegistration registration_;
    TUpdateClientInfo update_;
    int registered_ = 0;

    QLineEdit* name_ = nullptr;
    QLineEdit* tel_ = nullptr;
    QLineEdit* post_ = nullptr;
    QLineEdit* idNum_ = nullptr;
    QLineEdit* address_ = nullptr;
    QRadioButton* female_ = nullptr;
    QRadioButton* male_ = nullptr;
    QComboBox* clientLevel_ = nullptr;
    QComboBox* idType_ = nullptr;
    QAction* save_ = nullptr;
    QAction* cancel_ = nullptr;
    QAction* prior_ = nullptr;
    QAction* next_ = nullptr;
};

} // namespace kav
