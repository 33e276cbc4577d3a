#pragma once

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QWidget>

#include "game/chat_model.h"

namespace xq {

// The chat pane: the lines said at the table, always shown as plain text, the addressee box,
// and the line the user types. Sending hands the ten fields of the line on; the line appears when
// the server relays it.
class ChatPanel : public QWidget {
    Q_OBJECT

public:
    explicit ChatPanel(ChatModel& model, QWidget* parent = nullptr);

    // The face number the own lines carry.
    void setOwnFace(const QString& face) { ownFace_ = face; }
    // Set-up options of the chat that this pane does not need; accepted and ignored.
    void setOption(bool) {}
    void setSecondOption(bool) {}
    void setCaption(const QString& caption) { caption_ = caption; }

    QTextBrowser& view() { return *view_; }
    QLineEdit& input() { return *input_; }
    QComboBox& addressee() { return *to_; }
    // The text of the view, for tests.
    QString shownText() const;

signals:
    void send(const QStringList& tenFields);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Below this width the addressee box goes on a row of its own.
    static constexpr int kOneRowWidth = 240;
    void arrangeRows(bool narrow);
    void appendLine(const ChatModel::Line& line);
    void reloadAddressees();
    void sendTyped();

    ChatModel& model_;
    QTextBrowser* view_;
    QComboBox* to_;
    QLineEdit* input_;
    QPushButton* sendButton_;
    QGridLayout* rows_ = nullptr;
    bool narrow_ = false;
    QString ownFace_ = QStringLiteral("0");
    QString caption_;
};

}  // namespace xq
