#include "reports/common/reportwindow.h"

#include "dialogs/kavdialog.h"
#include "platform/widgets/filedialogs.h"
#include "platform/widgets/hourglass.h"
#include "platform/widgets/reportoutput.h"
#include "reports/common/collectreportcore.h"

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

bool ExportExcel(QWidget* parent, const TExcelTable& table, const std::string& caption,
                 const std::string& suggestedName) {
    const auto file = AskSaveFileName(parent, caption, suggestedName, "Excel 工作簿 (*.xlsx)");
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
