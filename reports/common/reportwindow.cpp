#include "reports/common/reportwindow.h"

#include "dialogs/kavdialog.h"
#include "platform/widgets/filedialog.h"
#include "platform/widgets/hourglass.h"
#include "platform/widgets/reportoutput.h"
#include "reports/common/collectreportcore.h"

#include <QAction>
#include <QPushButton>
#include <optional>

namespace kav::reports {

bool RunReport(QWidget* parent, const std::function<TReportDocument()>& generate) {
    std::optional<TReportDocument> document;
    std::optional<EReportCondition> prompt;
    std::string error;
    {
        THourglass hourglass;
        try {
            document = generate();
        } catch (const EReportCondition& e) {
            prompt = e;
        } catch (const std::exception& e) {
            error = e.what();
        }
    }
    if (prompt) ShowPromptMessage(prompt->what(), prompt->Title());
    if (!error.empty()) ShowErrorMessage(error);
    if (!document) return false;
    PreviewReport(*document, parent);
    return true;
}

QAction* NewGetReportAction(QWidget* window) {
    auto* action = new QAction(QStringLiteral("生成报表"), window);
    action->setObjectName(QStringLiteral("actGetReport"));
    action->setShortcut(QKeySequence(Qt::Key_F5));
    action->setToolTip(QStringLiteral("生成报表 (F5)"));
    window->addAction(action);
    return action;
}

QPushButton* ActionButton(QAction* action, QWidget* parent) {
    auto* button = new QPushButton(action->icon(), action->text(), parent);
    button->setObjectName(QStringLiteral("btn_") + action->objectName());
    button->setEnabled(action->isEnabled());
    button->setToolTip(action->toolTip());
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::enabledChanged, button, &QPushButton::setEnabled);
    return button;
}

bool ExportExcel(QWidget* parent, const TExcelTable& table, const std::string& caption,
                 const std::string& suggestedName) {
    const auto file = GetSaveFileName(parent, QString::fromStdString(caption), suggestedName,
                                      QStringLiteral("Excel 工作簿 (*.xlsx)"));
    if (!file) return false;
    try {
        THourglass hourglass;
        TExcelExport().ExportTable(table, *file);
    } catch (const std::exception& e) {
        ShowErrorMessage(e.what());
        return false;
    }
    return true;
}

} // namespace kav::reports
