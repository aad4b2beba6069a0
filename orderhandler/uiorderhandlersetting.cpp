#include "orderhandler/uiorderhandlersetting.h"

#include "dialogs/kavdialog.h"
#include "orderhandler/uidialogbuttons.h"
#include "platform/widgets/modaldialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <algorithm>

namespace kav::orderhandler {

namespace {

const QString kCustom = QStringLiteral("自定义");
const QString kUnlimited = QStringLiteral("无限制");

QTime QTimeOf(TDateTime time) {
    const CivilDateTime c = DecodeDateTime(TimeOf(time));
    return QTime(c.hour, c.minute, c.second);
}

TDateTime TimeOfQTime(const QTime& time) {
    return time.msecsSinceStartOfDay() / 1000 / 86400.0;
}

} // namespace

TUIOrderHandlerSetting::TUIOrderHandlerSetting(std::vector<std::string> printers, std::filesystem::path file,
                                               QWidget* parent)
    : QDialog(parent), file_(std::move(file)) {
    setObjectName(QStringLiteral("UIOrderHandlerSetting"));
    setWindowTitle(QStringLiteral("设置选项"));

    auto* timeGroup = new QGroupBox(QStringLiteral("设置查询订单创建时间段"), this);
    auto* timeForm = new QFormLayout(timeGroup);
    orderTimeSort_ = new QComboBox(timeGroup);
    orderTimeSort_->setObjectName(QStringLiteral("cmbOrderTimeSort"));
    orderTimeSort_->addItems({kCustom, kUnlimited});
    timeForm->addRow(QStringLiteral("订单时间："), orderTimeSort_);
    const auto makeBound = [&](const QString& label, const char* name) {
        Bound bound;
        auto* row = new QHBoxLayout;
        bound.kind = new QComboBox(timeGroup);
        bound.kind->setObjectName(QStringLiteral("cmb%1Kind").arg(QLatin1String(name)));
        bound.kind->addItems({QStringLiteral("提前"), QStringLiteral("当天"), kUnlimited});
        bound.days = new QComboBox(timeGroup);
        bound.days->setObjectName(QStringLiteral("cmb%1Days").arg(QLatin1String(name)));
        for (int days = 1; days <= kMaxOrderTimeDays; ++days)
            bound.days->addItem(QStringLiteral("%1天").arg(days));
        bound.time = new QTimeEdit(timeGroup);
        bound.time->setObjectName(QStringLiteral("dtp%1Time").arg(QLatin1String(name)));
        bound.time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        row->addWidget(bound.kind);
        row->addWidget(bound.days);
        row->addWidget(bound.time);
        row->addStretch();
        timeForm->addRow(label, row);
        connect(bound.kind, &QComboBox::currentIndexChanged, this, &TUIOrderHandlerSetting::ApplyVisibility);
        return bound;
    };
    begin_ = makeBound(QStringLiteral("开始时间："), "Begin");
    end_ = makeBound(QStringLiteral("截止时间："), "End");

    auto* printerGroup = new QGroupBox(QStringLiteral("设置配送单打印机"), this);
    auto* printerForm = new QFormLayout(printerGroup);
    printers_ = new QComboBox(printerGroup);
    printers_->setObjectName(QStringLiteral("cmbPrinters"));
    printers_->setMinimumWidth(240);
    printers_->addItem(QString());
    for (const std::string& printer : printers)
        printers_->addItem(QString::fromStdString(printer));
    printerForm->addRow(QStringLiteral("打印机名称："), printers_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(timeGroup);
    layout->addWidget(printerGroup);
    layout->addWidget(OkCancelButtons(*this, [this] { AcceptSettings(); }));

    LoadSettings();
    connect(orderTimeSort_, &QComboBox::currentIndexChanged, this, &TUIOrderHandlerSetting::OrderTimeSortChanged);
}

int TUIOrderHandlerSetting::ShowCustomModal() {
    return ExecModal(*this);
}

void TUIOrderHandlerSetting::LoadSettings() {
    remembered_.period = LoadOrderTimeSettingFromConfigFile(file_);
    remembered_.printerName = LoadPrinterNameFromConfigFile(file_);
    const TOrderTimePeriodSetting& period = remembered_.period;
    const bool unlimited = period.beginKind == TOrderTimeKind::otkNoDefine;
    orderTimeSort_->setCurrentIndex(unlimited ? 1 : 0);
    begin_.kind->setEnabled(!unlimited);
    end_.kind->setEnabled(!unlimited);
    SetBound(begin_, period.beginKind, period.beginDays, period.beginTime);
    SetBound(end_, period.endKind, period.endDays, period.endTime);
    printers_->setCurrentIndex(remembered_.printerName.empty()
                                   ? 0
                                   : printers_->findText(QString::fromStdString(remembered_.printerName)));
    ApplyVisibility();
}

void TUIOrderHandlerSetting::SetBound(Bound bound, TOrderTimeKind kind, int days, TDateTime time) {
    bound.kind->setCurrentIndex(static_cast<int>(kind));
    bound.days->setCurrentIndex(kind == TOrderTimeKind::otkTodayBefore ? std::clamp(days, 1, kMaxOrderTimeDays) - 1 : 0);
    bound.time->setTime(QTimeOf(time));
}

void TUIOrderHandlerSetting::OrderTimeSortChanged(int index) {
    const bool custom = index == 0;
    if (custom) {
        begin_.kind->setCurrentIndex(static_cast<int>(TOrderTimeKind::otkTodayBefore));
        begin_.days->setCurrentIndex(0);
        end_.kind->setCurrentIndex(static_cast<int>(TOrderTimeKind::otkToday));
    } else {
        begin_.kind->setCurrentIndex(static_cast<int>(TOrderTimeKind::otkNoDefine));
        end_.kind->setCurrentIndex(static_cast<int>(TOrderTimeKind::otkNoDefine));
    }
    begin_.kind->setEnabled(custom);
    end_.kind->setEnabled(custom);
    ApplyVisibility();
}

void TUIOrderHandlerSetting::ApplyVisibility() {
    for (const Bound& bound : {begin_, end_}) {
        const auto kind = static_cast<TOrderTimeKind>(bound.kind->currentIndex());
        bound.days->setVisible(kind == TOrderTimeKind::otkTodayBefore);
        bound.time->setVisible(kind != TOrderTimeKind::otkNoDefine);
    }
}

TOrderHandlerSetting TUIOrderHandlerSetting::CollectSetting() const {
    TOrderHandlerSetting setting;
    TOrderTimePeriodSetting& period = setting.period;
    const auto read = [](const Bound& bound, TOrderTimeKind& kind, int& days, TDateTime& time) {
        kind = static_cast<TOrderTimeKind>(bound.kind->currentIndex());
        days = kind == TOrderTimeKind::otkTodayBefore ? bound.days->currentIndex() + 1 : 0;
        time = kind == TOrderTimeKind::otkNoDefine ? 0 : TimeOfQTime(bound.time->time());
    };
    read(begin_, period.beginKind, period.beginDays, period.beginTime);
    read(end_, period.endKind, period.endDays, period.endTime);
    setting.printerName = printers_->currentText().toStdString();
    return setting;
}

void TUIOrderHandlerSetting::AcceptSettings() {
    try {
        const TOrderHandlerSetting setting = CollectSetting();
        const TOrderTimePeriodSetting& period = setting.period;
        if (!CompareOrderTimeSetting(period, remembered_.period)) {
            if (period.beginKind != TOrderTimeKind::otkNoDefine) {
                // An open end would leave the search without a range while the setting claims one.
                if (period.endKind == TOrderTimeKind::otkNoDefine) {
                    ShowErrorMessage("订单创建时间段设置不正确，截止时间不能为“无限制”！", "错误");
                    return;
                }
                TDateTime begin = 0, end = 0;
                ExtractOrderTimeSetting(period, begin, end);
                if (begin >= end) {
                    ShowErrorMessage("订单创建时间段设置不正确，可能是起始时间大于或等于截止时间引起的！", "错误");
                    return;
                }
            }
            SaveOrderTimeSettingToConfigFile(period, file_);
            remembered_.period = period;
        }
        if (setting.printerName.empty()) {
            ShowPromptMessage("请设置配送单打印机名称！", "操作提示");
            return;
        }
        if (setting.printerName != remembered_.printerName) SavePrinterNameToConfigFile(setting.printerName, file_);
        remembered_ = setting;
        accept();
    } catch (const std::exception& e) {
        ShowErrorMessage(e.what(), "错误");
    }
}

} // namespace kav::orderhandler
