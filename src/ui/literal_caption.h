#pragma once

#include <QString>

namespace xq {

// Widgets with access keys (QAction, QPushButton, QCheckBox, QGroupBox, QTabBar, a QLabel with a
// buddy) read "&" as the mark of the key that follows and do not show it. Text that comes from
// outside, such as a name, goes through here so that it shows as it is: each "&" is doubled.
inline QString literalCaption(QString text) {
    return text.replace(u'&', QStringLiteral("&&"));
}

}  // namespace xq
