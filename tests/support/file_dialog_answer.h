#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QEvent>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <utility>

namespace xq::test {

// Types text into a widget as a user does: ASCII by key presses, everything else (Chinese, say)
// as the input method hands it over, one committed run of characters at a time.
inline void TypeText(QWidget* widget, const QString& text) {
    QString run;
    const auto commit = [&] {
        if (run.isEmpty()) return;
        QInputMethodEvent event;
        event.setCommitString(run);
        QApplication::sendEvent(widget, &event);
        run.clear();
    };
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f) {
            commit();
            QTest::keyClick(widget, static_cast<char>(c.unicode()));
        } else {
            run += c;
        }
    }
    commit();
}

// Answers the next file dialog that opens, once, the way its user would: types the path into
// the dialog's file-name field and presses Enter, or presses Escape when no path is given. A
// dialog still open after that fails the test with a message and is cancelled, so that nothing
// waits for ever. Nothing polls: the answer follows the dialog's own show event.
class FileDialogAnswer : public QObject {
public:
    // An empty path cancels the dialog.
    explicit FileDialogAnswer(QString path = {}) : path_(std::move(path)) {
        qApp->installEventFilter(this);
    }
    // Answers nothing: the program is expected to close the dialog itself within `ms` (after
    // `look` has run); if it does not, the test fails and the dialog is cancelled.
    static std::unique_ptr<FileDialogAnswer> leftToTheProgram(int ms) {
        auto answer = std::make_unique<FileDialogAnswer>();
        answer->waitMs_ = ms;
        return answer;
    }
    ~FileDialogAnswer() override { qApp->removeEventFilter(this); }

    // Called with the dialog as it is shown, before the answer (to read its folder, say).
    std::function<void(QFileDialog&)> look;
    bool answered() const { return answered_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !seen_) {
            if (auto* dialog = qobject_cast<QFileDialog*>(watched)) {
                seen_ = true;
                // Once the dialog's own loop runs, as a user's keys would arrive.
                QMetaObject::invokeMethod(
                    this, [this, d = QPointer<QFileDialog>(dialog)] { answer(d); },
                    Qt::QueuedConnection);
            }
        }
        return false;
    }

private:
    void answer(const QPointer<QFileDialog>& dialog) {
        if (dialog.isNull()) return;
        if (look) look(*dialog);
        if (dialog.isNull() || !dialog->isVisible()) return;
        if (waitMs_ >= 0) {
            QTimer::singleShot(waitMs_, this, [this, dialog] {
                if (dialog.isNull() || !dialog->isVisible()) return;
                ADD_FAILURE() << "the program left the file dialog open for " << waitMs_ << " ms";
                dialog->reject();
            });
            return;
        }
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name == nullptr) {
            ADD_FAILURE() << "the file dialog has no file-name field to type into";
            dialog->reject();
            return;
        }
        // Whatever the keys bring up (a "file not found" warning, say) must not hold the test.
        QTimer::singleShot(10000, this, [dialog] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || modal == dialog.data()) return;
            ADD_FAILURE() << "the file dialog's answer brought up "
                          << modal->metaObject()->className() << " \""
                          << modal->windowTitle().toStdString() << "\"";
            modal->close();
        });
        if (path_.isEmpty()) {
            QTest::keyClick(name, Qt::Key_Escape);
        } else {
            // Keys go to the focused field of the window in front, as the user's do. While the
            // field has no focus the dialog writes the names of what it selects into it.
            dialog->activateWindow();
            if (!QTest::qWaitForWindowActive(dialog.data()) && !dialog.isNull())
                ADD_FAILURE() << "the file dialog did not become the active window";
            if (dialog.isNull()) return;
            name->setFocus();
            name->selectAll();
            TypeText(name, path_);
            // The completion list that typing opens is dismissed first, as a user would.
            if (QCompleter* c = name->completer(); c != nullptr && c->popup()->isVisible())
                QTest::keyClick(c->popup(), Qt::Key_Escape);
            if (!dialog.isNull() && name->text() != path_)
                ADD_FAILURE() << "the file-name field reads " << name->text().toStdString()
                              << " after typing " << path_.toStdString();
            if (!dialog.isNull()) QTest::keyClick(name, Qt::Key_Return);
        }
        answered_ = true;
        if (!dialog.isNull() && dialog->isVisible()) {
            ADD_FAILURE() << "the file dialog is still open after "
                          << (path_.isEmpty() ? std::string("Escape")
                                              : "typing " + path_.toStdString() + " and Enter");
            dialog->reject();
        }
    }

    QString path_;
    int waitMs_ = -1;
    bool seen_ = false;
    bool answered_ = false;
};

}  // namespace xq::test
