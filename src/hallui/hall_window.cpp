#include "hallui/hall_window.h"

#include <QCloseEvent>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QVBoxLayout>

#include "hall/launch_words.h"
#include "hall/login_input.h"
#include "look/builtin_pictures.h"
#include "look/ui_font.h"
#include "version/version.h"

namespace xq::hall {

HallWindow::HallWindow(HallClient& client, const QString& hallDir, QWidget* parent)
    : QWidget(parent, Qt::Window),
      client_(client),
      pages_(new QStackedWidget),
      login_(new LoginBox),
      room_(new RoomView(client.model(), hallDir)),
      menuBar_(new QMenuBar) {
    setWindowTitle(QStringLiteral("%1大厅").arg(GameName()));
    const QImage logo = builtinPicture("logo.png");
    if (!logo.isNull()) setWindowIcon(QIcon(QPixmap::fromImage(logo)));
    setFont(paneFont());
    resize(1000, 680);
    pages_->addWidget(login_);
    pages_->addWidget(room_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(pages_);

    QMenu* hallMenu = menuBar_->addMenu(QStringLiteral("大厅(&H)"));
    changePassword_ =
        hallMenu->addAction(QStringLiteral("修改密码(&P)…"), this, &HallWindow::openPasswordDialog);
    changePassword_->setEnabled(false);
    forgetPin_ =
        hallMenu->addAction(QStringLiteral("清除证书指纹(&F)…"), this, &HallWindow::forgetPin);
    hallMenu->addSeparator();
    hallMenu->addAction(QStringLiteral("退出(&X)"), this, &QWidget::close);
    QMenu* helpMenu = menuBar_->addMenu(QStringLiteral("帮助(&A)"));
    helpMenu->addAction(QStringLiteral("关于(&A)…"), this, [this] {
        QMessageBox::about(this, QStringLiteral("关于%1大厅").arg(GameName()), aboutText());
    });

    confirm = [this](const QString& question) {
        return QMessageBox::question(this, windowTitle(), question) == QMessageBox::Yes;
    };
    // Encrypted unless the server is this machine, until the user says otherwise.
    connect(&login_->encryptedBox(), &QCheckBox::clicked, this,
            [this] { encryptionChosen_ = true; });
    connect(&login_->hostEdit(), &QLineEdit::textEdited, this, [this](const QString& host) {
        if (!encryptionChosen_) login_->setEncrypted(!isLoopbackHost(host.trimmed()));
    });

    connect(login_, &LoginBox::loginClicked, this, &HallWindow::tryLogin);
    connect(login_, &LoginBox::registerClicked, this, &HallWindow::tryRegister);
    connect(&room_->logoutButton(), &QPushButton::clicked, this, [this] {
        client_.logout();
        showLogin({});
    });
    connect(&room_->grid(), &TableGrid::sitRequested, this, [this](int table, int seat) {
        room_->showStatus(QStringLiteral("正在请求第 %1 桌的座位……").arg(table));
        client_.sit(table, seat);
    });
    connect(&room_->grid(), &TableGrid::watchRequested, this, [this](int table) {
        room_->showStatus(QStringLiteral("正在请求旁观第 %1 桌……").arg(table));
        client_.watch(table);
    });
    room_->chat().say = [this](const QString& text) { return client_.say(text); };

    connect(&client_, &HallClient::stateChanged, this, &HallWindow::onStateChanged);
    connect(&client_, &HallClient::loginFailed, this, &HallWindow::showLogin);
    connect(&client_, &HallClient::connectionLost, this, &HallWindow::showLogin);
    connect(&client_, &HallClient::chatLine, &room_->chat(), &HallChat::addLine);
    connect(&client_, &HallClient::notice, this, [this](const QString& text) {
        room_->chat().addNote(text);
        room_->showWarning(text);
    });
    connect(&client_, &HallClient::reservationRefused, room_, &RoomView::showWarning);
    connect(&client_, &HallClient::gameWaiting, this, [this](int table, int seat) {
        // Asked later in the turn: the question waits while the hall's first rows come in.
        QMetaObject::invokeMethod(
            this,
            [this, table, seat] {
                if (client_.state() != HallClient::State::LoggedIn) return;
                if (!confirm(QStringLiteral("你在第 %1 桌的对局还没有下完。现在回到棋局吗？")
                                 .arg(table)))
                    return;
                room_->showStatus(QStringLiteral("正在回到第 %1 桌……").arg(table));
                client_.sit(table, seat);
            },
            Qt::QueuedConnection);
    });
    connect(&client_, &HallClient::tableFailed, room_, &RoomView::showWarning);
    // Where the user is now, once the server says so: no "opening …" line left standing after
    // the table window has come and gone.
    connect(&client_.model(), &HallModel::ownRowChanged, this, [this] {
        const auto& own = client_.model().ownRow();
        if (!own || !showsRoom()) return;
        if (own->table == 0) {
            room_->showStatus(QStringLiteral("双击空座入座，双击桌子旁观"));
        } else {
            room_->showStatus(own->place == Place::Watch
                                  ? QStringLiteral("你在旁观第 %1 桌").arg(own->table)
                                  : QStringLiteral("你在第 %1 桌").arg(own->table));
        }
    });
    connect(&client_, &HallClient::passwordChanged, this, [this] {
        if (passwordDialog_) passwordDialog_->accept();
        room_->showStatus(QStringLiteral("密码已修改，下次请用新密码登录"));
    });
    connect(&client_, &HallClient::passwordChangeRefused, this, [this](const QString& reason) {
        if (passwordDialog_) {
            passwordDialog_->setBusy(false);
            passwordDialog_->setMessage(reason);
        } else {
            room_->showWarning(QStringLiteral("密码没有修改：%1").arg(reason));
        }
    });
    connect(&client_, &HallClient::tableStarted, this, [this](int table, Place place) {
        room_->showStatus(place == Place::Watch
                              ? QStringLiteral("正在打开第 %1 桌（旁观）……").arg(table)
                              : QStringLiteral("正在打开第 %1 桌……").arg(table));
    });
}

void HallWindow::setLoginValues(const QString& name, const QString& host, int port) {
    login_->setValues(name, host, port);
    // The choice made the last time holds for the server it was made for.
    const HallSettings::Login saved = client_.settings().login();
    encryptionChosen_ = saved.encrypted.has_value() && saved.host == host;
    login_->setEncrypted(encryptionChosen_ ? *saved.encrypted : !isLoopbackHost(host));
    // The first field still to fill, or the button when everything is there.
    if (name.isEmpty()) {
        login_->nameEdit().setFocus();
    } else if (port <= 0) {
        login_->portEdit().setFocus();
    } else {
        login_->loginButton().setFocus();
    }
}

void HallWindow::tryLogin() {
    if (client_.state() != HallClient::State::LoggedOut) return;
    client_.setEncrypted(login_->encrypted());
    if (const auto problem =
            client_.login(login_->host(), login_->port(), login_->name(), login_->password()))
        login_->setMessage(*problem);
}

void HallWindow::tryRegister() {
    if (client_.state() != HallClient::State::LoggedOut) return;
    // Told here, before anything is sent: the server sees the password once.
    if (const auto problem = newPasswordProblem(login_->password(), login_->passwordAgain()))
        return login_->setMessage(*problem);
    client_.setEncrypted(login_->encrypted());
    if (const auto problem = client_.registerAccount(login_->host(), login_->port(), login_->name(),
                                                     login_->password()))
        login_->setMessage(*problem);
}

void HallWindow::forgetPin() {
    const bool in = client_.state() != HallClient::State::LoggedOut;
    const QString host = in ? client_.host() : login_->host();
    const int port = in ? client_.port() : login_->port();
    const auto tell = [this, in](const QString& text) {
        if (in) {
            room_->showStatus(text);
        } else {
            login_->setMessage(text);
        }
    };
    const QString server = QStringLiteral("%1:%2").arg(host).arg(port);
    if (client_.settings().pin(host, port).isEmpty())
        return tell(QStringLiteral("没有保存 %1 的证书指纹").arg(server));
    if (!confirm(
            QStringLiteral("清除 %1 的证书指纹？\n下次连接时将接受并记住服务器出示的证书。只有确知"
                           "服务器换了证书时才应清除。")
                .arg(server)))
        return;
    client_.settings().forgetPin(host, port);
    tell(QStringLiteral("已清除 %1 的证书指纹").arg(server));
}

void HallWindow::showSecurity() {
    const TlsJudgement& tls = client_.tls();
    if (!tls.accepted) {
        room_->showSecurity(QStringLiteral("未加密"), QStringLiteral("与大厅服务器的连接没有加密"));
        return;
    }
    const QString full = readableFingerprint(tls.fingerprint);
    const QString text = tls.verified ? QStringLiteral("加密连接（证书已验证）")
                         : tls.firstUse ? QStringLiteral("加密连接（首次连接，已记住证书指纹）")
                                        : QStringLiteral("加密连接（证书指纹与记录相符）");
    const QString tip = QStringLiteral("服务器证书指纹（SHA-256）：%1").arg(full);
    room_->showSecurity(text, tip);
    room_->chat().addNote(tip);
}

void HallWindow::openPasswordDialog() {
    if (client_.state() != HallClient::State::LoggedIn || !client_.isAccount()) return;
    if (passwordDialog_) {
        passwordDialog_->raise();
        passwordDialog_->activateWindow();
        return;
    }
    auto* dialog = new PasswordDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    passwordDialog_ = dialog;
    connect(dialog, &PasswordDialog::submitted, this,
            [this, dialog](const QString& oldPassword, const QString& newPassword) {
                if (const auto problem = client_.changePassword(oldPassword, newPassword)) {
                    dialog->setMessage(*problem);
                } else {
                    dialog->setBusy(true);
                }
            });
    dialog->open();
}

void HallWindow::showLogin(const QString& reason) {
    // Its answer can no longer come.
    if (passwordDialog_) passwordDialog_->reject();
    login_->setBusy(false);
    login_->setMessage(reason);
    pages_->setCurrentWidget(login_);
    setWindowTitle(QStringLiteral("%1大厅").arg(GameName()));
}

void HallWindow::showRoom() {
    room_->chat().clear();
    room_->showStatus(QStringLiteral("双击空座入座，双击桌子旁观"));
    pages_->setCurrentWidget(room_);
    setWindowTitle(QStringLiteral("%1大厅 - %2").arg(GameName(), client_.userName()));
}

void HallWindow::onStateChanged(HallClient::State state) {
    changePassword_->setEnabled(state == HallClient::State::LoggedIn && client_.isAccount());
    switch (state) {
        case HallClient::State::LoggingIn:
            login_->setBusy(true);
            break;
        case HallClient::State::LoggedIn:
            login_->setBusy(false);
            // Used: not kept in the box, and the next time starts from logging in.
            login_->setRegistering(false);
            login_->clearPasswords();
            client_.settings().setLogin(
                {client_.userName(), login_->host(), login_->port(), login_->encrypted()});
            showRoom();
            showSecurity();
            break;
        case HallClient::State::LoggedOut:
            break;
    }
}

void HallWindow::closeEvent(QCloseEvent* event) {
    client_.logout();
    event->accept();
}

QString HallWindow::aboutText() {
    return QStringLiteral("%1大厅 xqhall %2\n\n中国象棋网上对弈：大厅、棋桌与房间服务器。")
        .arg(GameName(), QString::fromLatin1(kVersion));
}

}  // namespace xq::hall
