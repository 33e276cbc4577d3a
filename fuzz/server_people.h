#pragma once

#include <QSet>
#include <QString>
#include <array>

#include "server/table.h"

namespace xq::fuzz {

// Four people who come and go at a server table the way real connections do: each has a fixed
// name and, at any moment, the connection id of its latest login. A connection the table closes
// is reported gone right after the step that closed it, as the network layer would.
class ServerPeople : public server::TableOutput {
public:
    static constexpr int kCount = 4;

    ServerPeople() : table(*this) {}

    void send(const server::ConnIds& to, const Cmd& message) override {
        for (server::ConnId id : to) {
            if (!open_.contains(id)) __builtin_trap();  // sent to a connection that is gone
        }
        onSend(to, message);
    }
    void close(server::ConnId id) override { closing_.insert(id); }
    void log(const QString&) override {}

    static QString name(int who) {
        static const std::array<QString, kCount> names{QStringLiteral("甲"), QStringLiteral("乙"),
                                                       QStringLiteral("丙"), QStringLiteral("丁")};
        return names[static_cast<std::size_t>(who % kCount)];
    }

    // A new connection for this person, with one of three tickets (the first is none).
    void login(int who, int ticket, bool allowWatch) {
        static const std::array<QString, 3> tickets{QString(), QStringLiteral("t-one"),
                                                    QStringLiteral("t-two")};
        conn_[static_cast<std::size_t>(who % kCount)] =
            arrive(name(who), allowWatch, tickets[static_cast<std::size_t>(ticket % 3)]);
    }
    // A connection of anybody's, as its hello and login said.
    server::ConnId arrive(const QString& someone, bool allowWatch, const QString& ticket) {
        const server::ConnId id = nextId_++;
        open_.insert(id);
        table.login(id, someone, allowWatch, ticket);
        settle();
        return id;
    }
    void receive(int who, const Cmd& message) {
        receiveOn(conn_[static_cast<std::size_t>(who % kCount)], message);
    }
    void receiveOn(server::ConnId id, const Cmd& message) {
        if (!open_.contains(id)) return;
        table.receive(id, message);
        settle();
    }
    void disconnect(int who) {
        const server::ConnId id = conn_[static_cast<std::size_t>(who % kCount)];
        if (!open_.remove(id)) return;
        table.disconnect(id);
        settle();
    }
    void advance(qint64 ms) {
        now_ += ms;
        table.advanceTo(now_);
        settle();
    }
    qint64 now() const { return now_; }
    server::ConnId conn(int who) const { return conn_[static_cast<std::size_t>(who % kCount)]; }

    server::RoomTable table;

protected:
    virtual void onSend(const server::ConnIds&, const Cmd&) {}

private:
    // Connections the table closed end now, and the table hears of it.
    void settle() {
        while (!closing_.isEmpty()) {
            const server::ConnId id = *closing_.begin();
            closing_.remove(id);
            if (open_.remove(id)) table.disconnect(id);
        }
    }

    std::array<server::ConnId, kCount> conn_{};
    QSet<server::ConnId> open_;
    QSet<server::ConnId> closing_;
    server::ConnId nextId_ = 1;
    qint64 now_ = 0;
};

}  // namespace xq::fuzz
