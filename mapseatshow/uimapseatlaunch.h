#pragma once
// TUIMapSeatLaunch: "座位划定", where staff choose what to lay out before the seat layout window opens:
// a performance of the node that has a seat map (newest first), then one of its sections (the section
// list). OK, Enter or a double click on the section ends it.
//
// The performances come through the data pipe, the sections from the map section service, both over
// the client given, which must outlive the dialog. Threading: GUI thread only.

#include "platform/dataset/clientdataset.h"
#include "rpc/pelioclient.h"

#include <QDialog>
#include <memory>
#include <optional>
#include <string>

class QListView;
class QPushButton;

namespace kav {

class DataSetModel;
class TKavSectionMapShow;

// The statement listing the node's performances that have a seat map.
std::string MapSeatProductsSQL(const std::string& nodeCode);

struct TMapSeatChoice {
    std::string ProductCode, ProductName, MapCode, SectionCode, SectionName;
};

class TUIMapSeatLaunch final : public QDialog {
    Q_OBJECT

public:
    TUIMapSeatLaunch(pelio::TPelioClient& client, const std::string& context, QWidget* parent = nullptr);
    ~TUIMapSeatLaunch() override;

    // Reads the performances; raises what the pipe raises.
    void LoadProducts();
    // Chooses the performance (reading its map's sections) and the section; unknown codes choose nothing.
    void ChooseProduct(const std::string& productCode);
    void ChooseSection(const std::string& sectionCode);
    // The chosen performance and section; none until both are chosen.
    std::optional<TMapSeatChoice> Choice();

    TClientDataSet& Products() { return products_; }
    TClientDataSet& Sections() { return sections_; }

    // Runs the dialog; the choice on OK.
    static std::optional<TMapSeatChoice> Ask(pelio::TPelioClient& client, const std::string& context,
                                             QWidget* parent);

private:
    void ProductChanged();

    pelio::TPelioClient& client_;
    std::string context_;
    TClientDataSet products_, sections_;
    std::unique_ptr<DataSetModel> productModel_;
    QListView* productList_;
    TKavSectionMapShow* sectionList_;
    QPushButton* ok_;
    std::string loadedMap_;
};

} // namespace kav
