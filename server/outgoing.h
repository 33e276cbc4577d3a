#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <initializer_list>

#include "net/codec.h"
#include "rules/history.h"
#include "server/table_terms.h"

namespace xq::server::out {

// Header bytes, then text in code page 936 (nothing after the header for an empty text).
Cmd withText(std::initializer_list<std::uint8_t> head, const QString& text);
Cmd bytes(std::initializer_list<std::uint8_t> b);

Cmd identity(const QString& name, const QString& watched);                  // 130, 3
Cmd userList(const QStringList& rows);                                      // 130, 2
Cmd playerArrived(const QString& row);                                      // 130, 4
Cmd spectatorArrived(const QByteArray& encodedRow);                         // 130, 0
Cmd presence(std::uint8_t sub, const QString& text);                        // 108, sub
Cmd leftTable(const QString& name);                                         // 110, 0
Cmd tableWaits();                                                           // 111, five fields
Cmd settingsStage(int seat, bool ownerConfirmed, const TableTerms& terms);  // 111, 18 fields
Cmd handUp(int raised, const QString& text);                                // 112, n
Cmd notice(const QString& text);                                            // 24
Cmd gameStart(int redSeat, const TableTerms& terms);                        // 17, 19 bytes
Cmd moveEcho(int seat, const QiPuItem& move, const std::array<std::uint8_t, 3>& bank);
Cmd gameEnd(qint32 score0, qint32 score1, int result, const QString& reason);  // 25
Cmd recordMoves(const QiPuHistory& history);                                   // 23, 3, moves

}  // namespace xq::server::out
