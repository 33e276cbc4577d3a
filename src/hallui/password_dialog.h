#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>

namespace xq::hall {

// The change of an account's password: the old one, the new one twice, and a line for what is
// wrong or what the server answered. It asks; whoever opened it sends the request and tells it
// the answer.
class PasswordDialog : public QDialog {
    Q_OBJECT

public:
    explicit PasswordDialog(QWidget* parent = nullptr);

    // What is wrong, or the server's refusal.
    void setMessage(const QString& text);
    // The fields wait while a request is on its way.
    void setBusy(bool busy);

    QLineEdit& oldEdit() { return *old_; }
    QLineEdit& newEdit() { return *new_; }
    QLineEdit& againEdit() { return *again_; }
    QDialogButtonBox& buttons() { return *buttons_; }
    const QLabel& message() const { return *message_; }

signals:
    // Both typings of the new password agree and it can travel.
    void submitted(const QString& oldPassword, const QString& newPassword);

private:
    void submit();

    QLineEdit* old_;
    QLineEdit* new_;
    QLineEdit* again_;
    QLabel* message_;
    QDialogButtonBox* buttons_;
};

}  // namespace xq::hall
