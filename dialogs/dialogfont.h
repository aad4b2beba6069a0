#pragma once
// The dialogs' text face, "宋体", with the CJK faces that stand in for it where it is not installed, so that
// Chinese text is measured and drawn in one face rather than glyph by glyph from fallbacks.

#include <QFont>

namespace kav {

QFont SongTiFont();

} // namespace kav
