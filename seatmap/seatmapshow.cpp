#include "seatmap/seatmapshow.h"

#include "platform/core/textcodec.h"
#include "seatmap/fontsubstitution.h"
#include "seatmap/seatmapconfig.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace kav {
namespace {

const QString kNumberFont = QStringLiteral("Arial Narrow");
const QString kStageText = QStringLiteral("舞        台");
const QString kSectionPrefix = QStringLiteral("您所在的分区: ");
constexpr int kStageFontPointSize = 12;
constexpr int kZoomStep = 100;

// A font whose line height (ascent plus descent) is `pixels`, the way font heights are given here.
QFont FontOfHeight(QFont font, int pixels) {
    pixels = std::max(1, pixels);
    font.setPixelSize(pixels);
    const int lineHeight = QFontMetrics(font).height();
    if (lineHeight > pixels) font.setPixelSize(std::max(1, pixels * pixels / lineHeight));
    return font;
}

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

TKavSeatMapShow::TKavSeatMapShow(QWidget* parent)
    : QWidget(parent), config_(&_SeatMapConfig()), popupMenu_(new QMenu(this)) {
    InstallSeatMapFontSubstitutes();
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(10);
    setFont(font);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("座位图"));

    popupMenu_->setObjectName(QStringLiteral("SeatMapPopupMenu"));
    connect(popupMenu_->addAction(QStringLiteral("放大")), &QAction::triggered, this,
            &TKavSeatMapShow::DoIncSeatMap);
    connect(popupMenu_->addAction(QStringLiteral("缩小")), &QAction::triggered, this,
            &TKavSeatMapShow::DoDecSeatMap);
    connect(popupMenu_->addAction(QStringLiteral("还原")), &QAction::triggered, this,
            &TKavSeatMapShow::DoRestoreSeatMap);
}

TKavSeatMapShow::~TKavSeatMapShow() = default;

void TKavSeatMapShow::SetConfig(TKavSeatMapConfig& config) {
    config_ = &config;
    update();
}

void TKavSeatMapShow::SetRowCount(int value) {
    if (grid_.SetRowCount(value)) CheckSize();
}

void TKavSeatMapShow::SetColCount(int value) {
    if (grid_.SetColCount(value)) CheckSize();
}

void TKavSeatMapShow::SetColWidth(int value) {
    if (grid_.SetColWidth(value)) CheckSize();
}

void TKavSeatMapShow::SetAutoZoom(bool value) {
    autoZoom_ = value;
    if (value) {
        autoSize_ = false;
        grid_.SetColWidth(grid_.FittingColWidth(width(), height()));
    }
    update();
}

void TKavSeatMapShow::SetAutoSize(bool value) {
    autoSize_ = value;
    if (value) {
        autoZoom_ = false;
        ResizeTo(ColWidth() * ColCount(), RowHeight() * RowCount());
    }
    update();
}

void TKavSeatMapShow::SetInDesign(bool value) {
    grid_.SetInDesign(value);
    if (!value) showIndicator_ = false;
    update();
}

void TKavSeatMapShow::SetShowIndicator(bool value) {
    showIndicator_ = value;
    update();
}

void TKavSeatMapShow::SetIndicatorLocation(int value) {
    indicatorLocation_ = value;
    update();
}

void TKavSeatMapShow::SetGridColor(TColor value) {
    gridColor_ = value;
    update();
}

void TKavSeatMapShow::SetLine5Color(TColor value) {
    line5Color_ = value;
    update();
}

void TKavSeatMapShow::SetLine10Color(TColor value) {
    line10Color_ = value;
    update();
}

void TKavSeatMapShow::SetShowRowNo(bool value) {
    showRowNo_ = value;
    update();
}

void TKavSeatMapShow::SetShowSeatNo(const std::string& value) {
    showSeatNo_ = value;
    config_->ShowSeatNo = value;
    update();
}

void TKavSeatMapShow::SetWorkState(const std::string& value) {
    workState_ = value;
    update();
}

void TKavSeatMapShow::SetSectionName(const std::string& value) {
    sectionName_ = value;
    update();
}

void TKavSeatMapShow::SetCustomStage(std::optional<QRect> cells) {
    customStage_ = cells;
    update();
}

void TKavSeatMapShow::SetEntrepreneurFlag(const std::string& value) {
    entrepreneurFlag_ = value;
    update();
}

QRect TKavSeatMapShow::CellRect(int row, int col) const {
    return grid_.CellRect(row, col).translated(Origin());
}

QRect TKavSeatMapShow::StageBox() const {
    const int cw = ColWidth();
    if (customStage_)
        return QRect(customStage_->x() * cw, customStage_->y() * RowHeight(), customStage_->width() * cw,
                     customStage_->height() * RowHeight());
    int a = 0;
    switch (indicatorLocation_) {
    case 0:
        a = 2;
        break;
    case 1:
        a = (ColCount() - 3) * cw - 1;
        break;
    case 2:
        a = ((ColCount() - 6) * cw) / 2;
        break;
    default:
        break;
    }
    const int left = a - 12 * cw;
    const int right = a + 17 * cw - 4;
    return QRect(left, 0, right - left, 2 * RowHeight() - 1);
}

QString TKavSeatMapShow::SectionCaption() const {
    return kSectionPrefix + ToQString(sectionName_);
}

// The caption's box is 10 pixels per byte of the text in the ansi code page, where a Chinese character
// takes two bytes.
QRect TKavSeatMapShow::SectionCaptionRect() const {
    const int bytes = static_cast<int>(Utf8ToAnsi(SectionCaption().toStdString()).size());
    return QRect(indicatorLocation_ == 0 ? 100 : 0, 0, 10 * bytes, 30);
}

QRect TKavSeatMapShow::ArenaRect() const {
    return StageBox().united(SectionCaptionRect()).translated(Origin());
}

void TKavSeatMapShow::ClearSelection() {
    grid_.ClearSelection();
    update();
    DoSelectionChange();
    AnnounceFocusCell();
}

void TKavSeatMapShow::RePaintCells() {
    update();
    AnnounceFocusCell();
}

void TKavSeatMapShow::ResizeTo(int width, int height) {
    if (width != this->width() || height != this->height()) resize(width, height);
}

void TKavSeatMapShow::CheckSize() {
    if (autoZoom_) grid_.SetColWidth(grid_.FittingColWidth(width(), height()));
    const int gridWidth = ColWidth() * ColCount();
    const int gridHeight = RowHeight() * RowCount();
    if (autoSize_)
        ResizeTo(gridWidth, gridHeight);
    else
        ResizeTo(std::max(width(), gridWidth), std::max(height(), gridHeight));
    update();
}

void TKavSeatMapShow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (autoZoom_) CheckSize();
}

void TKavSeatMapShow::DoIncSeatMap() {
    resize(width() + kZoomStep, height() + kZoomStep);
    move(0, 0);
}

void TKavSeatMapShow::DoDecSeatMap() {
    resize(std::max(0, width() - kZoomStep), std::max(0, height() - kZoomStep));
    move(0, 0);
}

void TKavSeatMapShow::DoRestoreSeatMap() {
    if (const QWidget* parent = parentWidget()) resize(parent->contentsRect().size());
    move(0, 0);
}

QSize TKavSeatMapShow::sizeHint() const {
    const QMargins m = contentsMargins();
    return QSize(ColWidth() * ColCount() + m.left() + m.right(),
                 RowHeight() * RowCount() + m.top() + m.bottom());
}

void TKavSeatMapShow::SelectCellInRect(int X1, int Y1, int X2, int Y2) {
    const QPoint o = Origin();
    const bool design = InDesign();
    const auto range = grid_.SelectCellInRect(X1 - o.x(), Y1 - o.y(), X2 - o.x(), Y2 - o.y(),
                                              [&](int row, int col, bool selected) {
                                                  update(CellRect(row, col));
                                                  if (!design) emit OnSelectACell(col, row, selected);
                                              });
    if (!range) return;
    update(ArenaRect());
    emit OnSelectCells(range->Col1, range->Col2, range->Row1, range->Row2);
    DoSelectionChange();
    AnnounceFocusCell();
}

void TKavSeatMapShow::DoSelectionChange() {
    emit OnSelectionChange();
}

void TKavSeatMapShow::DoMouseOverCell(int X, int Y) {
    const QPoint o = Origin();
    const int row = (Y - o.y()) / RowHeight() + 1;
    const int col = (X - o.x()) / ColWidth() + 1;
    if (row <= RowCount() && col <= ColCount()) emit OnMouseOverCell(col, row);
}

// Painting: background, the cells the region touches, the design grid, row numbers, then the stage on
// top; a rubber band in progress is drawn last.
void TKavSeatMapShow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(contentsRect(), ToQColor(MapBackground));
    painter.translate(Origin());
    DrawCells(painter, event->region().translated(-Origin()));
    if (InDesign()) DrawGrid(painter);
    if (showSeatNo_ == "1") DrawRows(painter);
    DrawArena(painter);
    if (hasFocus()) DrawFocusCell(painter);
    if (dragging_) DrawRubberBand(painter);
}

void TKavSeatMapShow::DrawFocusCell(QPainter& painter) const {
    const TKavCellPos focus = grid_.FocusCell();
    if (!grid_.InGrid(focus.Row, focus.Col)) return;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(grid_.CellRect(focus.Row, focus.Col).adjusted(0, 0, -1, -1));
    painter.restore();
}

void TKavSeatMapShow::DrawCells(QPainter& painter, const QRegion& region) const {
    painter.setFont(FontOfHeight(QFont(kNumberFont), RowHeight() - 2));
    for (const QRect& clip : region) {
        const TKavCellRange range = grid_.VisibleRange(clip);
        for (int row = range.Row1; row <= range.Row2; ++row)
            for (int col = range.Col1; col <= range.Col2; ++col)
                InnerDrawCell(painter, row, col);
    }
}

void TKavSeatMapShow::InnerDrawCell(QPainter& painter, int row, int col) const {
    const TKavCellInfo& cell = grid_.Cell(row, col);
    QRect rect = grid_.CellRect(row, col);
    std::string text;
    if (InDesign()) {
        rect.adjust(1, 1, -1, -1);
        if (cell.CellStatus != TKavCellStatus::kavcsNone)
            text = std::to_string(showRowNo_ ? cell.RowNo % 10 : cell.SeatNo);
    } else {
        rect.adjust(0, 0, -1, -1);
        if (showSeatNo_ == "1") text = std::to_string(cell.SeatNo);
    }
    // An empty place is painted as a seat in the background colour.
    if (cell.CellStatus == TKavCellStatus::kavcsNone && !cell.Selected) {
        sprites_.Draw(painter, rect, TKavCellLook{MapBackground, "F", {}}, painter.font());
        return;
    }
    const bool showMarks = entrepreneurFlag_ == "Y" || entrepreneurFlag_ == "P";
    const TKavCellLook look = config_->CellLook(
        cell.CellStatus == TKavCellStatus::kavcsLocked, cell.Selected, showMarks, entrepreneurFlag_ == "P",
        std::string_view(&cell.PriceLevel, 1), std::string_view(&cell.SeatStatus, 1),
        std::string_view(&cell.Kind, 1), std::move(text), workState_);
    sprites_.Draw(painter, rect, look, painter.font());
}

void TKavSeatMapShow::DrawGrid(QPainter& painter) const {
    const int gridRight = ColCount() * ColWidth();
    const int gridBottom = RowCount() * RowHeight();
    painter.setPen(QPen(ToQColor(gridColor_), 0, Qt::SolidLine));
    for (int row = 1; row <= RowCount(); ++row)
        painter.drawLine(0, row * RowHeight(), gridRight - 1, row * RowHeight());
    for (int col = 1; col <= ColCount(); ++col)
        painter.drawLine(col * ColWidth(), 0, col * ColWidth(), gridBottom - 1);
    if (showIndicator_) DawIndicatorLocation(painter);
}

void TKavSeatMapShow::DawIndicatorLocation(QPainter& painter) const {
    const int cw = ColWidth();
    const int gridRight = ColCount() * cw;
    const int gridBottom = RowCount() * RowHeight();
    const auto guidePen = [this](int k) {
        return QPen(ToQColor(k % 10 == 0 ? line10Color_ : line5Color_), 0);
    };
    for (int k = 5; k <= RowCount(); k += 5) {
        painter.setPen(guidePen(k));
        painter.drawLine(0, k * RowHeight(), gridRight - 1, k * RowHeight());
    }
    const int x0 = indicatorLocation_ == 0 ? 0 : indicatorLocation_ == 1 ? gridRight : (ColCount() / 2) * cw;
    const auto vertical = [&](int x) { painter.drawLine(x, 0, x, gridBottom - 1); };
    painter.setPen(QPen(ToQColor(clRed), 0));
    vertical(x0);
    const int reach = indicatorLocation_ == 0 || indicatorLocation_ == 1 ? ColCount() : ColCount() / 2;
    for (int k = 5; k <= reach; k += 5) {
        painter.setPen(guidePen(k));
        if (indicatorLocation_ != 1) vertical(x0 + k * cw);
        if (indicatorLocation_ != 0) vertical(x0 - k * cw);
    }
}

// Row numbers at both ends of every row that holds a seat, over the first column and just right of the
// last one. They are placed by the whole grid, not by the part being repainted, so that a partial
// repaint draws them where a full one does.
void TKavSeatMapShow::DrawRows(QPainter& painter) const {
    const int height = RowHeight() < 5 ? RowHeight() : RowHeight() - 2;
    painter.setFont(FontOfHeight(QFont(kNumberFont), height));
    const QColor background = ToQColor(MapBackground);
    for (int row = 1; row <= RowCount(); ++row) {
        int col = 1;
        while (col <= ColCount() && grid_.Cell(row, col).CellStatus == TKavCellStatus::kavcsNone)
            ++col;
        if (col > ColCount()) continue;
        const QString label = QString::number(grid_.Cell(row, col).RowNo);
        for (const QRect& rect : {grid_.CellRect(row, 1), grid_.CellRect(row, ColCount() + 1)}) {
            painter.fillRect(rect, background);
            painter.setPen(Qt::black);
            painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, label);
        }
    }
}

// The stage box with its caption, and the section caption beside it in the same colours.
void TKavSeatMapShow::DrawArena(QPainter& painter) const {
    const QColor stage = ToQColor(StageColor);
    const QRect box = StageBox();
    painter.fillRect(box, stage);
    QFont font = painter.font();
    font.setPointSize(kStageFontPointSize);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, kStageText);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(stage);
    painter.drawText(SectionCaptionRect(), Qt::AlignCenter | Qt::TextSingleLine, SectionCaption());
    painter.setBackgroundMode(Qt::TransparentMode);
}

// Inverting the pixels under a dashed white pen: drawing the band a second time over the same pixels
// would restore them, and the cells below are never repainted for it.
void TKavSeatMapShow::DrawRubberBand(QPainter& painter) const {
    painter.save();
    painter.resetTransform();
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.setPen(QPen(Qt::white, 2, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(dragStart_, dragCurrent_).normalized());
    painter.restore();
}

QRegion TKavSeatMapShow::RubberBandRegion() const {
    const QRect band = QRect(dragStart_, dragCurrent_).normalized();
    QRegion region(band.adjusted(-2, -2, 2, 2));
    const QRect inner = band.adjusted(2, 2, -2, -2);
    if (inner.isValid()) region -= QRegion(inner);
    return region;
}

void TKavSeatMapShow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragStart_ = dragCurrent_ = event->position().toPoint();
    dragging_ = true;
}

void TKavSeatMapShow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->buttons() & Qt::LeftButton) {
        if (dragging_) {
            const QRegion old = RubberBandRegion();
            dragCurrent_ = pos;
            update(old.united(RubberBandRegion()));
        }
        return;
    }
    DoMouseOverCell(pos.x(), pos.y());
}

void TKavSeatMapShow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    update(RubberBandRegion());
    const QPoint end = event->position().toPoint();
    SelectCellInRect(dragStart_.x(), dragStart_.y(), end.x(), end.y());
}

void TKavSeatMapShow::contextMenuEvent(QContextMenuEvent* event) {
    popupMenu_->popup(event->globalPos());
}

void TKavSeatMapShow::ClickCell(int row, int col) {
    const QPoint centre = CellRect(row, col).center();
    SelectCellInRect(centre.x(), centre.y(), centre.x(), centre.y());
}

void TKavSeatMapShow::keyPressEvent(QKeyEvent* event) {
    int dRow = 0, dCol = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        dCol = -1;
        break;
    case Qt::Key_Right:
        dCol = 1;
        break;
    case Qt::Key_Up:
        dRow = -1;
        break;
    case Qt::Key_Down:
        dRow = 1;
        break;
    case Qt::Key_Space: {
        if (!grid_.InGrid(FocusCell().Row, FocusCell().Col)) grid_.MoveFocus(0, 0);
        const TKavCellPos focus = FocusCell();
        if (grid_.InGrid(focus.Row, focus.Col)) ClickCell(focus.Row, focus.Col);
        AnnounceFocusCell();
        return;
    }
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    const TKavCellPos previous = FocusCell();
    if (!grid_.MoveFocus(dRow, dCol)) return;
    FocusMoved(previous);
    const TKavCellPos focus = FocusCell();
    if (event->modifiers() & Qt::ShiftModifier) {
        const TKavCellInfo& cell = grid_.Cell(focus.Row, focus.Col);
        if (grid_.Selectable(cell) && !cell.Selected) ClickCell(focus.Row, focus.Col);
    }
    AnnounceFocusCell();
}

void TKavSeatMapShow::SetFocusCell(int row, int col) {
    const TKavCellPos previous = FocusCell();
    if (!grid_.SetFocusCell(row, col)) return;
    FocusMoved(previous);
    AnnounceFocusCell();
}

void TKavSeatMapShow::FocusMoved(TKavCellPos previous) {
    if (grid_.InGrid(previous.Row, previous.Col)) update(CellRect(previous.Row, previous.Col));
    const TKavCellPos focus = FocusCell();
    update(CellRect(focus.Row, focus.Col));
    emit OnFocusCell(focus.Col, focus.Row);
}

void TKavSeatMapShow::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (!grid_.InGrid(FocusCell().Row, FocusCell().Col) && grid_.MoveFocus(0, 0)) FocusMoved({});
    AnnounceFocusCell();
}

void TKavSeatMapShow::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    const TKavCellPos focus = FocusCell();
    if (grid_.InGrid(focus.Row, focus.Col)) update(CellRect(focus.Row, focus.Col));
}

void TKavSeatMapShow::SetCellDescriber(TCellDescriber describer) {
    describer_ = std::move(describer);
    AnnounceFocusCell();
}

QString TKavSeatMapShow::DescribeCell(int row, int col) const {
    if (!grid_.InGrid(row, col)) return {};
    if (describer_) return describer_(row, col);
    const TKavCellInfo& cell = grid_.Cell(row, col);
    if (cell.CellStatus == TKavCellStatus::kavcsNone)
        return QStringLiteral("第%1行第%2列 无座位").arg(row).arg(col);
    QString text = QStringLiteral("%1楼 %2排 %3%4座 %5 级")
                       .arg(cell.FloorNo)
                       .arg(cell.RowNo)
                       .arg(cell.IsAddition ? QStringLiteral("加") : QString())
                       .arg(cell.SeatNo)
                       .arg(QChar::fromLatin1(cell.PriceLevel));
    if (cell.Selected) text += QStringLiteral(" 已选定");
    return text;
}

// The focus cell's description becomes the control's accessible description, announced as changed.
void TKavSeatMapShow::AnnounceFocusCell() {
    const TKavCellPos focus = FocusCell();
    const QString text = DescribeCell(focus.Row, focus.Col);
    if (text == accessibleDescription()) return;
    setAccessibleDescription(text);
    QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}

} // namespace kav
