#pragma once

#include <QAction>
#include <QMenuBar>
#include <QPointer>
#include <QStackedWidget>
#include <QWidget>
#include <functional>

#include "hall/hall_client.h"
#include "hallui/login_box.h"
#include "hallui/password_dialog.h"
#include "hallui/room_view.h"

namespace xq::hall {

// The hall's window: the login box until the server takes the user in, then the room; back to
// the login box, with the reason, when the connection ends.
class HallWindow : public QWidget {
    Q_OBJECT

public:
    // hallDir: the run-time tree whose pictures the room shows.
    HallWindow(HallClient& client, const QString& hallDir, QWidget* parent = nullptr);

    void setLoginValues(const QString& name, const QString& host, int port);

    LoginBox& loginBox() { return *login_; }
    RoomView& room() { return *room_; }
    bool showsRoom() const { return pages_->currentWidget() == room_; }
    QMenuBar& menuBar() { return *menuBar_; }
    QAction& changePasswordAction() { return *changePassword_; }
    QAction& forgetPinAction() { return *forgetPin_; }
    // What the help menu's About box says: the program and its version.
    static QString aboutText();
    // Asks the user a yes-or-no question; a box unless told otherwise (tests).
    std::function<bool(const QString& question)> confirm;
    // The change of password's dialog while it is open.
    PasswordDialog* passwordDialog() const { return passwordDialog_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void tryLogin();
    void tryRegister();
    void forgetPin();
    void showSecurity();
    void openPasswordDialog();
    void showLogin(const QString& reason);
    void showRoom();
    void onStateChanged(HallClient::State state);

    HallClient& client_;
    QStackedWidget* pages_;
    LoginBox* login_;
    RoomView* room_;
    QMenuBar* menuBar_;
    QAction* changePassword_;
    QAction* forgetPin_;
    bool encryptionChosen_ = false;  // the user ticked or cleared the box himself
    QPointer<PasswordDialog> passwordDialog_;
};

}  // namespace xq::hall
