#include "seatmap/uisectiontexteditorshow.h"

#include "platform/widgets/modaldialog.h"
#include "seatmap/seatdialogparts.h"
#include "seatmap/sectiontext.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSpinBox>

namespace kav {

TUISectionTextEditorShow::TUISectionTextEditorShow(QWidget* parent)
    : QDialog(parent), caption_(new QLineEdit), face_(new QFontComboBox), points_(new QSpinBox),
      bold_(new QCheckBox(QStringLiteral("粗体"))), italic_(new QCheckBox(QStringLiteral("斜体"))),
      underline_(new QCheckBox(QStringLiteral("下划线"))),
      inverse_(new QCheckBox(QStringLiteral("黑底白字"))) {
    setObjectName(QStringLiteral("TUISectionTextEditorShow"));
    setWindowTitle(QStringLiteral("文字元素"));
    caption_->setObjectName(QStringLiteral("Caption"));
    caption_->setMaxLength(64);
    face_->setObjectName(QStringLiteral("FontName"));
    points_->setObjectName(QStringLiteral("FontPoints"));
    points_->setRange(1, 200);
    points_->setSuffix(QStringLiteral(" 磅"));
    bold_->setObjectName(QStringLiteral("Bold"));
    italic_->setObjectName(QStringLiteral("Italic"));
    underline_->setObjectName(QStringLiteral("Underline"));
    inverse_->setObjectName(QStringLiteral("InverseColor"));

    auto* styles = new QHBoxLayout;
    styles->addWidget(bold_);
    styles->addWidget(italic_);
    styles->addWidget(underline_);
    styles->addStretch();
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("文字:"), caption_);
    form->addRow(QStringLiteral("字体:"), face_);
    form->addRow(QStringLiteral("字号:"), points_);
    form->addRow(QStringLiteral("字形:"), styles);
    form->addRow(QString(), inverse_);
    form->addRow(MakeDialogButtons(*this));
}

bool TUISectionTextEditorShow::Edit(TKavSectionText& element) {
    const TElementFont& font = element.ElementFont();
    caption_->setText(QString::fromStdString(element.Caption()));
    face_->setCurrentFont(font.At(KAV_CUSTOM_ELEMENT_BASE_DPI));
    points_->setValue(font.PointsOrDefault());
    bold_->setChecked(font.bold);
    italic_->setChecked(font.italic);
    underline_->setChecked(font.underline);
    inverse_->setChecked(element.InverseColor());
    if (ExecModal(*this) != QDialog::Accepted) return false;
    TElementFont edited;
    edited.name = face_->currentFont().family().toStdString();
    edited.points = points_->value();
    edited.bold = bold_->isChecked();
    edited.italic = italic_->isChecked();
    edited.underline = underline_->isChecked();
    element.SetCaption(caption_->text().toStdString());
    element.SetElementFont(edited);
    element.SetInverseColor(inverse_->isChecked());
    return true;
}

} // namespace kav
