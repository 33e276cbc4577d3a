#include <gtest/gtest.h>

#include <QSignalSpy>

#include "hall/hall_model.h"

namespace xq::hall {
namespace {

PlayerRow P(const QString& name, int table = 0, Place place = Place::Seat0) {
    return PlayerRow{name, 10001, 1000, 3, 1, 1, 1, 0, 2, table, place};
}

TableRow T(int number, const QString& seat0 = {}, const QString& seat1 = {}, int spectators = 0) {
    return TableRow{number,
                    {seat0, seat1},
                    {seat0.isEmpty() ? 0 : 1000, seat1.isEmpty() ? 0 : 900},
                    spectators,
                    false};
}

// The players as "name@table" in their order, and the tables as "number:seat0/seat1".
QString PlayersText(const HallModel& m) {
    QStringList out;
    for (const PlayerRow& r : m.players().rows())
        out << (r.table > 0 ? QStringLiteral("%1@%2").arg(r.name).arg(r.table) : r.name);
    return out.join(u',');
}

QString TablesText(const HallModel& m) {
    QStringList out;
    for (const TableRow& r : m.tables())
        out << QStringLiteral("%1:%2/%3").arg(r.number).arg(r.names[0], r.names[1]);
    return out.join(u',');
}

TEST(HallModel, FollowsTheServersMessages) {
    using M = in::ServerMessage;
    const struct {
        const char* what;
        QList<M> script;
        QString players;
        QString tables;
    } cases[] = {
        {"a list replaces the one before",
         {in::Players{{P("a"), P("b")}}, in::Players{{P("c")}}, in::Tables{{T(1), T(2)}},
          in::Tables{{T(3)}}},
         "c",
         "3:/"},
        {"an empty list empties", {in::Players{{P("a")}}, in::Players{{}}}, "", ""},
        {"a changed row changes in its place",
         {in::Players{{P("a"), P("b")}}, in::PlayerChanged{P("a", 2)}},
         "a@2,b",
         ""},
        {"a newcomer comes last", {in::Players{{P("a")}}, in::PlayerChanged{P("b")}}, "a,b", ""},
        {"a leaver goes; an unknown leaver changes nothing",
         {in::Players{{P("a"), P("b")}}, in::PlayerLeft{"nobody"}, in::PlayerLeft{"a"}},
         "b",
         ""},
        {"a name twice in a list keeps its last row",
         {in::Players{{P("a"), P("b"), P("a", 4)}}},
         "a@4,b",
         ""},
        {"the own row joins the hall's rows",
         {in::Players{{P("a")}}, in::OwnRow{P("me")}, in::OwnRow{P("me", 3)}},
         "a,me@3",
         ""},
        {"a table's change replaces its row",
         {in::Tables{{T(1), T(2)}}, in::TableChanged{T(2, "x")}},
         "",
         "1:/,2:x/"},
        {"a change to a table the room lacks is ignored",
         {in::Tables{{T(1), T(2)}}, in::TableChanged{T(7, "x")}, in::TableChanged{T(3, "y")}},
         "",
         "1:/,2:/"},
        {"tables out of order or twice are kept sorted and once",
         {in::Tables{{T(3, "c"), T(1), T(3, "d"), T(2)}}, in::TableChanged{T(3, "e")}},
         "",
         "1:/,2:/,3:e/"},
        {"changes before any list are ignored",
         {in::TableChanged{T(1, "x")}, in::PlayerLeft{"a"}},
         "",
         ""},
        {"a batch of rows changes the known and adds the newcomers in order",
         {in::Players{{P("a"), P("b")}}, in::PlayerRows{{P("c"), P("b", 2), P("d"), P("c", 5)}}},
         "a,b@2,c@5,d",
         ""},
        {"a batch of names takes them out, the unknown ones change nothing",
         {in::Players{{P("a"), P("b"), P("c")}}, in::PlayersGone{{"c", "nobody", "a", "c"}}},
         "b",
         ""},
        {"a batch of tables changes each, the unknown ones are ignored",
         {in::Tables{{T(1), T(2), T(3)}}, in::TableRows{{T(3, "x"), T(9, "y"), T(1, "", "z")}}},
         "",
         "1:/z,2:/,3:x/"},
        {"a whole list in pieces is the list",
         {in::Players{{P("old")}}, in::Players{{P("a")}}, in::PlayerRows{{P("b")}}},
         "a,b",
         ""},
        {"chat, reservations and notices leave the room as it is",
         {in::Players{{P("a")}}, in::Chat{"a", "hi"}, in::Reservation{true, 1, Place::Seat0, {}},
          in::Notice{"x"}},
         "a",
         ""},
    };
    for (const auto& c : cases) {
        HallModel model;
        for (const M& m : c.script)
            model.apply(m);
        EXPECT_EQ(PlayersText(model), c.players) << c.what;
        EXPECT_EQ(TablesText(model), c.tables) << c.what;
    }
}

TEST(HallModel, ACrowdsBatchesKeepTheListAsTheServerHasIt) {
    // A hall of thousands, then a turn in which hundreds come and hundreds go.
    HallModel model;
    QList<PlayerRow> all;
    for (int n = 0; n < 3000; ++n)
        all.append(P(QStringLiteral("p%1").arg(n)));
    model.apply(in::Players{all.mid(0, 2000)});
    model.apply(in::PlayerRows{all.mid(2000)});
    QStringList gone;
    for (int n = 0; n < 3000; n += 7)
        gone << QStringLiteral("p%1").arg(n);
    QList<PlayerRow> changed;
    for (int n = 1; n < 3000; n += 7)
        changed.append(P(QStringLiteral("p%1").arg(n), 4));
    model.apply(in::PlayersGone{gone});
    model.apply(in::PlayerRows{changed});
    ASSERT_EQ(model.players().rows().size(), 3000 - gone.size());
    for (int n = 0; n < 3000; ++n) {
        const PlayerRow* r = model.players().find(QStringLiteral("p%1").arg(n));
        if (n % 7 == 0) {
            EXPECT_EQ(r, nullptr) << n;
        } else {
            ASSERT_NE(r, nullptr) << n;
            EXPECT_EQ(r->table, n % 7 == 1 ? 4 : 0) << n;
        }
    }
    // The rows kept their order; one more goes, alone, and the others still find their rows.
    EXPECT_EQ(model.players().rows().first().name, QStringLiteral("p1"));
    model.apply(in::PlayerLeft{"p1"});
    EXPECT_EQ(model.players().find(QStringLiteral("p2999"))->name, QStringLiteral("p2999"));
    EXPECT_EQ(model.players().rows().first().name, QStringLiteral("p2"));
}

TEST(HallModel, TellsWhichTableChangedAndOnlyWhenItDid) {
    HallModel model;
    QSignalSpy changed(&model, &HallModel::tableChanged);
    QSignalSpy reset(&model, &HallModel::tablesReset);
    model.apply(in::Tables{{T(1), T(2)}});
    EXPECT_EQ(reset.count(), 1);
    model.apply(in::TableChanged{T(2, "x")});
    model.apply(in::TableChanged{T(2, "x")});  // the same row again
    model.apply(in::TableChanged{T(9, "x")});  // no such table
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.front().front().toInt(), 2);
    ASSERT_NE(model.table(2), nullptr);
    EXPECT_EQ(model.table(2)->names[0], QStringLiteral("x"));
    EXPECT_EQ(model.table(9), nullptr);
    EXPECT_EQ(model.table(0), nullptr);
}

TEST(HallModel, ForgetsEverythingWhenCleared) {
    HallModel model;
    model.apply(in::OwnRow{P("me", 1)});
    model.apply(in::Players{{P("a"), P("me", 1)}});
    model.apply(in::Tables{{T(1, "me")}});
    model.clear();
    EXPECT_FALSE(model.ownRow().has_value());
    EXPECT_EQ(model.players().rowCount(), 0);
    EXPECT_TRUE(model.tables().isEmpty());
    // A new login with another name: the old name is not marked as the own row any more.
    model.apply(in::Players{{P("me")}});
    EXPECT_FALSE(model.players().index(0, 0).data(PlayerListModel::kOwnRole).toBool());
}

TEST(PlayerList, ShowsLevelsNumbersAndPlaces) {
    PlayerListModel list;
    list.setOwnName("me");
    PlayerRow me{"me", 10042, 2500, 40, 20, 15, 5, 2, 7, 3, Place::Watch};
    list.setRows({P("a", 2, Place::Seat1), me, P("b")});
    const auto cell = [&](int row, int column) { return list.index(row, column).data(); };
    EXPECT_EQ(cell(1, PlayerListModel::kLevel).toString(), QStringLiteral("中农"));
    EXPECT_EQ(cell(1, PlayerListModel::kScore).toInt(), 2500);
    EXPECT_EQ(cell(1, PlayerListModel::kTable).toString(), QStringLiteral("3号桌旁观"));
    EXPECT_EQ(cell(0, PlayerListModel::kTable).toString(), QStringLiteral("2号桌"));
    EXPECT_EQ(cell(2, PlayerListModel::kTable).toString(), QString());
    EXPECT_EQ(cell(1, PlayerListModel::kUserNumber).toInt(), 10042);
    EXPECT_EQ(cell(1, PlayerListModel::kEscapes).toInt(), 2);
    EXPECT_TRUE(list.index(1, 0).data(PlayerListModel::kOwnRole).toBool());
    EXPECT_FALSE(list.index(0, 0).data(PlayerListModel::kOwnRole).toBool());
    const QString tip = list.index(1, 3).data(Qt::ToolTipRole).toString();
    for (const char* part : {"10042", "中农", "2500", "胜 20", "负 15", "和 5", "逃跑：2"})
        EXPECT_TRUE(tip.contains(QString::fromUtf8(part))) << part << " in " << tip.toStdString();
    EXPECT_FALSE(list.index(3, 0).data().isValid());
    EXPECT_FALSE(list.index(-1, 0).data().isValid());
}

}  // namespace
}  // namespace xq::hall
