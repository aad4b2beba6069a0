#include "mapseatshow/uimapseatshow.h"

#include "dialogs/guardedcall.h"
#include "dialogs/kavdialog.h"
#include "dialogs/msgdlgtypes.h"
#include "host/orb.h"
#include "host/snapin/kavcsnapin.h"
#include "mapseatshow/seatmappicture.h"
#include "platform/widgets/actionupdater.h"
#include "platform/widgets/filedialog.h"
#include "platform/widgets/hourglass.h"
#include "platform/widgets/modaldialog.h"
#include "seatmap/seatmapcomposite.h"
#include "seatmap/uiarenaeditorshow.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace kav {

namespace {

const QString kCaption = QStringLiteral("座位划定");
const QString kSectionCaption = QStringLiteral("分区编辑－座位编辑: ");

} // namespace

TUIMapSeatShow::TUIMapSeatShow(QWidget* parent) : TUIMapSeatShow(ORB(), parent) {}

TUIMapSeatShow::TUIMapSeatShow(pelio::TPelioClient& client, QWidget* parent)
    : QWidget(parent), data_(std::make_unique<TCDMapSeatShow>(client)), snapIn_(new TKavCSnapIn(this)),
      map_(new TKavSeatMapCompositeShow), updater_(new TActionUpdater(this)), tools_(new QWidget) {
    setObjectName(QStringLiteral("TUIMapSeatShow"));
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint);
    connect(snapIn_, &TKavCSnapIn::ContextChanged, this,
            [this](const std::string& text) { data_->SetContext(text); });

    map_->SetSectionSource(&data_->cdsSection());
    map_->SetPriceSource(&data_->cdsPrice());
    map_->SetSeatSource(&data_->cdsSeat());
    // Seats held by an order are shown but cannot be picked, so the designer never moves a sold seat.
    map_->SetFilter("STATUS = 'F'");
    map_->SetInDesign(true);
    map_->SetShowRowNumber(false);
    map_->SetOnNewSeatRecord([this](TClientDataSet& seats) { data_->NewSeatRecord(seats); });

    BuildTools();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(tools_);
    layout->addWidget(map_, 1);
}

TUIMapSeatShow::~TUIMapSeatShow() = default;

QAction* TUIMapSeatShow::AddAction(const char* name, const QString& caption, const QKeySequence& key) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }
    addAction(action);
    return action;
}

void TUIMapSeatShow::BuildTools() {
    save_ = AddAction("actSave", QStringLiteral("保存"), QKeySequence::Save);
    refresh_ = AddAction("actRefresh", QStringLiteral("刷新座位"), QKeySequence(Qt::Key_F5));
    edit_ = AddAction("actEdit", QStringLiteral("编辑座位"), QKeySequence(Qt::Key_F2));
    edit_->setToolTip(QStringLiteral("座号编辑"));
    delete_ = AddAction("actDelete", QStringLiteral("删除座位"), QKeySequence::Delete);
    move_ = AddAction("actMove", QStringLiteral("移动座位"), QKeySequence(Qt::CTRL | Qt::Key_M));
    copy_ = AddAction("actCopy", QStringLiteral("复制座位"), QKeySequence(Qt::CTRL | Qt::Key_D));
    clear_ = AddAction("actClear", QStringLiteral("取消选定"), QKeySequence(Qt::Key_Escape));
    clear_->setToolTip(QStringLiteral("取消选定"));
    showNo_ = AddAction("actShowNo", QStringLiteral("显示排编号"), {});
    design_ = AddAction("actDesign", QStringLiteral("设计状态"), {});
    arena_ = AddAction("actselfarena", QStringLiteral("自定义舞台"), {});
    picture_ = AddAction("actSeatMapToPic", QStringLiteral("生成座位图"), {});
    undo_ = AddAction("actUndo", QStringLiteral("撤销"), QKeySequence::Undo);
    redo_ = AddAction("actRedo", QStringLiteral("重做"), QKeySequence(Qt::CTRL | Qt::Key_Y));
    showNo_->setCheckable(true);
    design_->setCheckable(true);
    design_->setChecked(true);

    connect(save_, &QAction::triggered, this, &TUIMapSeatShow::Save);
    connect(refresh_, &QAction::triggered, this, &TUIMapSeatShow::Refresh);
    connect(edit_, &QAction::triggered, this, [this] { RunGuarded([this] { map_->ShowEditor(); }); });
    connect(delete_, &QAction::triggered, this,
            [this] { RunGuarded([this] { map_->DeleteSelectedCells(); }); });
    connect(move_, &QAction::triggered, this, [this] { RunGuarded([this] { map_->MoveSelectedCells(); }); });
    connect(copy_, &QAction::triggered, this, [this] { RunGuarded([this] { map_->CopySelectedCells(); }); });
    connect(clear_, &QAction::triggered, this, [this] { map_->ClearSelection(); });
    connect(showNo_, &QAction::toggled, this, [this](bool on) { map_->SetShowRowNumber(on); });
    connect(design_, &QAction::toggled, this, [this](bool on) { map_->SetInDesign(on); });
    connect(arena_, &QAction::triggered, this, &TUIMapSeatShow::EditStage);
    connect(picture_, &QAction::triggered, this, &TUIMapSeatShow::ExportPicture);
    connect(undo_, &QAction::triggered, this, [this] { map_->Undo(); });
    connect(redo_, &QAction::triggered, this, [this] { map_->Redo(); });

    const auto designing = [this] { return map_->InDesign(); };
    const auto withSelection = [this] { return map_->InDesign() && map_->SelectedCellCount() > 0; };
    updater_->Add(save_, designing);
    updater_->Add(edit_, withSelection);
    updater_->Add(delete_, withSelection);
    updater_->Add(move_, withSelection);
    updater_->Add(copy_, withSelection);
    updater_->Add(showNo_, designing);
    updater_->Add(arena_, [this] { return data_->cdsSection().Active() && !data_->cdsSection().IsEmpty(); });
    updater_->Add(undo_, [this] { return map_->InDesign() && map_->CanUndo(); });
    updater_->Add(redo_, [this] { return map_->InDesign() && map_->CanRedo(); });

    auto* column = new QVBoxLayout(tools_);
    column->setContentsMargins(0, 0, 0, 0);
    tools_->setObjectName(QStringLiteral("ToolPanel"));
    tools_->setFixedWidth(110);
    for (QAction* action : {save_, refresh_, edit_, delete_, move_, copy_, clear_, showNo_, design_, arena_,
                            picture_, undo_, redo_}) {
        if (action->isCheckable()) {
            auto* box = new QCheckBox(action->text());
            box->setObjectName(action->objectName() + QStringLiteral("Box"));
            box->setChecked(action->isChecked());
            connect(box, &QCheckBox::toggled, action, &QAction::setChecked);
            connect(action, &QAction::toggled, box, &QCheckBox::setChecked);
            connect(action, &QAction::enabledChanged, box, &QCheckBox::setEnabled);
            box->setEnabled(action->isEnabled());
            column->addWidget(box);
            continue;
        }
        auto* button = new QToolButton;
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        column->addWidget(button);
    }
    column->addStretch();
}

void TUIMapSeatShow::SetMapCode(const std::string& code) {
    data_->MapCode = code;
}

void TUIMapSeatShow::SetProductCode(const std::string& code) {
    data_->ProductCode = code;
    RunGuarded([this] {
        data_->GetPrice();
        map_->SetPriceSource(&data_->cdsPrice());
    });
}

void TUIMapSeatShow::SetSectionName(const std::string& name) {
    data_->SectionName = name;
    setWindowTitle(kSectionCaption + QString::fromStdString(name));
}

void TUIMapSeatShow::SetSectionCode(const std::string& code) {
    data_->SectionCode = code;
    RunGuarded([this] {
        THourglass hourglass;
        data_->GetSection();
        map_->SetSectionSource(&data_->cdsSection());
        map_->SetFloorSource(&data_->cdsFloor());
        map_->SetRowSource(&data_->cdsRow());
        map_->UpdateSection();
        ShowStage();
        LoadSeats();
    });
}

bool TUIMapSeatShow::Modified() const {
    return map_->CanUndo() || (data_->cdsSeat().Active() && data_->cdsSeat().ChangeCount() > 0) ||
           (data_->cdsSection().Active() && data_->cdsSection().ChangeCount() > 0);
}

void TUIMapSeatShow::LoadSeats() {
    THourglass hourglass;
    QElapsedTimer timer;
    timer.start();
    data_->GetData();
    map_->UpdateSeat();
    ShowElapsed(timer.elapsed());
}

void TUIMapSeatShow::Refresh() {
    if (Modified() &&
        ShowConfirmMessage("座位图尚未保存，刷新座位将放弃所做的修改，是否继续?", "请确认") != mrYes)
        return;
    RunGuarded([this] {
        data_->cdsSeat().CancelUpdates();
        LoadSeats();
    });
}

bool TUIMapSeatShow::Save() {
    save_->setEnabled(false);
    QElapsedTimer timer;
    timer.start();
    const bool saved = RunGuarded([this] {
        THourglass hourglass;
        data_->SetSection();
        map_->GatherSeatInformation();
        if (data_->cdsSeat().ChangeCount() > 0) {
            data_->SetData();
            map_->UpdateSeat();
        }
        map_->ClearHistory();
    });
    ShowElapsed(timer.elapsed());
    updater_->UpdateActions();
    return saved;
}

void TUIMapSeatShow::ShowElapsed(qint64 milliseconds) {
    map_->SetPrompt(
        "耗费: " + QString::number(static_cast<double>(milliseconds) / 1000, 'f', 3).toStdString() + "秒.");
}

void TUIMapSeatShow::ShowStage() {
    TClientDataSet& section = data_->cdsSection();
    const TField* arena = section.Active() && !section.IsEmpty() ? section.FindField("ARENAXY") : nullptr;
    map_->Map().SetCustomStage(arena ? ParseArenaXY(arena->AsString()) : std::nullopt);
}

void TUIMapSeatShow::EditStage() {
    TUIArenaEditorShow dialog(this, data_->cdsSection(), this);
    ExecModal(dialog);
}

void TUIMapSeatShow::ExportPicture() {
    const std::string name = data_->SectionName.empty() ? data_->SectionCode : data_->SectionName;
    const auto path =
        GetSaveFileName(this, QStringLiteral("生成座位图"), data_->ProductCode + "-" + name + ".png",
                        QStringLiteral("PNG 图片 (*.png);;PDF 文档 (*.pdf)"));
    if (!path) return;
    RunGuarded([&] {
        THourglass hourglass;
        TSeatMapPicture picture(map_->Map(), data_->ProductCode + "  " + name,
                                SeatMapLegend(map_->Map(), data_->cdsPrice()));
        picture.Save(*path);
        map_->SetPrompt("座位图已保存到 " + path->string());
    });
}

bool TUIMapSeatShow::event(QEvent* event) {
    if (event->type() == KavArenaChangedEvent) {
        ShowStage();
        return true;
    }
    return QWidget::event(event);
}

void TUIMapSeatShow::closeEvent(QCloseEvent* event) {
    if (Modified()) {
        const int answer = ShowYesNoCancelMessage("座位图已修改，是否保存?", "请确认");
        if (answer == mrCancel || (answer == mrYes && !Save())) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

} // namespace kav
