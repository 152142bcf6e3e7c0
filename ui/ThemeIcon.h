#pragma once

#include <QIcon>
#include <QString>

namespace ui {

// The icon theme's icon of that freedesktop name. A session that names no
// theme (Qt then looks in hicolor only, which holds no action icons) looks
// in Adwaita as well, the desktop's usual theme. A null icon when no theme
// has it.
QIcon ThemeIcon(const QString& name);

// The printer of the icon theme ("document-print"), or a drawn printer when
// no theme has one.
QIcon PrinterIcon();

}  // namespace ui
