#pragma once
// TSearchProductBox: finds and ticks performances for a report. It lists the node's performances (latest
// first) with check boxes and narrows the list by venue, kind of performance (product property), organiser
// (entrepreneur property), sale class and a part of the name; "全选" and "全不选" tick or clear the listed
// ones. Ticks stay when a filter hides a performance. The user and group reports show the venue filter
// only.
//
// Threading: GUI thread only. ShowData raises what the data pipe raises.

#include "host/kavcontext.h"
#include "platform/dataset/clientdataset.h"
#include "reports/common/reportinput.h"
#include "services/dbpipe/tpdbpipe_int.h"

#include <QWidget>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace kav::reports {

class TSearchProductBox final : public QWidget {
    Q_OBJECT

public:
    explicit TSearchProductBox(QWidget* parent = nullptr);

    void SetPlaceSelectionOnly(bool placeOnly);
    // Loads the performances and the filters' lists for the context's node; ticks of performances that
    // are still there are kept.
    void ShowData(ITPDBPipe& pipe, const TKavContext& context);

    // The ticked performances, in list order, with their brief table written into `brief`.
    TProductSelection Selection(TClientDataSet& brief);
    std::vector<std::string> SelectedCodes() const;
    // Ticks or clears one performance by code; false when the box does not list it.
    bool SetChecked(const std::string& productCode, bool checked);
    void SelectAll();
    void SelectNone();

    // The listed performances (after the filters): ProductName, PlaceName, HappenTime each.
    struct TListed {
        std::string productName, placeName;
        FieldValue happenTime;
    };
    std::vector<TListed> Listed();

signals:
    void SelectionChanged();

private:
    void ApplyFilters();
    void UpdateCount();
    QTreeWidgetItem* ItemOf(const std::string& productCode) const;

    TClientDataSet products_, saleClasses_;
    QComboBox* place_ = nullptr;
    QComboBox* productClass_ = nullptr;
    QComboBox* owner_ = nullptr;
    QComboBox* saleClass_ = nullptr;
    QLineEdit* name_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLabel* count_ = nullptr;
    QList<QWidget*> propertyFilters_;
};

} // namespace kav::reports
