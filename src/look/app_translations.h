#pragma once

class QCoreApplication;

namespace xq {

// Qt's own texts (the buttons and labels of file dialogs and message boxes) in Simplified
// Chinese, as every other text of the program; false when the translations are not installed.
bool installChineseTranslations(QCoreApplication& app);

}  // namespace xq
