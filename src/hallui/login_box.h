#pragma once

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace xq::hall {

// The login page: the user's name and password, the hall server's address, whether the
// connection is encrypted, the login button, and a line that tells why the last attempt did not
// get in. A second mode registers a new account: the password is typed twice.
class LoginBox : public QWidget {
    Q_OBJECT

public:
    explicit LoginBox(QWidget* parent = nullptr);

    void setValues(const QString& name, const QString& host, int port);
    QString name() const { return name_->text(); }
    QString password() const { return password_->text(); }
    QString passwordAgain() const { return again_->text(); }
    QString host() const { return host_->text().trimmed(); }
    // 0 when the field holds no port.
    int port() const;
    bool encrypted() const { return encrypted_->isChecked(); }
    void setEncrypted(bool on) { encrypted_->setChecked(on); }

    // Registering a new account rather than logging in.
    bool registering() const { return registering_; }
    void setRegistering(bool on);
    // Passwords are not kept once they have been used.
    void clearPasswords();

    // A reason shown under the button; empty clears it.
    void setMessage(const QString& text);
    // While a login is on its way the fields wait.
    void setBusy(bool busy);

    QLineEdit& nameEdit() { return *name_; }
    QLineEdit& passwordEdit() { return *password_; }
    QLineEdit& againEdit() { return *again_; }
    QLineEdit& hostEdit() { return *host_; }
    QLineEdit& portEdit() { return *port_; }
    QCheckBox& encryptedBox() { return *encrypted_; }
    QPushButton& loginButton() { return *login_; }
    // Switches between logging in and registering.
    QPushButton& modeButton() { return *mode_; }
    const QLabel& message() const { return *message_; }

signals:
    void loginClicked();
    void registerClicked();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void submit();
    void showMessage(const QString& text, const QColor& colour);
    void fitNameWidth();

    QLineEdit* name_;
    QLineEdit* password_;
    QLineEdit* again_;
    QLineEdit* host_;
    QLineEdit* port_;
    QCheckBox* encrypted_;
    QPushButton* login_;
    QPushButton* mode_;
    QLabel* message_;
    QFormLayout* form_ = nullptr;
    bool registering_ = false;
};

}  // namespace xq::hall
