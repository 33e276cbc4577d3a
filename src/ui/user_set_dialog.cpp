#include "ui/user_set_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>

#include "look/ui_font.h"
#include "prefs/settings_store.h"
#include "ui/plain_message.h"

namespace xq {

UserSetDialog::UserSetDialog(SettingsStore& store, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      store_(store) {
    const UserSettings& settings = store.settings();
    setFont(paneFont());
    setWindowTitle(QStringLiteral("用户设置"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    const char16_t* captions[5] = {u"允许旁观者看我的牌", u"启用音效", u"显示用户进出消息",
                                   u"强退时给出提示", u"出牌不对时给出提示"};
    auto* general = new QGroupBox(QStringLiteral("基本设置"), this);
    auto* prompts = new QGroupBox(QStringLiteral("提示设置"), this);
    auto* generalLayout = new QVBoxLayout(general);
    auto* promptLayout = new QVBoxLayout(prompts);
    for (int i = 0; i < 5; ++i) {
        auto* box = new QCheckBox(QString::fromUtf16(captions[i]), i < 3 ? general : prompts);
        (i < 3 ? generalLayout : promptLayout)->addWidget(box);
        checks_[static_cast<std::size_t>(i)] = box;
    }
    const std::array<std::uint8_t, 5> values = {settings.bteAllowLookOnSee, settings.bteSoundOn,
                                                settings.bteShowInOutMsg, settings.bteQuitPrompt,
                                                settings.bteBadMoveHint};
    for (std::size_t i = 0; i < 5; ++i)
        checks_[i]->setChecked(values[i] != 0);

    auto* row = new QHBoxLayout;
    const char16_t* buttonCaptions[3] = {u"默认值(&D)", u"确定(&Y)", u"取消(&C)"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QPushButton(QString::fromUtf16(buttonCaptions[i]), this);
        b->setAutoDefault(false);
        buttons_[static_cast<std::size_t>(i)] = b;
        row->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, i] { press(i); });
    }
    auto* column = new QVBoxLayout(this);
    column->addWidget(general);
    column->addWidget(prompts);
    column->addLayout(row);
    setFixedSize(sizeHint());
}

void UserSetDialog::press(int index) {
    if (index == 0) {
        for (QCheckBox* box : checks_)
            box->setChecked(true);
        return;
    }
    if (index == 1) {
        UserSettings& settings = store_.settings();
        std::array<std::uint8_t*, 5> fields = {&settings.bteAllowLookOnSee, &settings.bteSoundOn,
                                               &settings.bteShowInOutMsg, &settings.bteQuitPrompt,
                                               &settings.bteBadMoveHint};
        for (std::size_t i = 0; i < 5; ++i)
            *fields[i] = checks_[i]->isChecked() ? 1 : 0;
        QString error;
        lastSaveOk_ = store_.save(&error);
        if (!lastSaveOk_ && isVisible()) {
            warnPlain(this, windowTitle(), QStringLiteral("用户设置无法保存：") + error);
        }
    }
    close();
}

}  // namespace xq
