#include "hall/hall_settings.h"

#include <QStandardPaths>

namespace xq::hall {
namespace {

// The settings escape what a key holds, except "/": that would open a group of its own.
QString pinKey(const QString& host, int port) {
    return QStringLiteral("pins/%1:%2").arg(QString(host).replace(u'/', u'_')).arg(port);
}

}  // namespace

HallSettings::HallSettings(const QString& path) {
    if (!path.isEmpty()) file_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

QString HallSettings::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/xqtable/xqhall.ini");
}

HallSettings::Login HallSettings::login() const {
    Login l;
    l.name = value(QStringLiteral("login/name")).toString();
    l.host = value(QStringLiteral("login/host")).toString();
    bool ok = false;
    const int port = value(QStringLiteral("login/port")).toInt(&ok);
    l.port = ok && port >= 1 && port <= 65535 ? port : 0;
    const QVariant encrypted = value(QStringLiteral("login/encrypted"));
    if (encrypted.isValid()) l.encrypted = encrypted.toBool();
    return l;
}

void HallSettings::setLogin(const Login& l) {
    setValue(QStringLiteral("login/name"), l.name);
    setValue(QStringLiteral("login/host"), l.host);
    setValue(QStringLiteral("login/port"), l.port);
    if (l.encrypted) setValue(QStringLiteral("login/encrypted"), *l.encrypted);
}

QString HallSettings::pin(const QString& host, int port) const {
    return value(pinKey(host, port)).toString();
}

void HallSettings::setPin(const QString& host, int port, const QString& fingerprint) {
    setValue(pinKey(host, port), fingerprint);
}

bool HallSettings::forgetPin(const QString& host, int port) {
    if (pin(host, port).isEmpty()) return false;
    remove(pinKey(host, port));
    return true;
}

QVariant HallSettings::value(const QString& key) const {
    return file_ ? file_->value(key) : memory_.value(key);
}

void HallSettings::setValue(const QString& key, const QVariant& value) {
    if (file_) {
        file_->setValue(key, value);
        file_->sync();  // a hall that is killed keeps what it learnt
    } else {
        memory_.insert(key, value);
    }
}

void HallSettings::remove(const QString& key) {
    if (file_) {
        file_->remove(key);
        file_->sync();
    } else {
        memory_.remove(key);
    }
}

}  // namespace xq::hall
