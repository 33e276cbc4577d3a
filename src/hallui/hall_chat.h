#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QWidget>
#include <functional>
#include <optional>

namespace xq::hall {

// The hall chat: the lines said in the hall, as plain text, and the line the user types. Enter
// sends it; the line appears when the server relays it. A line that cannot be sent stays in the
// edit and the log says why.
class HallChat : public QWidget {
    Q_OBJECT

public:
    explicit HallChat(QWidget* parent = nullptr);

    // Sends a line; what is wrong with it, or nothing when it went.
    std::function<std::optional<QString>(const QString&)> say;

    void addLine(const QString& speaker, const QString& text);
    // A line from the hall itself (a notice, a refusal), set apart from what people say.
    void addNote(const QString& text);
    void clear();

    QTextBrowser& log() { return *log_; }
    QLineEdit& input() { return *input_; }

private:
    void sendTyped();
    void append(const QString& html);

    QTextBrowser* log_;
    QLineEdit* input_;
    QPushButton* send_;
};

}  // namespace xq::hall
