#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "game/game_state.h"
#include "prefs/user_settings.h"
#include "records/pgn_reader.h"
#include "records/record_file.h"
#include "replay/replay_window.h"
#include "rules/fen.h"
#include "startup/session.h"

namespace xq {
namespace {

// Cannon to the centre, horse out, red horse out.
QiPuHistory Opening() {
    QiPuHistory h{QiPuItem{}};
    AddQiPu(h, 7, 7, 19, 7, 4, 0);
    AddQiPu(h, 0, 1, 2, 2, 2, 0);
    AddQiPu(h, 9, 7, 18, 7, 6, 0);
    return h;
}

constexpr const char* kEndgame = "3k5/9/9/9/9/9/9/9/4A4/4K1R2 w - - 0 1";

// The window with every question, answer and the clipboard in the test's hands.
struct Fixture {
    Fixture() {
        session.strAppPath = QStringLiteral("/nonexistent/game/");
        game.bteRedView = 1;
        window = new ReplayWindow(session, game, settings);
        window->askFileName = [this](const QString&, bool forSave, const QString& filter) {
            filters << QString(forSave ? "save " : "open ") + filter;
            return fileName;
        };
        window->askOverwrite = [](const QString&) { return true; };
        window->tellFailure = [this](const QString& text) { failures << text; };
        window->readClipboard = [this] { return clipboard; };
        window->writeClipboard = [this](const QString& text) { clipboard = text; };
        window->open(Opening(), {});
    }
    ~Fixture() { delete window; }

    void show() {
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window);
    }
    QByteArray read(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    Session session;
    GameState game;
    UserSettings settings;
    ReplayWindow* window;
    QString fileName;
    QString clipboard;
    QStringList filters;
    QStringList failures;
    QTemporaryDir dir;
};

TEST(ReplayFormats, TheBoardTurnsRoundByButtonAndKeyButNotWhileTyping) {
    Fixture f;
    f.show();
    const QiPan table = f.window->model().showBoard();
    f.window->flipButton()->click();
    EXPECT_TRUE(f.window->model().flipped());
    EXPECT_EQ(f.window->model().showBoard()[0][4], 20) << "the red king at the top";
    EXPECT_EQ(f.game.bteRedView, 1) << "the table's own view stays";

    f.window->list().setFocus();
    QTest::keyClick(&f.window->list(), Qt::Key_F);
    EXPECT_FALSE(f.window->model().flipped());
    EXPECT_EQ(f.window->model().showBoard(), table);

    f.window->fenBox().setFocus();
    QTest::keyClick(&f.window->fenBox(), Qt::Key_F);
    EXPECT_FALSE(f.window->model().flipped());
    EXPECT_EQ(f.window->fenBox().text(), "f");

    // Markers turn with the board.
    const QRect to = f.window->board().markerRect(1);
    f.window->flip();
    const QRect turned = f.window->board().markerRect(1);
    EXPECT_NE(turned, to);
    f.window->flip();
    EXPECT_EQ(f.window->board().markerRect(1), to);
}

TEST(ReplayFormats, APastedPositionIsSetUpAndTheShownOneCopied) {
    struct Case {
        const char* name;
        std::function<void(Fixture&, const QString&)> paste;
    };
    const Case cases[] = {
        {"paste button",
         [](Fixture& f, const QString& fen) {
             f.clipboard = fen;
             f.window->pasteButton()->click();
         }},
        {"text box and Enter",
         [](Fixture& f, const QString& fen) {
             f.window->fenBox().setText(fen);
             QTest::keyClick(&f.window->fenBox(), Qt::Key_Return);
         }},
        {"Ctrl+V on the list",
         [](Fixture& f, const QString& fen) {
             f.clipboard = fen;
             f.window->list().setFocus();
             QTest::keyClick(&f.window->list(), Qt::Key_V, Qt::ControlModifier);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.show();
        c.paste(f, QString(" ") + kEndgame + "\n");
        ASSERT_TRUE(f.failures.isEmpty()) << f.failures.join('\n').toStdString();
        EXPECT_EQ(f.window->model().moves(), 0);
        EXPECT_EQ(f.window->model().showBoard()[9][6], 17);
        EXPECT_EQ(f.window->model().file(), "");
        f.window->copyButton()->click();
        EXPECT_EQ(f.clipboard, kEndgame);
    }

    // A move played there, then its FEN; stepping back copies the earlier position.
    Fixture f;
    f.window->setUpFen(kEndgame);
    f.window->model().click(9, 6);
    f.window->model().click(0, 6);  // the chariot to the back rank
    EXPECT_EQ(f.window->model().list().lines(), QStringList{"红1 ：车三进九"});
    f.window->copyFen();
    EXPECT_EQ(f.clipboard, "3k2R2/9/9/9/9/9/9/9/4A4/4K4 b - - 0 1");
    f.window->pressNav(0);
    f.window->copyFen();
    EXPECT_EQ(f.clipboard, kEndgame) << "back at the start: the position set up";
}

TEST(ReplayFormats, AnImpossiblePositionIsToldAndChangesNothing) {
    const char* fens[] = {"", "rnbakabnr/9/9", "4k4/9/9/9/9/9/9/9/9/4K4 w",
                          "3k5/9/9/9/9/9/9/9/9/4K4 x"};
    for (const char* fen : fens) {
        SCOPED_TRACE(fen);
        Fixture f;
        f.clipboard = fen;
        f.window->pasteButton()->click();
        ASSERT_EQ(f.failures.size(), 1);
        EXPECT_TRUE(f.failures[0].startsWith("无法摆出这个局面：")) << f.failures[0].toStdString();
        EXPECT_EQ(f.window->model().moves(), 3);
    }
}

TEST(ReplayFormats, PgnSavedInTheChosenNotationOpensAsTheSameGame) {
    const struct {
        int notation;
        const char* format;
        const char* firstMoves;
    } cases[] = {
        {0, "ICCS", "1. h2e2 b9c7"},
        {1, "Chinese", "1. 炮二平五 马2进3"},
        {2, "WXF", "1. C2.5 H2+3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        Fixture f;
        f.window->recordTags = {{"Red", "张三"}, {"Black", "李四"}};
        f.window->notationBox().setCurrentIndex(c.notation);
        f.fileName = f.dir.filePath("game.pgn");
        f.window->command(1)->click();
        ASSERT_TRUE(f.failures.isEmpty()) << f.failures.join('\n').toStdString();
        const QString text = QString::fromUtf8(f.read(f.fileName));
        EXPECT_TRUE(text.contains(QString("[Format \"") + c.format + "\"]")) << text.toStdString();
        EXPECT_TRUE(text.contains("[Red \"张三\"]"));
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.firstMoves))) << text.toStdString();
        EXPECT_EQ(f.filters.first(), "save 中国象棋文件(*.drak);;PGN 棋谱文件(*.pgn)");

        Fixture other;
        other.fileName = f.fileName;
        other.window->command(2)->click();
        EXPECT_TRUE(other.filters.first().contains("*.pgn"));
        EXPECT_EQ(other.window->model().history(), Opening());
        EXPECT_EQ(other.window->model().file(), f.fileName);
        GameRecord shown;
        shown.tags = other.window->recordTags;
        EXPECT_EQ(shown.tag("Red"), "张三");
        EXPECT_EQ(shown.tag("Black"), "李四");
    }
}

TEST(ReplayFormats, AGameFromAPositionIsKeptInPgnButNotInDrak) {
    Fixture f;
    f.window->setUpFen(kEndgame);
    f.window->model().click(9, 6);
    f.window->model().click(0, 6);

    // Refused before anything is asked or written.
    f.fileName = f.dir.filePath("end.drak");
    f.window->command(1)->click();
    ASSERT_EQ(f.failures.size(), 1);
    EXPECT_TRUE(f.failures[0].contains("PGN")) << f.failures[0].toStdString();
    EXPECT_TRUE(f.failures[0].endsWith(f.fileName));
    EXPECT_FALSE(QFile::exists(f.fileName));
    EXPECT_EQ(f.filters.first(), "save PGN 棋谱文件(*.pgn);;中国象棋文件(*.drak)");

    f.fileName = f.dir.filePath("end.pgn");
    f.window->command(1)->click();
    EXPECT_EQ(f.failures.size(), 1);
    GameRecord read;
    ASSERT_TRUE(readPgn(QString::fromUtf8(f.read(f.fileName)), read));
    EXPECT_EQ(toFen(read.start), kEndgame);
    EXPECT_EQ(read.moves, f.window->model().history());

    // Opened again, restored after a variation, and its text export as the list shows it.
    Fixture other;
    other.fileName = f.fileName;
    other.window->command(2)->click();
    EXPECT_EQ(other.window->model().fen(), "3k2R2/9/9/9/9/9/9/9/4A4/4K4 b - - 0 1");
    other.window->model().click(0, 3);
    other.window->model().click(1, 3);
    EXPECT_EQ(other.window->model().moves(), 2);
    other.window->command(0)->click();
    EXPECT_EQ(other.window->model().moves(), 1);
    EXPECT_EQ(toFen(other.window->model().start()), kEndgame);
}

TEST(ReplayFormats, TheResultOfAPgnStaysOnlyWithItsMoves) {
    Fixture f;
    const QString path = f.dir.filePath("won.pgn");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Event \"杯赛\"]\n1. h2e2 b9c7 2. h0g2 1-0\n");
    file.close();
    f.fileName = path;
    f.window->command(2)->click();
    ASSERT_EQ(f.window->model().moves(), 3);

    f.fileName = f.dir.filePath("same.pgn");
    f.window->command(1)->click();
    EXPECT_TRUE(f.read(f.fileName).contains("[Result \"1-0\"]"));
    EXPECT_TRUE(f.read(f.fileName).contains("[Event \"杯赛\"]"));

    f.window->pressNav(0);
    f.window->pressNav(3);  // after red's first move
    f.window->model().click(0, 7);
    f.window->model().click(2, 6);  // a variation
    f.fileName = f.dir.filePath("tried.pgn");
    f.window->command(1)->click();
    EXPECT_TRUE(f.read(f.fileName).contains("[Result \"*\"]"));
}

TEST(ReplayFormats, RecordsThatDoNotReadOrWriteAreToldWithTheReason) {
    Fixture f;
    const QString bad = f.dir.filePath("bad.pgn");
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Event \"x\"]\n1. h2e2 h9g7\n2. 车九进九\n");
    file.close();
    f.fileName = bad;
    f.window->command(2)->click();
    ASSERT_EQ(f.failures.size(), 1);
    EXPECT_EQ(f.failures[0], "无法读入 PGN 棋谱：" + bad + "（第 3 行：“车九进九”这步棋走不了）");
    EXPECT_EQ(f.window->model().moves(), 3) << "the game shown stays";

    // A .drak game whose moves break the rules cannot be named move by move.
    QiPuHistory broken = Opening();
    broken[2].bteQiZi = 3;
    f.window->open(broken, {});
    f.fileName = f.dir.filePath("broken.pgn");
    f.window->command(1)->click();
    ASSERT_EQ(f.failures.size(), 2);
    EXPECT_TRUE(f.failures[1].startsWith("第 2 步棋（")) << f.failures[1].toStdString();
    EXPECT_FALSE(QFile::exists(f.fileName));
}

TEST(ReplayFormats, NewControlsStandApartBelowTheOldOnes) {
    Fixture f;
    QList<QWidget*> added = {&f.window->fenBox(), &f.window->notationBox(), f.window->pasteButton(),
                             f.window->copyButton(), f.window->flipButton()};
    QList<QWidget*> old = {&f.window->board(), &f.window->list()};
    for (int i = 0; i < 5; ++i)
        old << f.window->command(i);
    const QRect inside = f.window->rect();
    for (QWidget* w : added) {
        SCOPED_TRACE(w->metaObject()->className());
        EXPECT_TRUE(inside.contains(w->geometry()));
        for (QWidget* o : old)
            EXPECT_FALSE(w->geometry().intersects(o->geometry()));
        for (QWidget* other : added)
            EXPECT_TRUE(other == w || !w->geometry().intersects(other->geometry()));
    }
    EXPECT_EQ(f.window->flipButton()->text(), "翻 转");
    EXPECT_EQ(f.window->pasteButton()->text(), "粘贴局面");
    EXPECT_EQ(f.window->copyButton()->text(), "复制局面");
}

}  // namespace
}  // namespace xq
