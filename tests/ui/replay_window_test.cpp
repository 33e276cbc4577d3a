#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <cstdlib>
#include <functional>

#include "game/game_state.h"
#include "prefs/user_settings.h"
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

// Both left chariots step out and back, over and over: a game long enough to page through.
// Move k (1-based) goes to a point of its own within each group of four.
QiPuHistory Shuffle(int moves) {
    QiPuHistory h{QiPuItem{}};
    for (int k = 0; k < moves; ++k) {
        switch (k % 4) {
            case 0:
                AddQiPu(h, 9, 0, 17, 8, 0, 0);
                break;
            case 1:
                AddQiPu(h, 0, 0, 1, 1, 0, 0);
                break;
            case 2:
                AddQiPu(h, 8, 0, 17, 9, 0, 0);
                break;
            default:
                AddQiPu(h, 1, 0, 1, 0, 0, 0);
                break;
        }
    }
    return h;
}

struct ReplayFixture {
    explicit ReplayFixture(const QiPuHistory& history = Opening(),
                           const QString& appPath = QStringLiteral("/nonexistent/game/")) {
        session.strAppPath = appPath;
        game.bteRedView = 1;
        window = new ReplayWindow(session, game, settings);
        window->askFileName = [this](const QString&, bool, const QString&) { return fileName; };
        window->askOverwrite = [this](const QString&) { return overwrite; };
        window->tellFailure = [this](const QString& text) { failures << text; };
        window->open(history, {});
    }
    ~ReplayFixture() { delete window; }

    // The list's highlighted line, -1 for none.
    int listRow() const {
        const QModelIndexList rows = window->list().selectionModel()->selectedIndexes();
        return rows.size() == 1 ? rows.first().row() : -1;
    }

    Session session;
    GameState game;
    UserSettings settings;
    ReplayWindow* window;
    QString fileName;
    bool overwrite = true;
    QStringList failures;
};

TEST(ReplayWindow, NavigationButtonsAndAutoPlay) {
    ReplayFixture f;
    EXPECT_EQ(f.window->hitNavButton(QPoint(593, 320)), 0);
    EXPECT_EQ(f.window->hitNavButton(QPoint(592, 320)), -1) << "edges are outside";
    EXPECT_EQ(f.window->hitNavButton(QPoint(593 + 22 * 4, 337)), 4);
    f.window->pressNav(0);
    EXPECT_EQ(f.window->model().step(), 0) << "the start position";
    f.window->pressNav(3);
    EXPECT_EQ(f.window->model().step(), 1);
    f.window->pressNav(4);
    EXPECT_EQ(f.window->model().step(), 3);
    // Auto-play at the last move only stops at its first tick.
    f.window->pressNav(2);
    EXPECT_TRUE(f.window->autoPlaying());
    f.window->autoPlayTick();
    EXPECT_FALSE(f.window->autoPlaying());
    EXPECT_EQ(f.window->model().step(), 3);
}

TEST(ReplayWindow, ExportWritesTheWholeListAndAskesBeforeOverwriting) {
    ReplayFixture f;
    QTemporaryDir dir;
    f.fileName = dir.filePath("game.txt");
    f.window->pressNav(0);  // stepping back does not shorten the export
    f.window->command(3)->click();
    QFile text(f.fileName);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(text.readAll(), textRecordBytes(f.window->model().list().lines()));
    EXPECT_EQ(f.window->model().list().count(), 3);
    text.close();

    // No to the overwrite question leaves the file as it was.
    QFile::remove(f.fileName);
    QFile existing(f.fileName);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();
    f.overwrite = false;
    f.window->command(3)->click();
    f.fileName = dir.filePath("game.drak");
    QFile::copy(dir.filePath("game.txt"), f.fileName);
    f.window->command(1)->click();
    QFile kept(dir.filePath("game.txt"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "keep");
    QFile keptRecord(f.fileName);
    ASSERT_TRUE(keptRecord.open(QIODevice::ReadOnly));
    EXPECT_EQ(keptRecord.readAll(), "keep");

    // Saving into a folder that does not exist is told.
    f.fileName = dir.filePath("no/such/game.drak");
    f.window->command(1)->click();
    ASSERT_EQ(f.failures.size(), 1);
    EXPECT_TRUE(f.failures[0].startsWith("棋谱保存失败："));
}

TEST(ReplayWindow, OpenAndRestoreReadAFileAndLeaveTheGameOnFailure) {
    ReplayFixture f;
    QTemporaryDir dir;
    QiPuHistory one{QiPuItem{}};
    AddQiPu(one, 6, 0, 23, 5, 0, 0);
    ASSERT_TRUE(SaveQiPuFile(dir.filePath("one.drak"), one));
    f.fileName = dir.filePath("one.drak");
    f.window->command(2)->click();
    EXPECT_EQ(f.window->model().moves(), 1);
    EXPECT_EQ(f.window->model().file(), f.fileName);
    // A broken file does not replace the game shown.
    QFile broken(dir.filePath("broken.drak"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("1#2#3\r\n");
    broken.close();
    f.fileName = broken.fileName();
    f.window->command(2)->click();
    EXPECT_EQ(f.window->model().moves(), 1);
    // Restore reads the remembered file again, dropping the user's own moves.
    f.window->model().click(3, 0);
    f.window->model().click(4, 0);
    EXPECT_EQ(f.window->model().moves(), 2);
    f.window->command(0)->click();
    EXPECT_EQ(f.window->model().moves(), 1);
}

// Mouse and keys as the system delivers them, without moving the mouse in between.
void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons held = Qt::NoButton) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
void Click(QWidget* w, QPoint at) {
    Mouse(w, QEvent::MouseButtonPress, at, Qt::LeftButton);
    Mouse(w, QEvent::MouseButtonRelease, at);
}
void Key(QWidget* w, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(w, &release);
}

// The middle of navigation button i, by the numbers of the layout.
QPoint NavButton(int i) {
    return {592 + 22 * i + 9, 319 + 9};
}

// The list's highlight, the move shown and the markers on the board must all tell the same move;
// no line and no markers for the start position.
void ExpectBoardFollowsList(ReplayFixture& f, const QiPuHistory& history) {
    const int row = f.listRow();
    EXPECT_EQ(f.window->model().step(), row + 1);
    ReplayModel reference(f.game.bteRedView);
    reference.open(history, {});
    reference.goTo(row);
    EXPECT_EQ(f.window->model().showBoard(), reference.showBoard());
    if (row < 0) {
        EXPECT_TRUE(f.window->board().markerRect(0).isEmpty());
        EXPECT_TRUE(f.window->board().markerRect(1).isEmpty());
        return;
    }
    const QiPuMove m = *GetQiPu(history, row + 1);
    const BoardGeometry& g = f.window->board().geometry();
    EXPECT_EQ(f.window->board().markerRect(0).topLeft(), g.cell(m.fromRank, m.fromFile));
    EXPECT_EQ(f.window->board().markerRect(1).topLeft(), g.cell(m.toRank, m.toFile));
}

TEST(ReplayWindow, TheBoardFollowsTheListHoweverTheLineIsChosen) {
    struct Case {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        int from;
        int to;  // -1: a page away, as far as the list decides; -2: the start position
    };
    const Case cases[] = {
        {"down", Qt::Key_Down, Qt::NoModifier, 5, 6},
        {"up", Qt::Key_Up, Qt::NoModifier, 5, 4},
        {"up at the top", Qt::Key_Up, Qt::NoModifier, 0, -2},
        {"down at the bottom", Qt::Key_Down, Qt::NoModifier, 39, 39},
        {"home", Qt::Key_Home, Qt::NoModifier, 20, -2},
        {"end", Qt::Key_End, Qt::NoModifier, 3, 39},
        {"page down", Qt::Key_PageDown, Qt::NoModifier, 0, -1},
        {"page up", Qt::Key_PageUp, Qt::NoModifier, 39, -1},
        {"control space keeps the line", Qt::Key_Space, Qt::ControlModifier, 7, 7},
    };
    const QiPuHistory game = Shuffle(40);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReplayFixture f(game);
        f.window->show();
        QListView& list = f.window->list();
        list.setCurrentIndex(list.model()->index(c.from, 0));
        ASSERT_EQ(f.window->model().step(), c.from + 1);
        Key(&f.window->list(), c.key, c.modifiers);
        if (c.to >= -2 && c.to != -1) {
            EXPECT_EQ(f.listRow(), std::max(c.to, -1));
        } else {
            EXPECT_GT(std::abs(f.listRow() - c.from), 1);
        }
        ExpectBoardFollowsList(f, game);
    }

    // The mouse on a line.
    ReplayFixture f(game);
    f.window->show();
    QListView& list = f.window->list();
    const QModelIndex line = list.model()->index(2, 0);
    Click(list.viewport(), list.visualRect(line).center());
    EXPECT_EQ(f.listRow(), 2);
    ExpectBoardFollowsList(f, game);
}

// The first button, Home, Page Up and the back button or Up pressed often enough all end at the
// position before the first move: the opening of a .drak game, the set-up position of a FEN
// game; no line highlighted and no last-move markers, the side to move of that position.
TEST(ReplayWindow, EveryWayBackReachesTheStartPosition) {
    GameRecord drak;
    drak.moves = Opening();
    GameRecord fen;  // red without his left chariot, the same three moves
    fen.start = *parseFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/1NBAKABNR w - - 0 1");
    fen.moves = Opening();
    GameRecord black;  // black opens
    black.start =
        *parseFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - 0 1");
    black.moves = QiPuHistory{QiPuItem{}};
    AddQiPu(black.moves, 2, 7, 3, 2, 4, 0);  // 炮8平5
    AddQiPu(black.moves, 7, 7, 19, 7, 4, 0);
    const struct {
        const char* name;
        const GameRecord* game;
    } games[] = {{".drak", &drak}, {"FEN", &fen}, {"FEN, black first", &black}};
    const struct {
        const char* name;
        std::function<void(ReplayFixture&, long moves)> run;
    } commands[] = {
        {"first button", [](ReplayFixture& f, long) { Click(f.window, NavButton(0)); }},
        {"back button",
         [](ReplayFixture& f, long moves) {
             Mouse(f.window, QEvent::MouseMove, NavButton(1));
             for (long k = 0; k <= moves; ++k)  // once more than there are moves
                 Click(f.window, NavButton(1));
         }},
        {"Home", [](ReplayFixture& f, long) { Key(&f.window->list(), Qt::Key_Home); }},
        {"Page Up", [](ReplayFixture& f, long) { Key(&f.window->list(), Qt::Key_PageUp); }},
        {"Up",
         [](ReplayFixture& f, long moves) {
             for (long k = 0; k <= moves; ++k)
                 Key(&f.window->list(), Qt::Key_Up);
         }},
    };
    for (const auto& g : games) {
        for (const auto& c : commands) {
            SCOPED_TRACE(std::string(g.name) + ", " + c.name);
            ReplayFixture f;
            f.window->openRecord(*g.game, {});
            f.window->show();
            const long moves = f.window->model().moves();
            ASSERT_EQ(f.window->model().step(), moves);
            c.run(f, moves);
            EXPECT_EQ(f.window->model().step(), 0);
            EXPECT_EQ(f.window->model().board(), g.game->start.toQiPan());
            EXPECT_EQ(f.window->model().fen(), toFen(g.game->start));
            EXPECT_EQ(f.window->model().sideToMove(), g.game->start.sideToMove());
            EXPECT_EQ(f.listRow(), -1) << "no line stands for the start";
            EXPECT_EQ(f.window->model().list().selectedRow(), -1);
            EXPECT_EQ(f.window->model().list().count(), moves) << "the game stays whole";
            EXPECT_TRUE(f.window->board().markerRect(0).isEmpty());
            EXPECT_TRUE(f.window->board().markerRect(1).isEmpty());
            // From there the first move is one step on.
            Key(&f.window->list(), Qt::Key_Down);
            EXPECT_EQ(f.window->model().step(), 1);
            EXPECT_EQ(f.listRow(), 0);
            EXPECT_FALSE(f.window->board().markerRect(1).isEmpty());
        }
    }
}

TEST(ReplayWindow, EveryClickOnANavigationButtonCounts) {
    struct Case {
        const char* name;
        int button;
        int from;         // list line before (0: the start position)
        int between;      // a key on the list between the two clicks, 0 for none
        int afterFirst;   // step after the first click
        int afterSecond;  // step after the second
    };
    const Case cases[] = {
        {"first", 0, 9, Qt::Key_End, 0, 0},
        {"back", 1, 9, 0, 9, 8},
        {"forward", 3, 0, 0, 1, 2},  // from the start position
        {"last", 4, 0, Qt::Key_Home, 10, 10},
    };
    for (bool system : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (system ? ", a double click" : ", two clicks"));
            ReplayFixture f(Shuffle(10));
            f.window->show();
            f.window->pressNav(c.from == 0 ? 0 : 4);
            Mouse(f.window, QEvent::MouseMove, NavButton(c.button));
            int afterFirst = -1;
            auto between = [&] {
                afterFirst = static_cast<int>(f.window->model().step());
                if (c.between != 0) Key(&f.window->list(), c.between);
            };
            if (system) {
                Mouse(f.window, QEvent::MouseButtonPress, NavButton(c.button), Qt::LeftButton);
                Mouse(f.window, QEvent::MouseButtonRelease, NavButton(c.button));
                between();
                Mouse(f.window, QEvent::MouseButtonDblClick, NavButton(c.button), Qt::LeftButton);
                Mouse(f.window, QEvent::MouseButtonRelease, NavButton(c.button));
            } else {
                Click(f.window, NavButton(c.button));
                between();
                Click(f.window, NavButton(c.button));
            }
            EXPECT_EQ(afterFirst, c.afterFirst);
            EXPECT_EQ(f.window->model().step(), c.afterSecond);
            EXPECT_EQ(f.listRow(), c.afterSecond - 1);
        }
    }
}

TEST(ReplayWindow, AutoPlayRunsUntilStoppedEitherWay) {
    struct Case {
        const char* name;
        std::function<void(ReplayFixture&)> stop;
        int step;  // where the game stands after stopping
    };
    const Case cases[] = {
        {"auto-play clicked again", [](ReplayFixture& f) { Click(f.window, NavButton(2)); }, 2},
        {"first", [](ReplayFixture& f) { Click(f.window, NavButton(0)); }, 0},
        {"back", [](ReplayFixture& f) { Click(f.window, NavButton(1)); }, 1},
        {"forward", [](ReplayFixture& f) { Click(f.window, NavButton(3)); }, 3},
        {"last", [](ReplayFixture& f) { Click(f.window, NavButton(4)); }, 8},
        {"a key on the list", [](ReplayFixture& f) { Key(&f.window->list(), Qt::Key_Up); }, 1},
        {"the mouse on the list",
         [](ReplayFixture& f) {
             QListView& list = f.window->list();
             Click(list.viewport(), list.visualRect(list.model()->index(5, 0)).center());
         },
         6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReplayFixture f(Shuffle(8));
        f.window->show();
        f.window->pressNav(0);
        Click(f.window, NavButton(2));
        ASSERT_TRUE(f.window->autoPlaying());
        f.window->autoPlayTick();
        f.window->autoPlayTick();
        ASSERT_EQ(f.window->model().step(), 2) << "from the start position, two moves on";
        c.stop(f);
        EXPECT_FALSE(f.window->autoPlaying());
        EXPECT_EQ(f.window->model().step(), c.step);
        EXPECT_EQ(f.listRow(), c.step - 1);
    }

    // Left alone it plays to the end and stops there.
    ReplayFixture f(Shuffle(4));
    f.window->pressNav(0);
    f.window->pressNav(2);
    for (int tick = 0; tick < 5; ++tick)
        f.window->autoPlayTick();
    EXPECT_EQ(f.window->model().step(), 4);
    EXPECT_FALSE(f.window->autoPlaying());
}

TEST(ReplayWindow, ControlsStandWhereTheLayoutPutsThem) {
    ReplayFixture f;
    const int width = f.window->width();
    const int listWidth = width - 584;  // the list reaches to the right edge
    struct Place {
        const char* name;
        QWidget* widget;
        QRect rect;
    };
    std::vector<Place> places = {
        {"board", &f.window->board(), QRect(93, 20, 379, 418)},
        {"move list", &f.window->list(), QRect(584, 5, listWidth, 300)},
    };
    const char* commands[] = {"restore", "save", "open", "export", "close"};
    for (int i = 0; i < 5; ++i) {
        // Stacked without gaps, the first 48 pixels below the list.
        places.push_back(
            {commands[i], f.window->command(i), QRect(584, 5 + 300 + 48 + 22 * i, listWidth, 22)});
    }
    for (const Place& p : places) {
        EXPECT_EQ(p.widget->geometry(), p.rect) << p.name;
    }

    // The navigation buttons answer on 18 x 19 pixels, edges excluded, 14 below the list.
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const int x = 592 + 22 * i;
        const int y = 5 + 300 + 14;
        EXPECT_EQ(f.window->hitNavButton({x + 1, y + 1}), i);
        EXPECT_EQ(f.window->hitNavButton({x + 17, y + 18}), i);
        for (QPoint outside :
             {QPoint(x, y + 5), QPoint(x + 18, y + 5), QPoint(x + 5, y), QPoint(x + 5, y + 19)}) {
            EXPECT_EQ(f.window->hitNavButton(outside), -1) << outside.x() << "," << outside.y();
        }
    }

    // The window keeps its size.
    const QSize designed = f.window->size();
    f.window->show();
    f.window->resize(designed + QSize(120, 80));
    EXPECT_EQ(f.window->size(), designed);
}

// A skin folder of plain colours, so that every picture can be told apart on the screen.
struct PlainSkins {
    PlainSkins() {
        QDir(dir.path()).mkpath("Res");
        save("Res/fupanbk.bmp", QSize(575, 462), back);
        save("Res/FuPan_ButBk.bmp", QSize(126, 31), strip);
        QImage sheet(220, 19, QImage::Format_RGB32);
        for (int cell = 0; cell < 10; ++cell) {
            for (int y = 0; y < 19; ++y)
                for (int x = 0; x < 22; ++x)
                    sheet.setPixelColor(22 * cell + x, y, navColour(cell));
        }
        sheet.save(dir.filePath("Res/FuPan_But.bmp"), "BMP");
        for (int i = 0; i < 5; ++i)
            save(QStringLiteral("Res/FuPan_Cmd%1.bmp").arg(i), QSize(120, 22), commandColour(i));
    }
    void save(const QString& name, QSize size, QColor colour) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        image.save(dir.filePath(name), "BMP");
    }
    static QColor navColour(int cell) { return QColor(10 + 20 * cell, 200, 30); }
    static QColor commandColour(int i) { return QColor(200, 10 + 40 * i, 90); }
    QString base() const { return dir.path() + '/'; }

    QTemporaryDir dir;
    const QColor back{40, 50, 60};
    const QColor strip{250, 240, 10};
};

// The colours of a rectangle of an image, each once.
QSet<QRgb> ColoursIn(const QImage& image, const QRect& rect) {
    QSet<QRgb> out;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            out.insert(image.pixel(x, y));
    return out;
}

TEST(ReplayWindow, PicturesAreDrawnAloneAndInTheirPlaces) {
    PlainSkins skins;
    ReplayFixture f(Opening(), skins.base());
    f.window->show();
    Mouse(f.window, QEvent::MouseMove, NavButton(3));
    const QImage shot = f.window->grab().toImage();
    EXPECT_EQ(shot.pixelColor(3, 3), skins.back);
    EXPECT_NE(shot.pixelColor(2, 3), skins.back);
    EXPECT_EQ(shot.pixelColor(584, 320), skins.strip) << "the strip starts at 584";
    EXPECT_NE(shot.pixelColor(583, 320), skins.strip);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const int cell = i == 3 ? i + 5 : i;  // the one under the mouse is lit
        EXPECT_EQ(ColoursIn(shot, QRect(592 + 22 * i, 319, 22, 19)),
                  QSet<QRgb>{PlainSkins::navColour(cell).rgb()});
    }
    // A command button with a picture is that picture and nothing else; its text is gone.
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        QPushButton* b = f.window->command(i);
        EXPECT_TRUE(b->text().isEmpty());
        const QImage face = b->grab().toImage();
        EXPECT_EQ(ColoursIn(face, face.rect()), QSet<QRgb>{PlainSkins::commandColour(i).rgb()});
    }

    // Without pictures the buttons say what they do.
    ReplayFixture plain;
    const char16_t* captions[5] = {u"还 原", u"保 存", u"读 入", u"导出棋谱", u"关 闭"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(plain.window->command(i)->text(), QString::fromUtf16(captions[i]));
    }
}

TEST(ReplayWindow, FailuresAreToldInChineseWithTheSystemsReasonOnlyInBrackets) {
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.drak");
    const QString folder = dir.filePath("folder.drak");
    QDir(dir.path()).mkdir("folder.drak");
    const QString broken = dir.filePath("broken.drak");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("1#2#3\r\n");
    file.close();
    const QString nowhere = dir.filePath("no/such/game.drak");

    struct Case {
        const char* name;
        int command;
        QString path;    // what the file dialog answers
        QString opened;  // a record the window read before, "" for none
        QString words;   // the Chinese words before the path
        bool reason;     // the system's reason follows in brackets
    };
    const QString good = dir.filePath("good.drak");
    ASSERT_TRUE(SaveQiPuFile(good, Opening()));
    const Case cases[] = {
        {"open, no such file", 2, missing, "", "找不到棋谱文件：", false},
        {"open, a folder", 2, folder, "", "无法打开棋谱文件，它不是一个文件：", false},
        {"open, not a record", 2, broken, "", "无法读入，文件内容不是中国象棋棋谱：", false},
        {"restore, the file is gone", 0, "", missing, "找不到棋谱文件：", false},
        {"restore, the file was spoilt", 0, "", broken, "无法读入，文件内容不是中国象棋棋谱：",
         false},
        {"save", 1, nowhere, "", "棋谱保存失败：", true},
        {"export", 3, dir.filePath("no/such/game.txt"), "", "棋谱导出失败：", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReplayFixture f;
        QString shownPath = c.path;
        if (!c.opened.isEmpty()) {
            // The record read well when it was opened; it went bad since.
            QFile::remove(dir.filePath("was.drak"));
            ASSERT_TRUE(QFile::copy(good, dir.filePath("was.drak")));
            f.fileName = dir.filePath("was.drak");
            f.window->command(2)->click();
            ASSERT_EQ(f.window->model().file(), f.fileName);
            QFile::remove(f.fileName);
            if (c.opened == broken) {
                ASSERT_TRUE(QFile::copy(broken, f.fileName));
            }
            shownPath = f.fileName;
        }
        f.fileName = c.path;
        f.window->pressNav(0);
        f.window->command(c.command)->click();
        ASSERT_EQ(f.failures.size(), 1);
        const QString pattern = "^" + QRegularExpression::escape(c.words + shownPath) +
                                (c.reason ? "（[^（）\\n]+）$" : "$");
        EXPECT_TRUE(QRegularExpression(pattern).match(f.failures[0]).hasMatch())
            << f.failures[0].toStdString();
        EXPECT_EQ(f.window->model().step(), 0) << "the game shown stays";
        EXPECT_EQ(f.window->model().moves(), 3);
    }
}

}  // namespace
}  // namespace xq
