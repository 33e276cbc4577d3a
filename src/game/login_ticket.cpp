#include "game/login_ticket.h"

#include "net/leading_number.h"
#include "socket/room_socket.h"

namespace xq {

QString loginTicket(const Session& s, const QString& handed, const QString& folder) {
    if (isTicket(handed)) return handed;
    if (isTicket(s.strExtParam[0])) return s.strExtParam[0];
    // The port as the connection reads it, so that the key names the room it goes to.
    const long port = leadingLong(s.strRoomServerPort);
    if (port < 1 || port > 65535 || s.strRoomServerAddr.isEmpty() || s.strMyUserName.isEmpty())
        return {};
    return keptTicket(s.strRoomServerAddr, static_cast<quint16>(port), s.strMyUserName, folder);
}

}  // namespace xq
