#pragma once

#include <QSettings>
#include <QString>
#include <QVariantMap>
#include <memory>
#include <optional>

namespace xq::hall {

// What the hall keeps from one run to the next in the user's settings: the login box's last
// values (never a password) and the fingerprints of the servers' certificates it has pinned, by
// "host:port".
class HallSettings {
public:
    // Kept in the file at path; with no path, in memory for this run only.
    explicit HallSettings(const QString& path = {});
    // The user's own: xqtable/xqhall.ini in his config folder.
    static QString defaultPath();

    struct Login {
        QString name;
        QString host;
        int port = 0;
        std::optional<bool> encrypted;  // none: never chosen
    };
    Login login() const;
    void setLogin(const Login& login);

    // The fingerprint pinned for the server; empty when none.
    QString pin(const QString& host, int port) const;
    void setPin(const QString& host, int port, const QString& fingerprint);
    // False when there was none.
    bool forgetPin(const QString& host, int port);

private:
    QVariant value(const QString& key) const;
    void setValue(const QString& key, const QVariant& value);
    void remove(const QString& key);

    std::unique_ptr<QSettings> file_;
    QVariantMap memory_;
};

}  // namespace xq::hall
