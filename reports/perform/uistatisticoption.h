#pragma once
// TUIStatisticOption: the statistic options of the performance collect report ("统计选项"): whether the seats
// not sold are counted by the statistic period, and whose sales count ("全部", the site's own under its
// venue name, "大麦"). It opens at the options in force. GUI thread only.

#include <QDialog>
#include <string>

class QCheckBox;
class QComboBox;

namespace kav::reports {

class TUIStatisticOption final : public QDialog {
    Q_OBJECT

public:
    explicit TUIStatisticOption(QWidget* parent = nullptr);

    // Shows the options in force: the by-period flag and the sale source ("0", "1", "2").
    void SetOptions(bool byPeriod, const std::string& saleSource, const std::string& venueName);
    bool ByPeriod() const;
    // The chosen item's index as text: "0" all, "1" own, "2" the partner's.
    std::string SaleSource() const;

private:
    QCheckBox* byPeriod_ = nullptr;
    QComboBox* source_ = nullptr;
};

} // namespace kav::reports
