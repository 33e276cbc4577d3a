#include "look/app_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace xq {

bool installChineseTranslations(QCoreApplication& app) {
    // The program speaks Chinese whatever the system's language: so do Qt's own dialogs.
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale chinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
    bool any = false;
    for (const char* catalogue : {"qtbase", "qtmultimedia"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(chinese, QString::fromLatin1(catalogue), QStringLiteral("_"),
                             folder)) {
            app.installTranslator(translator);
            any = true;
        } else {
            delete translator;
        }
    }
    return any;
}

}  // namespace xq
