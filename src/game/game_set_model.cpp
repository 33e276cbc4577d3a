#include "game/game_set_model.h"

#include <algorithm>

#include "game/user_row.h"
#include "net/leading_number.h"
#include "net/table_requests.h"

namespace xq {

bool GameSetModel::SetInitGameSetInfo(bool deskMaster, const QString& allGameSetInfo) {
    blnDeskMaster = deskMaster;
    if (deskMaster) {
        frameCaption = QStringLiteral("你是桌主，请进行本桌游戏设置");
        confirmCaption = QStringLiteral("确定");
        button0Caption = QStringLiteral("确定");
        button1Caption = QStringLiteral("取消");
    } else {
        frameCaption = QStringLiteral("桌主对本桌游戏进行的设置情况");
        confirmCaption = QStringLiteral("同意");
        button0Caption = QStringLiteral("同意");
        button1Caption = QStringLiteral("不同意");
    }
    const QStringList f = splitFields(allGameSetInfo);
    if (f.size() != 11) return false;
    txtUser[0] = f[0];
    lngStakeMax = leadingLong(f[1]);
    lngStakeMin = leadingLong(f[2]);
    txtUser[1] = f[3];
    lngPenaltyMax = leadingLong(f[4]);
    lngPenaltyMin = leadingLong(f[5]);
    for (int i = 2; i < kBoxes; ++i)
        txtUser[static_cast<std::size_t>(i)] = f[i + 4];
    counter = 0;
    timerEnabled = true;
    return true;
}

bool GameSetModel::setBox(int index, const QString& text) {
    if (index < 0 || index >= kBoxes) return false;
    if (!std::all_of(text.cbegin(), text.cend(), acceptChar)) return false;
    txtUser[static_cast<std::size_t>(index)] = text;
    return true;
}

bool GameSetModel::acceptKey(int key) {
    return (key >= '0' && key <= '9') || key == 8;
}

GameSetModel::Tick GameSetModel::tick() {
    if (counter > kCountFrom) {  // already run out: nothing left to count or press
        timerEnabled = false;
        return {{}, false};
    }
    Tick t{confirmCaption + u' ' + QString::number(kCountFrom - counter), false};
    ++counter;
    if (counter > kCountFrom) {
        timerEnabled = false;
        t.press = true;
    }
    return t;
}

std::optional<QString> GameSetModel::validate() const {
    for (const QString& box : txtUser) {
        if (box.size() > kMaxDigits) return QStringLiteral("每个输入区域的数字不能超过 8 位！");
    }
    const std::int32_t stake = leadingLong(txtUser[0]);
    if (stake > lngStakeMax || stake < lngStakeMin) {
        return QStringLiteral("本桌大小必须在 %1 和 %2 之间！").arg(lngStakeMin).arg(lngStakeMax);
    }
    const std::int32_t penalty = leadingLong(txtUser[1]);
    if (penalty > lngPenaltyMax || penalty < lngPenaltyMin) {
        return QStringLiteral("逃跑者扣分大小必须在 %1 和 %2 之间！")
            .arg(lngPenaltyMin)
            .arg(lngPenaltyMax);
    }
    const struct {
        int box;
        std::int32_t limit;
        const char16_t* message;
    } kTimeChecks[] = {
        {2, 30, u"本局总用时的 时 不能超过 30小时"},
        {3, 60, u"本局总用时的 分 不能超过 60分钟"},
        {4, 60, u"本局总用时的 秒 不能超过 60秒"},
        {5, 60, u"超时后每步限时的 分 不能超过 60分钟"},
        {6, 60, u"超时后每步限时的 秒 不能超过 60秒"},
    };
    for (const auto& check : kTimeChecks) {
        if (leadingLong(txtUser[static_cast<std::size_t>(check.box)]) > check.limit) {
            return QString::fromUtf16(check.message);
        }
    }
    return std::nullopt;
}

QString GameSetModel::settingsText() const {
    const QStringList fields = {txtUser[0],
                                QString::number(lngStakeMax),
                                QString::number(lngStakeMin),
                                txtUser[1],
                                QString::number(lngPenaltyMax),
                                QString::number(lngPenaltyMin),
                                txtUser[2],
                                txtUser[3],
                                txtUser[4],
                                txtUser[5],
                                txtUser[6]};
    return fields.join(u'`');
}

GameSetModel::Press GameSetModel::press(int button, const QString& myName) {
    timerEnabled = false;
    if (button == 1) return {tablemsg::encode(tablemsg::Leave{myName}), {}, true};
    if (button != 0) return {{}, {}, false};
    if (!blnDeskMaster) return {tablemsg::encode(tablemsg::HandUp{myName}), {}, true};
    if (const auto failure = validate()) {
        // Refused before the end, the count-down goes on from where it was. Refused after it ran
        // out, it stays stopped: pressing again every second would bring the warning straight
        // back and leave the owner no time to mend the value.
        timerEnabled = counter <= kCountFrom;
        return {{}, *failure, false};
    }
    return {tablemsg::encode(tablemsg::OwnerSettings{myName, settingsText()}), {}, true};
}

}  // namespace xq
