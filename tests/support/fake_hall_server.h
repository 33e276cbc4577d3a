#pragma once

// A small hall server on 127.0.0.1 for the hall's tests. It keeps the room's hall protocol as the
// room server does: the hello and its refusals, the rows sent on arrival and on every change, the
// reservations with their checks, the chat relay and the goodbye. It does not run tables:
// reservations never expire and no table client logs in; tests change the tables themselves.

#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <optional>

#include "net/cp936.h"
#include "net/frame.h"
#include "net/hall_messages.h"
#include "socket/room_socket.h"

namespace xq::test {

class FakeHallServer {
public:
    explicit FakeHallServer(int tables = 4) {
        for (int n = 1; n <= tables; ++n)
            tables_.append(hall::TableRow{n, {}, {}, 0, false});
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                accept(socket);
        });
    }
    ~FakeHallServer() {
        for (const auto& c : clients_)
            c->socket->disconnect();
    }

    quint16 port() const { return server_.serverPort(); }

    // --- The room as a test sets it up; every change is told to everybody in the hall.

    // Someone at a seat who is not in the hall (he came by his table client alone).
    void seat(int table, int seat, const QString& name, int score) {
        hall::TableRow* row = tableRow(table);
        if (row == nullptr || (seat != 0 && seat != 1)) return;
        row->names[static_cast<std::size_t>(seat)] = name;
        row->scores[static_cast<std::size_t>(seat)] = score;
        broadcast(hall::tableChanged(*row));
    }
    void setTable(const hall::TableRow& row) {
        if (hall::TableRow* known = tableRow(row.number)) *known = row;
        broadcast(hall::tableChanged(row));
    }
    // Another user in the hall, without a connection of his own.
    void addPlayer(const hall::PlayerRow& row) {
        others_[row.name] = row;
        broadcast(hall::playerChanged(row));
    }
    void removePlayer(const QString& name) {
        others_.remove(name);
        broadcast(hall::playerLeft(name));
    }
    // A message or raw bytes to everybody in the hall.
    void sendToAll(const QByteArray& message) { broadcast(message); }
    void sendBytesToAll(const QByteArray& bytes) {
        for (const auto& c : clients_) {
            if (c->inHall) c->socket->write(bytes);
        }
    }
    // The server goes: every connection ends.
    void closeAll() {
        const auto all = clients_;  // a socket may report its end at once, which changes the list
        for (const auto& c : all)
            c->socket->disconnectFromHost();
    }

    // --- What the hall's users sent after their hello, in order.
    QList<hall::in::ClientMessage> received;
    QStringList hellos;  // the names, as they came

    template <typename T>
    int count() const {
        int n = 0;
        for (const auto& m : received)
            n += std::holds_alternative<T>(m) ? 1 : 0;
        return n;
    }
    template <typename T>
    std::optional<T> last() const {
        for (auto it = received.crbegin(); it != received.crend(); ++it) {
            if (const T* m = std::get_if<T>(&*it)) return *m;
        }
        return std::nullopt;
    }
    int inHall() const {
        int n = 0;
        for (const auto& c : clients_)
            n += c->inHall ? 1 : 0;
        return n;
    }
    const QList<hall::TableRow>& tables() const { return tables_; }

private:
    struct Client {
        QTcpSocket* socket = nullptr;
        FrameReader reader;
        bool inHall = false;
        hall::PlayerRow row;
    };

    void accept(QTcpSocket* socket) {
        auto client = std::make_shared<Client>();
        client->socket = socket;
        socket->setParent(&server_);
        clients_.append(client);
        // The handlers keep the client alive while they run, even when it leaves meanwhile.
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, client] { read(*client); });
        QObject::connect(socket, &QTcpSocket::disconnected, socket,
                         [this, client] { gone(*client); });
    }

    void read(Client& c) {
        const bool intact = c.reader.feed(c.socket->readAll());
        while (c.reader.hasFrame() && c.socket->state() == QAbstractSocket::ConnectedState) {
            const QByteArray frame = c.reader.takeFrame();
            // The longest frame a hall user may send: a hello, then a chat line.
            if (frame.size() > (c.inHall ? 2048 : 139)) return refuse(c, {});
            if (!c.inHall) {
                hello(c, frame);
            } else {
                request(c, frame);
            }
        }
        if (!intact) c.socket->abort();
    }

    void hello(Client& c, const QByteArray& frame) {
        const QByteArray prefix(hall::kHelloPrefix);
        QString text;
        if (!frame.startsWith(prefix) || !decodeCp936(frame.mid(prefix.size()), text))
            return refuse(c, {});
        const QStringList fields = text.split(u'`');
        if (fields.size() != 2) return refuse(c, {});
        const QString& name = fields[0];
        const QString& ticket = fields[1];
        hellos << name;
        const bool noTicket = ticket.isEmpty() || ticket == u"-";
        if (!validName(name) || (!noTicket && !isTicket(ticket)))
            return refuse(c, QStringLiteral("用户名无效"));
        if (tickets_.contains(name) && tickets_[name] != ticket)
            return refuse(c, QStringLiteral("用户名 %1 已被他人使用").arg(name));
        if (find(name) != nullptr || others_.contains(name))
            return refuse(c, QStringLiteral("用户名 %1 已在大厅").arg(name));
        if (!noTicket) tickets_[name] = ticket;
        ++arrivals_;
        c.row = hall::PlayerRow{name, 10000 + arrivals_, 1000, 0, 0, 0, 0, 0, arrivals_ % 24,
                                0,    hall::Place::Seat0};
        c.inHall = true;
        send(c, hall::ownRow(c.row));
        QList<hall::PlayerRow> everybody = others_.values();
        for (const auto& other : clients_) {
            if (other->inHall) everybody << other->row;
        }
        send(c, hall::playerList(everybody));
        send(c, hall::tableList(tables_));
        broadcast(hall::playerChanged(c.row), &c);
    }

    void request(Client& c, const QByteArray& frame) {
        const auto message = hall::parseClientMessage(frame);
        if (!message) return;  // ignored, as the server ignores what it does not know
        received << *message;
        if (const auto* say = std::get_if<hall::in::Say>(&*message)) {
            broadcast(hall::chatLine(c.row.name, say->text));
        } else if (std::holds_alternative<hall::in::Leave>(*message)) {
            c.socket->disconnectFromHost();
        } else if (const auto* reserve = std::get_if<hall::in::Reserve>(&*message)) {
            reserveFor(c, *reserve);
        }
    }

    void reserveFor(Client& c, const hall::in::Reserve& r) {
        hall::TableRow* row = tableRow(r.table);
        const auto refuse = [&](const QString& reason) {
            send(c, hall::refused(r.table, r.place, reason));
        };
        if (row == nullptr) return refuse(QStringLiteral("没有第 %1 桌").arg(r.table));
        if (c.row.table != 0) return refuse(QStringLiteral("你已经在第 %1 桌").arg(c.row.table));
        if (r.place == hall::Place::Watch) {
            if (row->names[0].isEmpty() && row->names[1].isEmpty())
                return refuse(QStringLiteral("第 %1 桌没有人可以旁观").arg(r.table));
        } else {
            const auto seat = static_cast<std::size_t>(r.place);
            if (!row->names[seat].isEmpty()) return refuse(QStringLiteral("这个座位已经有人了"));
            row->names[seat] = c.row.name;
            row->scores[seat] = c.row.score;
            broadcast(hall::tableChanged(*row));
        }
        c.row.table = r.table;
        c.row.place = r.place;
        send(c, hall::ownRow(c.row));
        broadcast(hall::playerChanged(c.row));
        send(c,
             hall::granted(r.table, r.place,
                           QStringLiteral("%1").arg(++ticketsIssued_, 32, 16, QLatin1Char('0'))));
    }

    void refuse(Client& c, const QString& reason) {
        if (!reason.isEmpty()) send(c, hall::notice(reason));
        c.socket->disconnectFromHost();
    }

    void gone(Client& c) {
        const bool wasInHall = c.inHall;
        const QString name = c.row.name;
        c.inHall = false;
        for (qsizetype i = 0; i < clients_.size(); ++i) {
            if (clients_[i].get() == &c) {
                clients_[i]->socket->deleteLater();
                clients_.removeAt(i);
                break;
            }
        }
        if (wasInHall) broadcast(hall::playerLeft(name));
    }

    static bool validName(const QString& name) {
        if (name.isEmpty() || name.size() > 32 || name.contains(u'`')) return false;
        if (name.front().isSpace() || name.back().isSpace()) return false;
        for (QChar ch : name) {
            if (ch.category() == QChar::Other_Control) return false;
        }
        return true;
    }

    Client* find(const QString& name) {
        for (const auto& c : clients_) {
            if (c->inHall && c->row.name == name) return c.get();
        }
        return nullptr;
    }
    hall::TableRow* tableRow(int number) {
        return number >= 1 && number <= tables_.size() ? &tables_[number - 1] : nullptr;
    }
    static void send(Client& c, const QByteArray& message) {
        c.socket->write(encodeFrame(message));
    }
    void broadcast(const QByteArray& message, const Client* except = nullptr) {
        for (const auto& c : clients_) {
            if (c->inHall && c.get() != except) send(*c, message);
        }
    }

    QTcpServer server_;
    QList<std::shared_ptr<Client>> clients_;
    QMap<QString, hall::PlayerRow> others_;
    QMap<QString, QString> tickets_;
    QList<hall::TableRow> tables_;
    int arrivals_ = 0;
    int ticketsIssued_ = 0;
};

}  // namespace xq::test
