#include "game/room_connection.h"

#include <QCoreApplication>

#include "net/leading_number.h"
#include "net/table_requests.h"
#include "prefs/user_settings.h"
#include "startup/session.h"

namespace xq {

// What the socket is told to wait for a connection, in seconds.
constexpr long kConnectTimeout = 120;

RoomConnection::RoomConnection(const Session& session, const UserSettings& settings,
                               QObject* parent)
    : QObject(parent), session_(session), settings_(settings) {
    connect(&socket_, &RoomSocket::connected, this,
            [this] { send(tablemsg::encode(tablemsg::Login{settings_.bteAllowLookOnSee != 0})); });
    connect(&socket_, &RoomSocket::dataArrived, this, &RoomConnection::route);
    connect(&socket_, &RoomSocket::closed, this, [this] { end(false); });
    connect(&socket_, &RoomSocket::failed, this, [this] { end(true); });
}

void RoomConnection::ConnectRoomServer() {
    socket_.setUserName(session_.strMyUserName);
    socket_.setTicket(session_.strTicket);
    socket_.setTlsPolicy(tlsPolicyFromText(session_.strTlsPolicy));
    socket_.connectTo(session_.strRoomServerAddr, leadingLong(session_.strRoomServerPort),
                      kConnectTimeout);
}

void RoomConnection::send(const Cmd& message) {
    socket_.send(message);
}

void RoomConnection::route(const Cmd& message) {
    if (message.isEmpty()) return;
    const tablemsg::ParsedEvent parsed = tablemsg::parseEvent(message);
    if (isRoomCode(tablemsg::codeOf(parsed))) {
        if (onRoomMessage) onRoomMessage(parsed);
    } else if (onGameMessage) {
        onGameMessage(parsed);
    }
}

void RoomConnection::holdMessages(bool hold) {
    if (hold) {
        socket_.holdMessages();
    } else {
        socket_.releaseMessages();
    }
}

void RoomConnection::end(bool failedToConnect) {
    if (onEnd) {
        onEnd(failedToConnect);
    } else {
        QCoreApplication::quit();
    }
}

}  // namespace xq
