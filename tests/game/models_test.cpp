#include <gtest/gtest.h>

#include "game/game_set_model.h"
#include "table_harness.h"

namespace xq {
namespace {

using namespace xq::test;

TEST(MsgPool, LowestFreeSlotGrowthTagsAndOwnAnswers) {
    FakeScreen screen;
    MsgPool pool(screen);
    screen.pool = &pool;
    pool.InitMsgObjects("/opt/hall/");
    EXPECT_EQ(pool.strMsgIconPath(), "/opt/hall/res\\");
    EXPECT_EQ(pool.lngMsgObjectUBound(), -1);
    pool.ShowMsg(0, 0, "a", {}, 0, {}, {}, true);
    pool.ShowMsg(7, 0, "b", {}, 0, {}, {}, true);
    EXPECT_EQ(pool.lngMsgObjectUBound(), 1);
    pool.CloseMsgObjects(0);
    EXPECT_EQ(pool.openBoxes(), 1) << "only the boxes with the tag";
    pool.ShowMsg(0, 0, "c", {}, 0, {}, {}, true);
    EXPECT_EQ(pool.lngMsgObjectUBound(), 1) << "slot 0 reused";
    pool.ShowMsg(0, 0, "d", {}, 0, {}, {}, true);
    EXPECT_EQ(pool.lngMsgObjectUBound(), 2) << "grown by exactly one";

    // Questions answer with their own buttons.
    screen.answerBox = [](const MsgBoxInfo&) { return 0; };
    EXPECT_EQ(pool.ShowMsg(0, 2, "q", "t", 10, "是", "否", false), MsgPool::kYes);
    screen.answerBox = [](const MsgBoxInfo&) { return 1; };
    EXPECT_EQ(pool.ShowMsg(0, 2, "q", "t", 10, "是", "否", false), MsgPool::kNo);

    // A question closed by the pool answers No, even though its slot held a Yes before.
    screen.answerBox = [](const MsgBoxInfo&) { return -1; };
    screen.whileBoxOpen = [&pool](const MsgBoxInfo&) { pool.CloseMsgObjects(0); };
    EXPECT_EQ(pool.ShowMsg(0, 1, "q", "t", 10, "是", {}, true), MsgPool::kNo);
    EXPECT_EQ(pool.openBoxes(), 1) << "the box with tag 7 stays";
}

TEST(MsgCountdown, CaptionsAndTheAutomaticAnswer) {
    MsgBoxInfo question{0, 2, "n", "t", 10, "同意", "拒绝", false, {}};
    MsgCountdown q(question);
    EXPECT_EQ(q.countingButton(), 1);
    QStringList captions;
    MsgCountdown::Tick t{};
    int ticks = 0;
    do {
        t = q.tick();
        captions << t.caption;
        ++ticks;
    } while (!t.fire);
    EXPECT_EQ(ticks, 11);
    EXPECT_EQ(captions.first(), "拒绝(&N) 10");
    EXPECT_EQ(captions.last(), "拒绝(&N) 0");
    EXPECT_FALSE(q.running());

    MsgBoxInfo confirm{0, 1, "n", "t", 0, "确定", {}, false, {}};
    MsgCountdown c(confirm);
    EXPECT_EQ(c.countingButton(), 0) << "a one-button box counts on Yes";
    t = c.tick();
    EXPECT_EQ(t.caption, "确定(&Y) 0");
    EXPECT_TRUE(t.fire) << "a count-down of 0 answers at the first tick";

    MsgCountdown notice(MsgBoxInfo{0, 0, "n", {}, 10, {}, {}, true, {}});
    EXPECT_FALSE(notice.tick().fire);
}

TEST(GameSetModel, FillsValidatesAndAnswers) {
    const QString terms = QStringLiteral("100`1000`10`5`50`0`0`30`0`0`30");
    GameSetModel m;
    EXPECT_FALSE(m.SetInitGameSetInfo(true, "1`2`3"));
    ASSERT_TRUE(m.SetInitGameSetInfo(true, terms));
    EXPECT_EQ(m.frameCaption, "你是桌主，请进行本桌游戏设置");
    EXPECT_EQ(m.txtUser[0], "100");
    EXPECT_EQ(m.lngStakeMin, 10);
    EXPECT_EQ(m.lngStakeMax, 1000);
    EXPECT_EQ(m.txtUser[1], "5");
    EXPECT_EQ(m.txtUser[3], "30");
    EXPECT_EQ(m.txtUser[6], "30");
    EXPECT_EQ(m.settingsText(), terms);

    const struct {
        int box;
        const char* value;
        const char* failure;  // nullptr: accepted
    } cases[] = {
        {0, "10", nullptr},
        {0, "1000", nullptr},
        {0, "9", "本桌大小必须在 10 和 1000 之间！"},
        {0, "1001", "本桌大小必须在 10 和 1000 之间！"},
        {1, "51", "逃跑者扣分大小必须在 0 和 50 之间！"},
        {2, "30", nullptr},
        {2, "31", "本局总用时的 时 不能超过 30小时"},
        {3, "60", nullptr},
        {3, "61", "本局总用时的 分 不能超过 60分钟"},
        {4, "61", "本局总用时的 秒 不能超过 60秒"},
        {5, "61", "超时后每步限时的 分 不能超过 60分钟"},
        {6, "60", nullptr},
        {6, "61", "超时后每步限时的 秒 不能超过 60秒"},
        {6, "", nullptr},
        {2, "123456789", "每个输入区域的数字不能超过 8 位！"},
        {0, "123456789", "每个输入区域的数字不能超过 8 位！"},
    };
    for (const auto& c : cases) {
        GameSetModel v;
        v.SetInitGameSetInfo(true, terms);
        v.txtUser[static_cast<std::size_t>(c.box)] = c.value;
        const auto failure = v.validate();
        if (c.failure == nullptr) {
            EXPECT_FALSE(failure.has_value()) << c.box << "=" << c.value;
        } else {
            EXPECT_EQ(failure.value_or(""), QString::fromUtf8(c.failure))
                << c.box << "=" << c.value;
        }
    }

    // A refused confirmation keeps the dialog and its count-down.
    m.txtUser[0] = "5";
    m.counter = 7;
    const auto refused = m.press(0, "红方");
    EXPECT_FALSE(refused.close);
    EXPECT_TRUE(refused.message.isEmpty());
    EXPECT_TRUE(m.timerEnabled);
    EXPECT_EQ(m.counter, 7);
    m.txtUser[0] = "100";
    const auto confirmed = m.press(0, "红方");
    EXPECT_TRUE(confirmed.close);
    EXPECT_EQ(CmdToString(confirmed.message, 2), QStringLiteral("红方`") + terms);
    EXPECT_EQ(CmdToString(m.press(1, "红方").message, 2), "红方");
    EXPECT_EQ(byteAt(m.press(1, "红方").message, 0), 110);

    for (int key : {int{'0'}, int{'9'}, 8})
        EXPECT_TRUE(GameSetModel::acceptKey(key)) << key;
    for (int key : {int{'a'}, int{'-'}, 13, int{' '}, int{'.'}})
        EXPECT_FALSE(GameSetModel::acceptKey(key)) << key;
}

TEST(GameSetModel, BoxesTakeDigitsOnly) {
    const struct {
        int box;
        const char* text;
        bool kept;
    } cases[] = {
        {0, "123", true},       {6, "", true},      {3, "00", true},   {0, "12a", false},
        {1, " 1", false},       {2, "-1", false},   {4, "1.5", false}, {5, "１２", false},
        {0, "٣", false},        {0, "1\n2", false}, {-1, "1", false},  {7, "1", false},
        {0, "1\u20002", false},
    };
    for (const auto& c : cases) {
        GameSetModel m;
        ASSERT_TRUE(m.SetInitGameSetInfo(true, "100`1000`10`5`50`0`0`30`0`0`30"));
        const auto before = m.txtUser;
        EXPECT_EQ(m.setBox(c.box, QString::fromUtf8(c.text)), c.kept) << c.box << c.text;
        if (c.kept) {
            EXPECT_EQ(m.txtUser[static_cast<std::size_t>(c.box)], QString::fromUtf8(c.text));
        } else {
            EXPECT_EQ(m.txtUser, before) << c.box << c.text;
        }
    }
}

// A refused confirmation: before the end the count-down goes on where it was; after the
// count-down pressed by itself it stops, so the owner has time to mend the value.
TEST(GameSetModel, RefusalKeepsTheCountDownOnlyBeforeItsEnd) {
    const struct {
        long counter;  // ticks run when the confirm button is pressed
        bool goesOn;
    } cases[] = {{0, true}, {7, true}, {20, true}, {21, false}, {25, false}};
    for (const auto& c : cases) {
        GameSetModel m;
        ASSERT_TRUE(m.SetInitGameSetInfo(true, "5`1000`10`5`50`0`0`30`0`0`30"));
        m.counter = c.counter;
        const auto refused = m.press(0, "红方");
        EXPECT_EQ(refused.warning, "本桌大小必须在 10 和 1000 之间！") << c.counter;
        EXPECT_FALSE(refused.close);
        EXPECT_EQ(m.timerEnabled, c.goesOn) << c.counter;
        EXPECT_EQ(m.counter, c.counter) << "the count is never reset";
    }

    // Left alone with a stake out of range: the count-down runs out, presses once, is refused
    // and stays stopped; no caption ever shows a negative count.
    GameSetModel m;
    ASSERT_TRUE(m.SetInitGameSetInfo(true, "5`1000`10`5`50`0`0`30`0`0`30"));
    int presses = 0;
    QString lastCaption;
    for (int second = 0; second < 30; ++second) {
        if (!m.timerEnabled) continue;
        const auto t = m.tick();
        if (!t.caption.isEmpty()) lastCaption = t.caption;
        EXPECT_FALSE(t.caption.contains(u'-')) << t.caption.toStdString();
        if (t.press) {
            ++presses;
            EXPECT_FALSE(m.press(0, "红方").warning.isEmpty());
        }
    }
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(lastCaption, "确定 0");
    EXPECT_FALSE(m.timerEnabled);
    // A stray tick after the end neither counts below zero nor presses.
    const auto late = m.tick();
    EXPECT_TRUE(late.caption.isEmpty());
    EXPECT_FALSE(late.press);
    // The owner mends the stake and confirms.
    m.txtUser[0] = "10";
    EXPECT_TRUE(m.press(0, "红方").close);
}

TEST(GameSetModel, AgreementCountsDownFromTwentyAndAgreesByItself) {
    GameSetModel m;
    ASSERT_TRUE(m.SetInitGameSetInfo(false, "100`1000`10`5`50`0`0`30`0`0`30"));
    EXPECT_EQ(m.button1Caption, "不同意");
    QStringList captions;
    GameSetModel::Tick t{};
    int ticks = 0;
    do {
        t = m.tick();
        captions << t.caption;
        ++ticks;
    } while (!t.press);
    EXPECT_EQ(ticks, 21);
    EXPECT_EQ(captions.first(), "同意 20");
    EXPECT_EQ(captions.last(), "同意 0");
    EXPECT_FALSE(m.timerEnabled);
    const auto agreed = m.press(0, "黑方");
    EXPECT_EQ(byteAt(agreed.message, 0), 112);
    EXPECT_EQ(byteAt(agreed.message, 1), 1);
}

TEST(UserListModel, RowsKeyedByName) {
    UserListModel list;
    list.setLevelTable("长工_100`短工_200");
    EXPECT_EQ(list.loadAll(Row("甲", 0) + "\n" + Row("乙", 1) + "\r\n\n" + Row("甲", 2)), "甲`乙");
    EXPECT_EQ(list.rowCount(), 2);
    EXPECT_EQ(splitFields(list.findRow("甲"))[13], "2");
    list.addRow(Row("乙", 5));
    EXPECT_EQ(splitFields(list.findRow("乙"))[13], "1") << "no second row for a name";
    list.updateRow(Row("乙", 5));
    EXPECT_EQ(splitFields(list.findRow("乙"))[13], "5");
    list.removeRow("甲");
    list.removeRow("无");
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.data(list.index(0, 3), Qt::DisplayRole).toString(), "短工")
        << "level 1000 shown by title";
    EXPECT_EQ(list.findRow("甲"), "");
}

}  // namespace
}  // namespace xq
