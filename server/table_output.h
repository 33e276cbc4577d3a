#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include "net/codec.h"

namespace xq::server {

// A participant of the table: a network connection or an in-process player. Ids are never reused.
using ConnId = quint64;
using ConnIds = QList<ConnId>;

// Everything the table does to the outside world. The table never sees sockets: whoever
// implements this routes a message to the participants by id.
class TableOutput {
public:
    virtual ~TableOutput() = default;
    // One message for several recipients, so that it can be framed once and shared.
    virtual void send(const ConnIds& to, const Cmd& message) = 0;
    // Ends a participant's session after what was sent to it has gone out. The table has already
    // forgotten the id when it calls this.
    virtual void close(ConnId id) = 0;
    virtual void log(const QString& line) = 0;
};

}  // namespace xq::server
