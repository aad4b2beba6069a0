#include "dialogs/dialogfont.h"

#include <QFontDatabase>
#include <QStringList>

namespace kav {

QFont SongTiFont() {
    static const QStringList faces = [] {
        const QStringList wanted{QStringLiteral("宋体"),
                                 QStringLiteral("SimSun"),
                                 QStringLiteral("NSimSun"),
                                 QStringLiteral("Noto Serif CJK SC"),
                                 QStringLiteral("Noto Sans CJK SC"),
                                 QStringLiteral("AR PL UMing CN"),
                                 QStringLiteral("WenQuanYi Zen Hei")};
        // Only installed faces: the font matcher would otherwise substitute a Latin face for a missing one
        // and take the Chinese glyphs from elsewhere.
        const QStringList installed = QFontDatabase::families();
        QStringList present;
        for (const QString& face : wanted)
            if (installed.contains(face, Qt::CaseInsensitive)) present << face;
        return present.isEmpty() ? wanted : present;
    }();
    QFont font;
    font.setFamilies(faces);
    return font;
}

} // namespace kav
