#include "ui/user_menu.h"

#include "look/ui_font.h"
#include "ui/literal_caption.h"

namespace xq {

UserMenu::UserMenu(QWidget* parent) : QMenu(parent) {
    setFont(paneFont());
}

void UserMenu::setItems(const QStringList& captions, const QString& name) {
    if (captions.isEmpty()) return;  // a row without details shows the menu as it is
    clear();
    name_ = name;
    for (int i = 0; i < captions.size(); ++i) {
        if (captions[i] == u"-") {
            addSeparator();
            continue;
        }
        QAction* action = addAction(literalCaption(captions[i]));
        action->setData(name);
        connect(action, &QAction::triggered, this, [this, i] { emit chosen(i, name_); });
    }
}

}  // namespace xq
