#pragma once
// The images of the ready-made dialog forms, drawn at 32 x 32: "remind", "notice", "error", "ok", "which".

#include <QPixmap>
#include <QString>

namespace kav {

// A null pixmap for an unknown name. GUI thread only.
QPixmap KavDialogImage(const QString& name);

} // namespace kav
