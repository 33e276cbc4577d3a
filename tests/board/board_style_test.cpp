// A style value outside 0..3 in the settings file: the style boxes and the board agree on the
// default style, instead of the box showing one style and the board drawing another.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "../support/table_board_view.h"
#include "../ui/window_fixture.h"
#include "board/board_view.h"
#include "prefs/user_settings.h"
#include "ui/game_pane.h"

namespace xq {
namespace {

// A program folder with the generated backgrounds and piece strips and the given settings file.
QString ProgramFolder(const QTemporaryDir& dir, const QByteArray& settings) {
    const QDir game(dir.path());
    game.mkpath(QStringLiteral("Res"));
    const QDir skins(QStringLiteral(XQ_TEST_GAME_DIR "/Res"));
    for (const QString& name :
         skins.entryList({QStringLiteral("QiPanBack_*"), QStringLiteral("Big_Qz_*")})) {
        QFile::copy(skins.filePath(name), game.filePath(QStringLiteral("Res/") + name));
    }
    QFile file(game.filePath(QStringLiteral("UserSet.ini")));
    file.open(QIODevice::WriteOnly);
    file.write(settings);
    return dir.path() + u'/';
}

TEST(BoardStyles, ValuesOutsideTheRangeAreTheDefaultInTheBoxesAndOnTheBoard) {
    const struct {
        const char* board;
        const char* pieces;
        int shownBoard, shownPieces;
    } cases[] = {
        {"7", "9", 1, 1},
        {"4", "255", 1, 1},
        {"3", "0", 3, 0},
        {"0", "4", 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.board << " " << c.pieces);
        QTemporaryDir dir;
        const QString folder =
            ProgramFolder(dir, QByteArray(" 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n ") + c.board +
                                   " \r\n " + c.pieces + " \r\n");
        WindowFixture f(folder);
        f.window->resize(1024, 736);
        f.window->layOutPanes();
        GamePane& pane = f.window->gamePane();
        EXPECT_EQ(pane.boardStyleBox().currentIndex(), c.shownBoard);
        EXPECT_EQ(pane.pieceStyleBox().currentIndex(), c.shownPieces);

        BoardView& board = pane.board();
        f.state.game.bteShowQiPan[9][4] = 0x14;
        f.state.game.bteShowQiPan[0][4] = 0x04;
        board.repaintBoard();
        ASSERT_FALSE(board.surface().isNull());
        // The board as it looks with the styles the boxes show.
        UserSettings shown;
        shown.bteQiPanStyle = static_cast<std::uint8_t>(c.shownBoard);
        shown.bteQiZiStyle = static_cast<std::uint8_t>(c.shownPieces);
        GameState game;
        game.bteShowQiPan = f.state.game.bteShowQiPan;
        game.bteRedView = f.state.game.bteRedView;
        test::TableBoardView expected(f.state.session, game, shown);
        expected.resize(board.size());
        expected.repaintBoard();
        EXPECT_TRUE(board.surface() == expected.surface());
    }
}

// A style picked in a box is kept in the settings file at once, the other style stays, and the
// board is drawn in it.
TEST(BoardStyles, APickedStyleIsKeptInTheFileAndDrawn) {
    const struct {
        bool boardBox;
        Qt::Key key;
        int board, pieces;  // what the file holds after the pick, from 2 and 1
    } cases[] = {
        {true, Qt::Key_Down, 3, 1},
        {true, Qt::Key_Up, 1, 1},
        {false, Qt::Key_Down, 2, 2},
        {false, Qt::Key_Up, 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.boardBox << " " << c.key);
        QTemporaryDir dir;
        const QString folder =
            ProgramFolder(dir, " 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 2 \r\n 1 \r\n");
        WindowFixture f(folder);
        f.window->resize(1024, 736);
        f.window->layOutPanes();
        GamePane& pane = f.window->gamePane();
        QComboBox& box = c.boardBox ? pane.boardStyleBox() : pane.pieceStyleBox();
        QTest::keyClick(&box, c.key);

        UserSettings kept;
        LoadUserSet(kept, folder);
        EXPECT_EQ(kept.bteQiPanStyle, c.board);
        EXPECT_EQ(kept.bteQiZiStyle, c.pieces);
        EXPECT_EQ(f.state.settings.bteQiPanStyle, c.board);
        EXPECT_EQ(f.state.settings.bteQiZiStyle, c.pieces);

        BoardView& board = pane.board();
        ASSERT_FALSE(board.surface().isNull());
        UserSettings shown;
        shown.bteQiPanStyle = static_cast<std::uint8_t>(c.board);
        shown.bteQiZiStyle = static_cast<std::uint8_t>(c.pieces);
        test::TableBoardView expected(f.state.session, f.state.game, shown);
        expected.resize(board.size());
        expected.repaintBoard();
        EXPECT_TRUE(board.surface() == expected.surface());
    }
}

// A settings file that cannot be written (here a folder stands in its place): the pick is told,
// with the reason, and still drawn and kept for this run.
TEST(BoardStyles, APickThatCannotBeKeptIsToldAndStillDrawn) {
    QTemporaryDir dir;
    const QString folder = ProgramFolder(dir, " 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 2 \r\n 1 \r\n");
    WindowFixture f(folder);
    ASSERT_TRUE(QFile::remove(folder + QStringLiteral("UserSet.ini")));
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("UserSet.ini")));
    f.window->resize(1024, 736);
    f.window->layOutPanes();
    GamePane& pane = f.window->gamePane();
    QStringList told;
    pane.tellSaveFailure = [&](const QString& text) { told << text; };
    const QImage before = pane.board().surface();

    QTest::keyClick(&pane.boardStyleBox(), Qt::Key_Down);

    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith(QStringLiteral("用户设置无法保存："))) << told[0].toStdString();
    EXPECT_GT(told[0].size(), QStringLiteral("用户设置无法保存：").size()) << "the reason is given";
    EXPECT_EQ(f.state.settings.bteQiPanStyle, 3);
    EXPECT_FALSE(pane.board().surface() == before) << "the new style is drawn";
}

}  // namespace
}  // namespace xq
