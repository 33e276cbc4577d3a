#include "records/record_format.h"

#include <QFileInfo>

namespace xq {

RecordFormat recordFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(u"pgn", Qt::CaseInsensitive) == 0) return RecordFormat::Pgn;
    if (suffix.compare(u"txt", Qt::CaseInsensitive) == 0) return RecordFormat::Text;
    return RecordFormat::Drak;
}

}  // namespace xq
