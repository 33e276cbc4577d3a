// The seven control panel commands.

#include "game/table.h"
#include "net/table_requests.h"
#include "records/record_failure_text.h"
#include "records/record_file.h"

namespace xq {

void Table::DoUserOpt(int index) {
    if (moving_) {  // a command given while a piece slides runs once the move is on the board
        afterMove_.push_back([this, index] { DoUserOpt(index); });
        return;
    }
    const bool myTurn = !s.blnLookOn && g.bteGameState == s.bteMySeat && !blnWaitAnswer;
    switch (index) {
        case kBtnStart:
            if (!s.blnLookOn) SendStart();
            return;
        case kBtnDraw:
            if (!myTurn) return;
            Send(tablemsg::encode(tablemsg::Ask{tablemsg::Topic::Draw, s.bteMySeat}));
            blnWaitAnswer = true;
            Notice(QStringLiteral("正在与对方协商和棋操作，请稍等......"));
            return;
        case kBtnResign:
            if (myTurn) Send(tablemsg::encode(tablemsg::Resign{s.bteMySeat, false}));
            return;
        case kBtnUndo:
            if (!myTurn) return;
            if (qiPuUpperBound(g.QiPuData) <= 3) {
                Box(1, QStringLiteral("悔棋失败：系统要求每人必须至少下够两步棋，才能进行悔棋！"),
                    {}, 5);
                return;
            }
            Send(tablemsg::encode(tablemsg::Ask{tablemsg::Topic::Undo, s.bteMySeat}));
            blnWaitAnswer = true;
            Notice(QStringLiteral("正在与对方协商悔棋操作，请稍等......"));
            return;
        case kBtnSave: {
            // The game goes on (or ends) while the dialog is open: what is on the table then is
            // saved, unless the table was cleared meanwhile; then the moves the user asked for.
            const QiPuHistory asked = recordToSave();
            const QString path = screen.getQiPuFileName(QStringLiteral("保存 中国象棋 文件"), true);
            if (path.isEmpty()) return;
            const QiPuHistory& now = recordToSave();
            const QiPuHistory& record = qiPuUpperBound(now) >= 1 ? now : asked;
            QString error;
            // The game must not be lost silently: a failed save is told to the user.
            if (!SaveQiPuFile(path, record, &error)) Box(1, saveFailureText(path, error));
            return;
        }
        case kBtnLoad: {
            const auto mayLoad = [this] {
                return !s.blnLookOn && g.bteGameState >= kStateNoGameFrom && !blnWaitAnswer &&
                       !s.SeatUsers[s.bteMySeat].intHandUp;
            };
            if (!mayLoad()) return;
            const unsigned asked = phase_;
            const std::int16_t go =
                Box(2, QStringLiteral("读入操作必须经过对方同意方可进行，是否继续?"), {}, 10,
                    QStringLiteral("继续"), QStringLiteral("取消"), false);
            // A game may have started, or a hand been raised, while the question was open.
            if (go == MsgPool::kNo || asked != phase_ || !mayLoad()) return;
            Send(tablemsg::encode(tablemsg::Ask{tablemsg::Topic::Load, s.bteMySeat}));
            blnWaitAnswer = true;
            Notice(QStringLiteral("正在与对方协商 读入 操作，请稍等......"));
            return;
        }
        case kBtnReplay: {
            // Between games the game that just ended is the one to look back on; its window
            // can still open any record file.
            if (g.blnNoGame && qiPuUpperBound(g.finishedGame) >= 1) {
                screen.openReplay(finishedRecord());
                return;
            }
            screen.openReplayFromFile();
            return;
        }
        default:
            return;
    }
}

}  // namespace xq
