#include "ui/chat_panel.h"

#include <QAbstractItemView>
#include <QGridLayout>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <QTime>
#include <QVBoxLayout>

#include "look/ui_font.h"
#include "net/chat_text.h"

namespace xq {

ChatPanel::ChatPanel(ChatModel& model, QWidget* parent)
    : QWidget(parent),
      model_(model),
      view_(new QTextBrowser(this)),
      to_(new QComboBox(this)),
      input_(new QLineEdit(this)),
      sendButton_(new QPushButton(QStringLiteral("发送"), this)) {
    setFont(paneFont());
    // Lines are never interpreted: no links, no markup, no remote content.
    view_->setOpenLinks(false);
    view_->setOpenExternalLinks(false);
    view_->setAcceptRichText(false);
    view_->setUndoRedoEnabled(false);
    view_->document()->setMaximumBlockCount(2000);
    input_->setMaxLength(200);
    // The line typed in gets the room of its row: the button takes only what its text needs.
    to_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    to_->setMinimumContentsLength(3);
    sendButton_->setFixedWidth(sendButton_->fontMetrics().horizontalAdvance(sendButton_->text()) +
                               16);
    rows_ = new QGridLayout;
    rows_->setContentsMargins(0, 0, 0, 0);
    rows_->setHorizontalSpacing(4);
    rows_->setVerticalSpacing(2);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(view_, 1);
    column->addLayout(rows_);
    arrangeRows(false);

    for (const ChatModel::Line& line : model.lines())
        appendLine(line);
    reloadAddressees();
    connect(&model, &ChatModel::lineAdded, this, &ChatPanel::appendLine);
    connect(&model, &ChatModel::cleared, view_, &QTextBrowser::clear);
    connect(&model, &ChatModel::addresseesChanged, this, &ChatPanel::reloadAddressees);
    connect(&model, &ChatModel::defaultAddresseeChanged, this, &ChatPanel::reloadAddressees);
    connect(to_, &QComboBox::activated, this,
            [this](int index) { model_.setDefaultAddressee(to_->itemText(index)); });
    connect(input_, &QLineEdit::returnPressed, this, &ChatPanel::sendTyped);
    connect(sendButton_, &QPushButton::clicked, this, &ChatPanel::sendTyped);
}

void ChatPanel::appendLine(const ChatModel::Line& line) {
    // Whatever a server sends, one message is one line: a line break inside a field would show
    // the rest as a line of its own, said by anybody.
    const auto field = [&line](int i) { return blankLineBreaks(line.fields.value(i)); };
    QString text;
    switch (line.kind) {
        case ChatModel::Kind::System:
        case ChatModel::Kind::Room:
            text = field(0);
            break;
        case ChatModel::Kind::Relayed: {
            // sender, addressee, time, text, colour, face, private flag, spare
            const QString to = field(1);
            // Only a time goes in front of the speaker; anything else there could name another.
            const QString time = line.fields.value(2);
            text = QStringLiteral("[%1] %2").arg(
                isChatTime(time) ? time : QStringLiteral("--:--:--"), field(0));
            if (!to.isEmpty() && to != ChatModel::kEveryone) text += QStringLiteral(" 对 ") + to;
            if (line.fields.value(6).toInt() > 0) text += QStringLiteral(" 悄悄");
            text += QStringLiteral(" 说：") + field(3);
            break;
        }
    }
    QTextCursor cursor(view_->document());
    cursor.movePosition(QTextCursor::End);
    if (!view_->document()->isEmpty()) cursor.insertBlock();
    cursor.insertText(text);  // plain text: markup shows its characters
    view_->ensureCursorVisible();
    view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
}

void ChatPanel::arrangeRows(bool narrow) {
    if (rows_->count() > 0 && narrow == narrow_) return;
    narrow_ = narrow;
    for (QWidget* w : {static_cast<QWidget*>(to_), static_cast<QWidget*>(input_),
                       static_cast<QWidget*>(sendButton_)})
        rows_->removeWidget(w);
    for (int c = 0; c < 3; ++c)
        rows_->setColumnStretch(c, 0);
    if (narrow) {  // the addressee on a row of its own, above the line and its button
        rows_->addWidget(to_, 0, 0, 1, 2);
        rows_->addWidget(input_, 1, 0);
        rows_->addWidget(sendButton_, 1, 1);
        rows_->setColumnStretch(0, 1);
    } else {
        rows_->addWidget(to_, 0, 0);
        rows_->addWidget(input_, 0, 1);
        rows_->addWidget(sendButton_, 0, 2);
        rows_->setColumnStretch(1, 1);
    }
}

void ChatPanel::resizeEvent(QResizeEvent* event) {
    // In a narrow pane one row would leave the line too little room to read what is typed.
    arrangeRows(event->size().width() < kOneRowWidth);
    QWidget::resizeEvent(event);
}

void ChatPanel::reloadAddressees() {
    to_->blockSignals(true);
    to_->clear();
    to_->addItems(model_.addressees());
    // The list that drops down shows every name whole, however narrow the box itself is.
    int widest = 0;
    for (const QString& name : model_.addressees())
        widest = qMax(widest, to_->fontMetrics().horizontalAdvance(name));
    to_->view()->setMinimumWidth(widest + 24);
    const int at = to_->findText(model_.defaultAddressee());
    to_->setCurrentIndex(at < 0 ? 0 : at);
    to_->blockSignals(false);
}

void ChatPanel::sendTyped() {
    const QString text = input_->text().trimmed();
    if (text.isEmpty()) return;
    input_->clear();
    // A line to one person is for him alone: the spectators do not read it.
    emit send(model_.composeSend(text, QStringLiteral("#000000"), ownFace_, true,
                                 QTime::currentTime().toString(QStringLiteral("hh:mm:ss"))));
}

QString ChatPanel::shownText() const {
    return view_->toPlainText();
}

}  // namespace xq
