#pragma once

#include <QObject>
#include <functional>

#include "net/codec.h"
#include "net/table_events.h"
#include "socket/room_socket.h"

namespace xq {

struct Session;
struct UserSettings;

// The table's link to the room server: connects to the address of the launch data, logs in once
// the connection stands, routes every arriving message to the room or the game side, and ends the
// program when the connection ends.
class RoomConnection : public QObject {
    Q_OBJECT

public:
    RoomConnection(const Session& session, const UserSettings& settings, QObject* parent = nullptr);

    // Each message is read once, here, and handed on as the codec read it.
    std::function<void(const tablemsg::ParsedEvent&)> onRoomMessage;
    std::function<void(const tablemsg::ParsedEvent&)> onGameMessage;
    // Called once when the connection closes (false) or cannot be made (true), after the last
    // message. Without it the event loop quits.
    std::function<void(bool failedToConnect)> onEnd;
    // Received messages wait while held; they follow in order once released.
    void holdMessages(bool hold);

    // Connects to the room server of the launch data (the port read by the leading-number rule).
    void ConnectRoomServer();

    // Sends a message unchanged; an empty one is nothing to send.
    void send(const Cmd& message);

    RoomSocket& socket() { return socket_; }
    // Why the connection could not be made, when it was the encryption; empty otherwise.
    QString failureReason() const { return socket_.failureReason(); }

private:
    void route(const Cmd& message);
    void end(bool failedToConnect);

    const Session& session_;
    const UserSettings& settings_;
    RoomSocket socket_;
};

}  // namespace xq
