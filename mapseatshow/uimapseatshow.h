#pragma once
// TUIMapSeatShow: the seat layout window ("座位划定") of one section of a venue map for one performance.
// Staff draw seats into the section's grid, number them, give them price levels and kinds (a click on
// a legend row), move, copy and delete them, undo and redo, place a custom stage, and save; "生成座位图"
// writes the section as a PNG or PDF picture. The window has its own data module (cdmapseatshow.h).
//
// Opening: SetMapCode, SetProductCode (loads the prices), SetSectionName, then SetSectionCode (loads
// the section and its seats). The session context arrives through the window's TKavCSnapIn.
//
// Keys: Ctrl+S save, F5 reload, F2 edit the seat, Delete delete, Ctrl+M move, Ctrl+D copy, Esc clear the
// selection, Ctrl+Z undo, Ctrl+Y redo. Reloading and closing ask before unsaved work is dropped.
//
// Remote failures are shown as error messages; the work stays for the next try.
// Threading: GUI thread only.

#include "mapseatshow/cdmapseatshow.h"

#include <QWidget>
#include <memory>
#include <string>

class QAction;
class QLabel;

namespace kav {

class TActionUpdater;
class TKavCSnapIn;
class TKavSeatMapCompositeShow;

class TUIMapSeatShow final : public QWidget {
    Q_OBJECT

public:
    // `client` carries every remote call and must outlive the window; the shared connection by default.
    explicit TUIMapSeatShow(QWidget* parent = nullptr);
    TUIMapSeatShow(pelio::TPelioClient& client, QWidget* parent = nullptr);
    ~TUIMapSeatShow() override;

    void SetMapCode(const std::string& code);
    void SetProductCode(const std::string& code);
    void SetSectionName(const std::string& name);
    void SetSectionCode(const std::string& code);

    const std::string& MapCode() const { return data_->MapCode; }
    const std::string& ProductCode() const { return data_->ProductCode; }
    const std::string& SectionCode() const { return data_->SectionCode; }

    TCDMapSeatShow& Data() const { return *data_; }
    TKavSeatMapCompositeShow& Map() const { return *map_; }
    TKavCSnapIn& SnapIn() const { return *snapIn_; }
    // Whether the layout has changes that were not saved.
    bool Modified() const;

    // The commands behind the actions, for the tests and the menu alike; each shows its own errors.
    bool Save();
    void Refresh();
    void ExportPicture();
    void EditStage();

    QAction* actSave() const { return save_; }
    QAction* actRefresh() const { return refresh_; }
    QAction* actEdit() const { return edit_; }
    QAction* actDelete() const { return delete_; }
    QAction* actMove() const { return move_; }
    QAction* actCopy() const { return copy_; }
    QAction* actClear() const { return clear_; }
    QAction* actShowNo() const { return showNo_; }
    QAction* actDesign() const { return design_; }
    QAction* actselfarena() const { return arena_; }
    QAction* actSeatMapToPic() const { return picture_; }
    QAction* actUndo() const { return undo_; }
    QAction* actRedo() const { return redo_; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* AddAction(const char* name, const QString& caption, const QKeySequence& key);
    void BuildTools();
    void ShowStage();
    void ShowElapsed(qint64 milliseconds);
    void LoadSeats();

    std::unique_ptr<TCDMapSeatShow> data_;
    TKavCSnapIn* snapIn_;
    TKavSeatMapCompositeShow* map_;
    TActionUpdater* updater_;
    QWidget* tools_;
    QAction *save_, *refresh_, *edit_, *delete_, *move_, *copy_, *clear_, *showNo_, *design_, *arena_,
        *picture_, *undo_, *redo_;
};

} // namespace kav
