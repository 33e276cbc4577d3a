#include "hallui/password_dialog.h"

#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "hall/login_input.h"
#include "hallui/hall_look.h"
#include "net/wire_limits.h"

namespace xq::hall {

PasswordDialog::PasswordDialog(QWidget* parent)
    : QDialog(parent),
      old_(new QLineEdit),
      new_(new QLineEdit),
      again_(new QLineEdit),
      message_(new QLabel),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel)) {
    setWindowTitle(QStringLiteral("修改密码"));
    for (QLineEdit* edit : {old_, new_, again_}) {
        edit->setEchoMode(QLineEdit::Password);
        edit->setMaxLength(kMaxPasswordBytes);
    }
    message_->setTextFormat(Qt::PlainText);  // the server's reasons are its own words
    message_->setWordWrap(true);
    buttons_->button(QDialogButtonBox::Ok)->setText(QStringLiteral("修改"));
    buttons_->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("原密码："), old_);
    form->addRow(QStringLiteral("新密码："), new_);
    form->addRow(QStringLiteral("确认新密码："), again_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(message_);
    layout->addWidget(buttons_);

    connect(buttons_, &QDialogButtonBox::accepted, this, &PasswordDialog::submit);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void PasswordDialog::submit() {
    if (old_->text().isEmpty()) return setMessage(QStringLiteral("请输入原密码"));
    if (const auto problem = newPasswordProblem(new_->text(), again_->text()))
        return setMessage(QStringLiteral("新密码：%1").arg(*problem));
    emit submitted(old_->text(), new_->text());
}

void PasswordDialog::setMessage(const QString& text) {
    QPalette look = message_->palette();
    look.setColor(QPalette::WindowText, kWarningText);
    message_->setPalette(look);
    message_->setText(text);
}

void PasswordDialog::setBusy(bool busy) {
    for (QWidget* w : std::initializer_list<QWidget*>{old_, new_, again_})
        w->setEnabled(!busy);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(!busy);
    if (busy) {
        QPalette look = message_->palette();
        look.setColor(QPalette::WindowText, palette().color(QPalette::WindowText));
        message_->setPalette(look);
        message_->setText(QStringLiteral("正在修改密码……"));
    }
}

}  // namespace xq::hall
