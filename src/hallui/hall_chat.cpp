#include "hallui/hall_chat.h"

#include <QHBoxLayout>
#include <QScrollBar>
#include <QVBoxLayout>

#include "hallui/hall_look.h"
#include "net/chat_text.h"

namespace xq::hall {

HallChat::HallChat(QWidget* parent)
    : QWidget(parent),
      log_(new QTextBrowser),
      input_(new QLineEdit),
      send_(new QPushButton(QStringLiteral("发送"))) {
    log_->setReadOnly(true);
    log_->setOpenLinks(false);
    log_->document()->setMaximumBlockCount(2000);
    input_->setPlaceholderText(QStringLiteral("按回车发送"));
    auto* line = new QHBoxLayout;
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(input_, 1);
    line->addWidget(send_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(log_, 1);
    layout->addLayout(line);
    connect(input_, &QLineEdit::returnPressed, this, &HallChat::sendTyped);
    connect(send_, &QPushButton::clicked, this, &HallChat::sendTyped);
}

void HallChat::addLine(const QString& speaker, const QString& text) {
    // What people type is shown as text, never read as markup, and one line said is one line
    // shown: a line break would start a line of its own, in anybody's name.
    append(
        QStringLiteral("<span style=\"color:#0000c0\">%1：</span>%2")
            .arg(blankLineBreaks(speaker).toHtmlEscaped(), blankLineBreaks(text).toHtmlEscaped()));
}

void HallChat::addNote(const QString& text) {
    append(QStringLiteral("<span style=\"color:%1\">【系统】%2</span>")
               .arg(kWarningText.name(), blankLineBreaks(text).toHtmlEscaped()));
}

void HallChat::clear() {
    log_->clear();
}

void HallChat::append(const QString& html) {
    QScrollBar* bar = log_->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    log_->append(html);
    if (atEnd) bar->setValue(bar->maximum());
}

void HallChat::sendTyped() {
    const QString text = input_->text();
    if (text.trimmed().isEmpty() || !say) return;
    if (const auto problem = say(text)) {
        addNote(*problem);
        return;
    }
    input_->clear();
}

}  // namespace xq::hall
