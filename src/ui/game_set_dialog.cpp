#include "ui/game_set_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>

#include "game/table.h"
#include "look/line_edit_width.h"
#include "look/ui_font.h"

namespace xq {
namespace {

// Beyond this many characters a box stops growing (only a broken server sends such values); the
// text then scrolls in the box as in any line edit.
constexpr int kWidestBox = 32;
// The boxes' width where the font needs no more.
constexpr int kNarrowestBox = 64;

// Makes the box wide enough to show its longest allowed value, in its own font, without
// scrolling: as many of the widest digit as it takes, or the text it holds if that is wider.
void fitWidth(QLineEdit* edit) {
    const QFontMetrics metrics(edit->font());
    int digit = 0;
    for (char c = '0'; c <= '9'; ++c)
        digit = std::max(digit, metrics.horizontalAdvance(QLatin1Char(c)));
    const int chars = std::min(edit->maxLength(), kWidestBox);
    const int text = std::min(metrics.horizontalAdvance(edit->text()), digit * kWidestBox);
    edit->setFixedWidth(
        std::max(kNarrowestBox, lineEditWidthFor(edit, std::max(digit * chars, text))));
}

}  // namespace

GameSetDialog::GameSetDialog(Table& table, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint),
      table_(table),
      frame_(new QGroupBox(this)),
      confirm_(new QPushButton(this)),
      cancel_(new QPushButton(this)) {
    setFont(paneFont());
    setModal(false);
    setWindowTitle(table.s.strGameName + QStringLiteral(" 游戏设置"));
    auto* grid = new QGridLayout(frame_);
    const auto addBox = [this, grid](int index, int row, int column) {
        auto* edit = new QLineEdit(frame_);
        edit->setMaxLength(GameSetModel::kMaxDigits);
        fitWidth(edit);
        edit->installEventFilter(this);
        // The key filter sees typed keys only; pasted and dropped text passes the validator. The
        // length is the box's maximum length, which a longer received value raises.
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
        boxes_[static_cast<std::size_t>(index)] = edit;
        grid->addWidget(edit, row, column);
        connect(edit, &QLineEdit::textEdited, this, [this, edit, index](const QString& text) {
            // Should anything but digits get past the validator, the box shows the model again.
            if (!table_.gameSet.setBox(index, text))
                edit->setText(table_.gameSet.txtUser[static_cast<std::size_t>(index)]);
        });
    };
    const auto label = [this, grid](const QString& text, int row, int column) {
        grid->addWidget(new QLabel(text, frame_), row, column);
    };
    label(QStringLiteral("本桌大小"), 0, 0);
    addBox(0, 0, 1);
    label(QStringLiteral("逃跑者应扣除的积分"), 1, 0);
    addBox(1, 1, 1);
    label(QStringLiteral("本局 最大用时"), 2, 0);
    addBox(2, 2, 1);
    label(QStringLiteral("时"), 2, 2);
    addBox(3, 2, 3);
    label(QStringLiteral("分"), 2, 4);
    addBox(4, 2, 5);
    label(QStringLiteral("秒"), 2, 6);
    label(QStringLiteral("本局 每步限时"), 3, 0);
    addBox(5, 3, 1);
    label(QStringLiteral("分"), 3, 2);
    addBox(6, 3, 3);
    label(QStringLiteral("秒"), 3, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(confirm_);
    buttons->addWidget(cancel_);
    auto* column = new QVBoxLayout(this);
    column->addWidget(frame_);
    column->addLayout(buttons);
    confirm_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    connect(confirm_, &QPushButton::clicked, this, [this] { pressButton(0); });
    connect(cancel_, &QPushButton::clicked, this, [this] { pressButton(1); });
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &GameSetDialog::tick);
}

void GameSetDialog::refresh() {
    const GameSetModel& m = table_.gameSet;
    frame_->setTitle(m.frameCaption);
    confirm_->setText(m.button0Caption);
    cancel_->setText(m.button1Caption);
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        QLineEdit* edit = boxes_[i];
        // A received value longer than may be typed is shown whole, never cut: it is what the
        // model holds and would send (the owner's check refuses it).
        edit->setMaxLength(std::max<int>(GameSetModel::kMaxDigits, m.txtUser[i].size()));
        edit->setText(m.txtUser[i]);
        fitWidth(edit);
        edit->setReadOnly(!m.blnDeskMaster);
        QPalette pal = edit->palette();
        pal.setColor(QPalette::Base,
                     m.blnDeskMaster ? QColor(255, 255, 255) : palette().color(QPalette::Window));
        edit->setPalette(pal);
    }
    if (m.timerEnabled) {
        timer_.start();
    } else {
        timer_.stop();
    }
}

void GameSetDialog::tick() {
    const GameSetModel::Tick t = table_.onGameSetTick();
    if (!t.caption.isEmpty()) confirm_->setText(t.caption);
    if (t.press) pressButton(0);
}

void GameSetDialog::pressButton(int index) {
    timer_.stop();
    const GameSetModel::Press result = table_.onGameSetButton(index);
    if (!result.warning.isEmpty()) {
        lastWarning_ = result.warning;
        const QPointer<GameSetDialog> self(this);
        if (showWarning) {
            showWarning(result.warning);
        } else {
            // On the heap: while it waits, the table may drop the dialog, and the box with it.
            QPointer<QMessageBox> box(new QMessageBox(QMessageBox::Warning, table_.s.strGameName,
                                                      result.warning, QMessageBox::Ok, this));
            box->exec();
            delete box.data();
        }
        if (self.isNull()) return;
        // The dialog stays; the model says whether the count-down goes on. When it has stopped
        // the button no longer shows a count: it waits for the owner.
        if (!table_.gameSetOpen()) return;
        if (table_.gameSet.timerEnabled) {
            timer_.start();
        } else {
            confirm_->setText(table_.gameSet.button0Caption);
        }
    }
}

void GameSetDialog::reject() {
    // Merely hiding would leave the count-down running, and it would agree for the user later.
    // Closed by the program instead (the table has already let the dialog go), nothing is sent.
    if (table_.gameSetOpen()) pressButton(1);
    QDialog::reject();
}

bool GameSetDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Digits and Backspace only; Enter and everything else are swallowed. Moving the caret
        // and deleting with the keyboard's other editing keys stay possible, and Escape goes on
        // to the dialog, which takes it as Cancel / Refuse.
        const int k = key->key();
        // The editing shortcuts pass too: the validator keeps whatever they paste to digits.
        const bool shortcut = key->matches(QKeySequence::Paste) ||
                              key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
                              key->matches(QKeySequence::SelectAll) ||
                              key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo);
        const bool passOn = shortcut || k == Qt::Key_Left || k == Qt::Key_Right ||
                            k == Qt::Key_Home || k == Qt::Key_End || k == Qt::Key_Delete ||
                            k == Qt::Key_Tab || k == Qt::Key_Backtab || k == Qt::Key_Escape;
        const QString text = key->text();
        const bool accepted =
            k == Qt::Key_Backspace || (text.size() == 1 && GameSetModel::acceptChar(text[0]));
        if (!accepted && !passOn) return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace xq
