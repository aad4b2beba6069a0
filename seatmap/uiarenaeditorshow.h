#pragma once
// TUIArenaEditorShow: "自定义舞台位置", the custom stage of a section: its top and left margin and its
// length and width, in cells. The section data's ARENAXY holds them as "top|left|len|width". Every
// change is written into the section record at once and, while length and width are both set, an
// event of type KavArenaChangedEvent is posted to the window to notify, which redraws the stage.
// "确定(&O)" keeps the values; "关闭" puts back what the section had when the dialog opened (and
// notifies again), so closing without a change never moves the stage.
//
// The section dataset is not owned and must outlive the dialog. Threading: GUI thread only.

#include <QDialog>
#include <QEvent>
#include <QRect>
#include <array>
#include <optional>
#include <string>

class QSpinBox;

namespace kav {

class TClientDataSet;

inline const QEvent::Type KavArenaChangedEvent = static_cast<QEvent::Type>(QEvent::User + 101);

// The stage of an ARENAXY text in cells (x: left, y: top, width: length, height: width); none unless
// the text is four whole numbers joined by "|" with length and width above 0.
std::optional<QRect> ParseArenaXY(const std::string& text);

class TUIArenaEditorShow final : public QDialog {
    Q_OBJECT

public:
    // `notify` receives KavArenaChangedEvent; it may be null.
    TUIArenaEditorShow(QObject* notify, TClientDataSet& section, QWidget* parent = nullptr);

    // Reads the section's stage into the edits; the defaults (all 0) unless the section data holds
    // exactly one record with a well-formed ARENAXY.
    void LoadFromSection();
    // The four values as ARENAXY text.
    std::string Text() const;

    void reject() override;

private:
    void WriteBack();
    void LoadDefaults();

    QObject* notify_;
    TClientDataSet& section_;
    std::array<QSpinBox*, 4> edits_;
    int changesAtOpen_ = 0;
    bool loading_ = false;
};

} // namespace kav
