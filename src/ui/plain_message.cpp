#include "ui/plain_message.h"

namespace xq {
namespace {

QMessageBox::StandardButton Run(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                const QString& text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);

    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void warnPlain(QWidget* parent, const QString& title, const QString& text) {
    Run(parent, QMessageBox::Warning, title, text, QMessageBox::Ok);
}

bool askPlain(QWidget* parent, const QString& title, const QString& text) {
    return Run(parent, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

}  // namespace xq
