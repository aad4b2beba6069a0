#pragma once
// TUISectionTextEditorShow: the modal editor of a venue map's free text ("文字元素"): its caption,
// font (face, size, bold, italic, underline) and white-on-black colours. OK writes them into the
// element; 关闭 leaves it as it was.
//
// Threading: GUI thread only.

#include <QDialog>

class QCheckBox;
class QFontComboBox;
class QLineEdit;
class QSpinBox;

namespace kav {

class TKavSectionText;

class TUISectionTextEditorShow final : public QDialog {
    Q_OBJECT

public:
    explicit TUISectionTextEditorShow(QWidget* parent = nullptr);

    // Shows the element's settings, runs modally and writes them back on OK; true on OK.
    bool Edit(TKavSectionText& element);

private:
    QLineEdit* caption_;
    QFontComboBox* face_;
    QSpinBox* points_;
    QCheckBox* bold_;
    QCheckBox* italic_;
    QCheckBox* underline_;
    QCheckBox* inverse_;
};

} // namespace kav
