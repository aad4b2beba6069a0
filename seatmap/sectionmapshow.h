#pragma once
// TKavSectionMapShow: the list of a map's sections (the section source's CNAME, keyed by
// SECTIONCODE), filling the control less a 1-pixel frame. SectionCode is the code of the section
// chosen in the list; setting it chooses that section. The map source is only held for the screens
// that place the list beside a venue map.
//
// The datasets are not owned; each must outlive the control or be unset first.
// Threading: GUI thread only.

#include <QWidget>
#include <memory>
#include <string>

class QListView;

namespace kav {

class DataSetModel;
class TClientDataSet;

class TKavSectionMapShow final : public QWidget {
    Q_OBJECT

public:
    explicit TKavSectionMapShow(QWidget* parent = nullptr);
    ~TKavSectionMapShow() override;

    TClientDataSet* MapSource() const { return map_; }
    void SetMapSource(TClientDataSet* dataSet) { map_ = dataSet; }
    TClientDataSet* SectionSource() const { return section_; }
    // Lists the dataset's sections; it must be open and have the fields SECTIONCODE and CNAME.
    void SetSectionSource(TClientDataSet* dataSet);
    bool InDesign() const { return inDesign_; }
    void SetInDesign(bool value) { inDesign_ = value; }

    // Empty when no section is chosen.
    std::string SectionCode() const;
    // Chooses the section with this code; nothing is chosen when no section has it.
    void SetSectionCode(const std::string& code);
    // The name shown for the chosen section.
    std::string SectionName() const;

    QListView& List() const { return *list_; }

signals:
    void SectionChanged(const std::string& code);
    // A section was chosen with a double click or Enter.
    void SectionActivated(const std::string& code);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string TextOfCurrent(int field) const;

    TClientDataSet* map_ = nullptr;
    TClientDataSet* section_ = nullptr;
    bool inDesign_ = false;
    int codeField_ = -1;
    int nameField_ = -1;
    QListView* list_;
    std::unique_ptr<DataSetModel> model_;
};

} // namespace kav
