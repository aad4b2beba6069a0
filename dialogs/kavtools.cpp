#include "dialogs/kavtools.h"

#include "dialogs/kavdialog.h"
#include "platform/dataset/clientdataset.h"

#include <ctime>

namespace kav {

bool CheckRequiredData(TClientDataSet& DataSet) {
    for (int i = 0; i < DataSet.FieldCount(); ++i) {
        const TField& field = DataSet.Fields(i);
        if (field.Required() && field.AsString().empty()) {
            ShowPromptMessage("‘" + field.DisplayLabel() + "’不能为空!", {});
            return false;
        }
    }
    return true;
}

std::uint32_t GetTickCount() {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<std::uint32_t>(std::uint64_t(now.tv_sec) * 1000u +
                                      std::uint64_t(now.tv_nsec) / 1000000u);
}

} // namespace kav
