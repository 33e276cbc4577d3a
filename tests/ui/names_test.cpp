#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>

#include "ui/msg_box.h"
#include "ui/user_menu.h"

namespace xq {
namespace {

// What a widget with access keys shows of its text: "&" marks the next character and is not
// shown, so "&&" shows one "&".
QString ShownCaption(const QString& text) {
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && ++i >= text.size()) break;
        shown += text[i];
    }
    return shown;
}

const QString kNames[] = {"A&B", "&&x", "&", "x&", "甲&&&乙", "普通"};

TEST(NamesWithAmpersands, TheUserMenuShowsThemAsTheyAre) {
    for (const QString& name : kNames) {
        const QStringList captions = {name + "   身份：普通会员",
                                      "游戏ID：10001",
                                      "旁观对象：" + name,
                                      "-",
                                      "与他（她）交谈",
                                      "-",
                                      "级别:新手   胜率:50%   逃跑率:0%",
                                      "经验:100   胜:1   输:1   和:0   总局数:2"};
        UserMenu menu;
        menu.setItems(captions, name);
        QStringList shown;
        for (const QAction* a : menu.actions()) {
            if (a->isSeparator()) continue;
            shown << ShownCaption(a->text());
            EXPECT_EQ(shown.back(), a->iconText()) << "Qt strips the marks the same way";
        }
        QStringList expected = captions;
        expected.removeAll("-");
        EXPECT_EQ(shown, expected) << name.toStdString();
        // Choosing "talk with him" still names the person himself.
        QString chosen;
        QObject::connect(&menu, &UserMenu::chosen, [&](int, const QString& who) { chosen = who; });
        menu.actions().at(4)->trigger();
        EXPECT_EQ(chosen, name);
    }
}

TEST(NamesWithAmpersands, AMessageBoxShowsThemAsTheyAre) {
    for (const QString& name : kNames) {
        const MsgBoxInfo info{
            0,     2, name + " 想与你和棋，你是否同意?", name + "的棋桌", 10, "同意", "拒绝",
            false, {}};
        MsgBox box(info, {}, nullptr);
        const QLabel* note = box.findChild<QLabel*>();
        ASSERT_NE(note, nullptr);
        // A label without a buddy and in plain text shows its text as it is.
        EXPECT_EQ(note->buddy(), nullptr);
        EXPECT_EQ(note->textFormat(), Qt::PlainText);
        EXPECT_EQ(note->text(), info.note);
        EXPECT_EQ(box.windowTitle(), info.caption);
        EXPECT_EQ(ShownCaption(box.button(0)->text()), "同意(Y)");
        EXPECT_EQ(ShownCaption(box.button(1)->text()), "拒绝(N)");
    }
}

}  // namespace
}  // namespace xq
