#include "hallui/login_box.h"

#include <QFormLayout>
#include <QFrame>
#include <QIntValidator>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

#include "hall/login_input.h"
#include "hallui/hall_look.h"
#include "look/builtin_pictures.h"
#include "look/line_edit_width.h"
#include "net/wire_limits.h"

namespace xq::hall {

LoginBox::LoginBox(QWidget* parent)
    : QWidget(parent),
      name_(new QLineEdit),
      password_(new QLineEdit),
      again_(new QLineEdit),
      host_(new QLineEdit),
      port_(new QLineEdit),
      encrypted_(new QCheckBox(QStringLiteral("加密连接"))),
      login_(new QPushButton(QStringLiteral("登录"))),
      mode_(new QPushButton(QStringLiteral("注册新账号"))),
      message_(new QLabel) {
    name_->setMaxLength(kMaxNameLength);
    fitNameWidth();
    name_->setPlaceholderText(QStringLiteral("1 到 32 个字符，不含空格"));
    for (QLineEdit* edit : {password_, again_}) {
        edit->setEchoMode(QLineEdit::Password);
        edit->setMaxLength(kMaxPasswordBytes);
    }
    encrypted_->setToolTip(
        QStringLiteral("用 TLS 加密与服务器之间的连接；密码只经加密连接或本机发送"));
    // A way to the other mode rather than a command: it looks like a link.
    mode_->setFlat(true);
    mode_->setCursor(Qt::PointingHandCursor);
    QPalette link = mode_->palette();
    link.setColor(QPalette::ButtonText, link.color(QPalette::Link));
    mode_->setPalette(link);
    port_->setValidator(new QIntValidator(1, 65535, port_));
    login_->setDefault(true);
    message_->setTextFormat(Qt::PlainText);  // refusals carry the server's words
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignCenter);

    auto* panel = new QFrame;
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    QPalette back = panel->palette();
    back.setColor(QPalette::Window, kWindowBack);
    panel->setPalette(back);
    panel->setMinimumWidth(320);

    auto* title = new QLabel(QStringLiteral("中国象棋大厅"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    title->setAlignment(Qt::AlignCenter);

    form_ = new QFormLayout;
    form_->addRow(QStringLiteral("用户名："), name_);
    form_->addRow(QStringLiteral("密码："), password_);
    form_->addRow(QStringLiteral("确认密码："), again_);
    form_->addRow(QStringLiteral("服务器："), host_);
    form_->addRow(QStringLiteral("端口："), port_);
    form_->addRow(QString(), encrypted_);

    auto* inner = new QVBoxLayout(panel);
    inner->setContentsMargins(24, 20, 24, 20);
    inner->setSpacing(12);
    inner->addWidget(title);
    inner->addLayout(form_);
    inner->addWidget(login_);
    inner->addWidget(mode_, 0, Qt::AlignHCenter);
    inner->addWidget(message_);

    auto* outer = new QVBoxLayout(this);
    outer->addStretch();
    outer->addWidget(panel, 0, Qt::AlignHCenter);
    outer->addStretch();

    connect(login_, &QPushButton::clicked, this, &LoginBox::submit);
    for (QLineEdit* edit : {name_, password_, again_, host_, port_})
        connect(edit, &QLineEdit::returnPressed, this, &LoginBox::submit);
    connect(mode_, &QPushButton::clicked, this, [this] { setRegistering(!registering_); });
    setRegistering(false);
}

void LoginBox::submit() {
    if (registering_) {
        emit registerClicked();
    } else {
        emit loginClicked();
    }
}

void LoginBox::setRegistering(bool on) {
    registering_ = on;
    form_->setRowVisible(again_, on);
    login_->setText(on ? QStringLiteral("注册") : QStringLiteral("登录"));
    mode_->setText(on ? QStringLiteral("返回登录") : QStringLiteral("注册新账号"));
    password_->setPlaceholderText(on ? QStringLiteral("1 到 %1 字节").arg(kMaxPasswordBytes)
                                     : QStringLiteral("访客不填"));
    again_->clear();
    setMessage({});
}

void LoginBox::clearPasswords() {
    password_->clear();
    again_->clear();
}

void LoginBox::setValues(const QString& name, const QString& host, int port) {
    // A name given longer than may be typed is shown whole, not cut to a name the user never
    // chose: the login then says it is too long.
    name_->setMaxLength(std::max(kMaxNameLength, static_cast<int>(name.size())));
    name_->setText(name);
    fitNameWidth();
    host_->setText(host);
    port_->setText(port > 0 ? QString::number(port) : QString());
}

void LoginBox::fitNameWidth() {
    // Wide enough for the longest name in the widest characters a name has (Chinese ones), so the
    // whole name is in view; the panel grows with it.
    const QFontMetrics metrics(name_->font());
    const int chars = std::min(name_->maxLength(), kMaxNameLength * 2);
    const int text = std::max(metrics.horizontalAdvance(QString(chars, u'国')),
                              metrics.horizontalAdvance(name_->text()));
    name_->setMinimumWidth(lineEditWidthFor(name_, text));
}

int LoginBox::port() const {
    bool ok = false;
    const int value = port_->text().trimmed().toInt(&ok);
    return ok ? value : 0;
}

void LoginBox::setMessage(const QString& text) {
    showMessage(text, kWarningText);
}

void LoginBox::showMessage(const QString& text, const QColor& colour) {
    QPalette look = message_->palette();
    look.setColor(QPalette::WindowText, colour);
    message_->setPalette(look);
    message_->setText(text);
}

void LoginBox::setBusy(bool busy) {
    for (QWidget* w : std::initializer_list<QWidget*>{name_, password_, again_, host_, port_,
                                                      encrypted_, login_, mode_})
        w->setEnabled(!busy);
    if (busy) showMessage(QStringLiteral("正在连接……"), palette().color(QPalette::WindowText));
}

void LoginBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QImage tile = builtinPicture("gameback.png");
    if (tile.isNull()) {
        p.fillRect(rect(), kRoomBack);
    } else {
        p.drawTiledPixmap(rect(), QPixmap::fromImage(tile));
    }
}

}  // namespace xq::hall
