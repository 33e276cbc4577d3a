// The seven control panel commands.

#include "game/table.h"
#include "net/messages.h"
#include "records/record_file.h"

namespace xq {

void Table::DoUserOpt(int index) {
    const bool myTurn = !s.blnLookOn && g.bteGameState == s.bteMySeat && !blnWaitAnswer;
    switch (index) {
        case kBtnStart:
            if (!s.blnLookOn) SendStart();
            return;
        case kBtnDraw:
            if (!myTurn) return;
            Send(msg::DrawOffer(s.bteMySeat));
            blnWaitAnswer = true;
            Notice(QStringLiteral("正在与对方协商和棋操作，请稍等......"));
            return;
        case kBtnResign:
            if (myTurn) Send(msg::Resign(s.bteMySeat));
            return;
        case kBtnUndo:
            if (!myTurn) return;
            if (QiPuUpperBound(g.QiPuData) <= 3) {
                Box(1, QStringLiteral("悔棋失败：系统要求每人必须至少下够两步棋，才能进行悔棋！"),
                    {}, 5);
                return;
            }
            Send(msg::UndoRequest(s.bteMySeat));
            blnWaitAnswer = true;
            Notice(QStringLiteral("正在与对方协商悔棋操作，请稍等......"));
            return;
        case kBtnSave: {
            const QString path = screen.getQiPuFileName(QStringLiteral("保存 中国象棋 文件"), true);
            if (path.isEmpty()) return;
            QString error;
            // The game must not be lost silently: a failed save is told to the user.
            if (!SaveQiPuFile(path, g.QiPuData, &error)) {
                Box(1, QStringLiteral("棋谱保存失败：") + path + QStringLiteral("\n") + error);
            }
            return;
        }
        case kBtnLoad: {
            if (s.blnLookOn || g.bteGameState < kStateNoGameFrom || blnWaitAnswer ||
                s.SeatUsers[s.bteMySeat].intHandUp) {
                return;
            }
            const std::int16_t go =
                Box(2, QStringLiteral("读入操作必须经过对方同意方可进行，是否继续?"), {}, 10,
                    QStringLiteral("继续"), QStringLiteral("取消"), false);
            if (go == MsgPool::kNo) return;
            Send(msg::LoadRequest(s.bteMySeat));
            blnWaitAnswer = true;
            Notice(QStringLiteral("正在与对方协商 读入 操作，请稍等......"));
            return;
        }
        case kBtnReplay: {
            const QString path =
                screen.getQiPuFileName(QStringLiteral("打开 要复盘的中国象棋 文件"), false);
            QiPuHistory record;
            if (!path.isEmpty() && LoadQiPuFile(path, record)) screen.openReplay(record);
            return;
        }
        default:
            return;
    }
}

}  // namespace xq
