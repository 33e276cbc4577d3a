#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "records/record_file.h"

namespace xq {
namespace {

class RecordFile : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir_.filePath(name); }
    QString Write(const char* name, const QByteArray& bytes) const {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return Path(name);
    }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    QTemporaryDir dir_;
};

QiPuHistory TwoMoves() {
    QiPuHistory h{QiPuItem{}};
    AddQiPu(h, 7, 7, 19, 7, 4, 0);
    AddQiPu(h, 0, 1, 2, 2, 2, 0);
    return h;
}

TEST_F(RecordFile, SavesLinesOfFourNumbersAndReadsThemBack) {
    ASSERT_TRUE(SaveQiPuFile(Path("g.drak"), TwoMoves()));
    EXPECT_EQ(Read(Path("g.drak")), "119#19#116#0\r\n1#2#34#0\r\n");
    QiPuHistory h;
    ASSERT_TRUE(LoadQiPuFile(Path("g.drak"), h));
    EXPECT_EQ(h, TwoMoves());
    EXPECT_EQ(GetQiPu(h, 1), (QiPuMove{7, 7, 19, 7, 4, 0}));
}

TEST_F(RecordFile, EmptyGameIsAnEmptyFile) {
    ASSERT_TRUE(SaveQiPuFile(Path("e.drak"), QiPuHistory{QiPuItem{}}));
    EXPECT_EQ(QFile(Path("e.drak")).size(), 0);
    QiPuHistory h = TwoMoves();
    ASSERT_TRUE(LoadQiPuFile(Path("e.drak"), h));
    EXPECT_EQ(qiPuUpperBound(h), 0);
}

TEST_F(RecordFile, ReadsTolerantlyAndRefusesMalformedLinesWithoutTouchingTheGame) {
    const struct {
        const char* text;
        bool ok;
        QiPuHistory expected;
    } cases[] = {
        {"119#19#116#0", true, {{}, {119, 19, 116, 0}}},
        {"119#19#116#0\n1#2#34#0\n", true, {{}, {119, 19, 116, 0}, {1, 2, 34, 0}}},
        {"1#2#3#4,5#6#7#8\r\n", true, {{}, {1, 2, 3, 4}, {5, 6, 7, 8}}},
        {"300#12abc# 7#x\r\n", true, {{}, {0, 12, 7, 0}}},
        {"-1#255#255.4#2.5\r\n", true, {{}, {0, 255, 255, 2}}},
        {"1#2#3\r\n", false, {}},
        {"1#2#3#4\r\n1#2#3#4#5\r\n", false, {}},
        {"1#2#3#4\r\n\r\n5#6#7#8\r\n", false, {}},
    };
    for (const auto& c : cases) {
        const QString path = Write("t.drak", c.text);
        QiPuHistory h = TwoMoves();
        EXPECT_EQ(LoadQiPuFile(path, h), c.ok) << c.text;
        EXPECT_EQ(h, c.ok ? c.expected : TwoMoves()) << c.text;
    }
    QiPuHistory h = TwoMoves();
    EXPECT_FALSE(LoadQiPuFile(Path("missing.drak"), h));
    EXPECT_FALSE(LoadQiPuFile(dir_.path(), h)) << "a folder is not a record";
    EXPECT_EQ(h, TwoMoves());
}

TEST_F(RecordFile, FailedSaveIsReportedAndKeepsTheOldFile) {
    const QString path = Write("keep.drak", "1#2#3#4\r\n");
    QString error;
    EXPECT_FALSE(SaveQiPuFile(dir_.filePath("no/such/folder/x.drak"), TwoMoves(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Read(path), "1#2#3#4\r\n");
}

TEST_F(RecordFile, TextRecordIsCodePageLinesWithCrLf) {
    ASSERT_TRUE(saveTextRecord(Path("t.txt"), {"红1 ：炮二平五", "黑1 ：马2进3"}));
    EXPECT_EQ(Read(Path("t.txt")), QByteArray("\xba\xec"
                                              "1 \xa3\xba\xc5\xda\xb6\xfe\xc6\xbd\xce\xe5\r\n"
                                              "\xba\xda"
                                              "1 \xa3\xba\xc2\xed"
                                              "2\xbd\xf8"
                                              "3\r\n"));
    ASSERT_TRUE(saveTextRecord(Path("e.txt"), {}));
    EXPECT_EQ(QFile(Path("e.txt")).size(), 0);
}

}  // namespace
}  // namespace xq
