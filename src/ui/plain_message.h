#pragma once

#include <QMessageBox>
#include <QString>

namespace xq {

// Message boxes whose text may hold what came from outside (a server's notice, a file's path or
// a word read from it): always shown as plain text, never read as markup.
void warnPlain(QWidget* parent, const QString& title, const QString& text);
// Yes or No; true for Yes.
bool askPlain(QWidget* parent, const QString& title, const QString& text);

}  // namespace xq
