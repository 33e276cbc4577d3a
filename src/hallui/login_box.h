#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace xq::hall {

// The login page: the user's name and the hall server's address, the login button, and a line
// that tells why the last attempt did not get in.
class LoginBox : public QWidget {
    Q_OBJECT

public:
    explicit LoginBox(QWidget* parent = nullptr);

    void setValues(const QString& name, const QString& host, int port);
    QString name() const { return name_->text(); }
    QString host() const { return host_->text().trimmed(); }
    // 0 when the field holds no port.
    int port() const;

    // A reason shown under the button; empty clears it.
    void setMessage(const QString& text);
    // While a login is on its way the fields wait.
    void setBusy(bool busy);

    QLineEdit& nameEdit() { return *name_; }
    QLineEdit& hostEdit() { return *host_; }
    QLineEdit& portEdit() { return *port_; }
    QPushButton& loginButton() { return *login_; }
    const QLabel& message() const { return *message_; }

signals:
    void loginClicked();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showMessage(const QString& text, const QColor& colour);
    void fitNameWidth();

    QLineEdit* name_;
    QLineEdit* host_;
    QLineEdit* port_;
    QPushButton* login_;
    QLabel* message_;
};

}  // namespace xq::hall
