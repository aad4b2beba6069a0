#pragma once
// TUISeatEditorShow: "座位属性", the identity of one seat: its section, floor and row chosen from the
// section's lists, its seat number (1..20000), whether it is an added seat ("(*)加座") and its
// description. The inputs live in a one-record table whose required fields must be filled before OK
// closes; OK is offered once something was changed, or at once for a cell that holds no seat yet.
// A floor or row number the lists do not name is offered as "N楼" / "N排", so every seat can be shown.
// Threading: GUI thread only.

#include "platform/dataset/clientdataset.h"
#include "seatmap/seatediting.h"

#include <QDialog>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace kav {

class TUISeatEditorShow final : public QDialog {
    Q_OBJECT

public:
    explicit TUISeatEditorShow(QWidget* parent = nullptr);

    // Fills the lists and the record: the section's code and the seat as it is (a cell without a seat
    // offers its own values and `newSeat`).
    void Load(const TKavSeatEditorChoices& choices, const std::string& sectionCode,
              const TKavSeatIdentity& seat, bool newSeat);
    // The identity as entered, with the names the lists show.
    TKavSeatIdentity Identity();
    TClientDataSet& Record() { return record_; }

    void accept() override;

    // Load, run modally; the identity on OK, else none.
    static std::optional<TKavSeatIdentity> Ask(QWidget* parent, const TKavSeatEditorChoices& choices,
                                               const std::string& sectionCode, const TKavSeatIdentity& seat,
                                               bool newSeat);

private:
    void FillRows();
    void Changed();
    void Store(const char* field, const FieldValue& value);
    void UpdateOk();

    TClientDataSet record_;
    TKavSeatEditorChoices choices_;
    bool newSeat_ = false;
    bool loading_ = false;
    QComboBox* section_;
    QComboBox* floor_;
    QComboBox* row_;
    QSpinBox* seat_;
    QCheckBox* addition_;
    QLineEdit* description_;
    QPushButton* ok_;
};

} // namespace kav
