#include "seatmap/fontsubstitution.h"

#include <QFont>
#include <QStringList>

namespace kav {

void InstallSeatMapFontSubstitutes() {
    static const bool installed = [] {
        QFont::insertSubstitutions(QStringLiteral("宋体"),
                                   {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC"),
                                    QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Micro Hei")});
        QFont::insertSubstitutions(QStringLiteral("Arial Narrow"), {QStringLiteral("Liberation Sans Narrow"),
                                                                    QStringLiteral("DejaVu Sans Condensed"),
                                                                    QStringLiteral("Noto Sans CJK SC")});
        return true;
    }();
    (void)installed;
}

} // namespace kav
