#include "seatmap/selectsectionshow.h"

namespace kav {

TKavSelectSectionShow::TKavSelectSectionShow(QObject* owner) : QObject(owner) {}

} // namespace kav
