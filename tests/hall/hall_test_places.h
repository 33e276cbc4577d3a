#pragma once

#include <QString>

namespace xq::hall {

// Where the hall tests' servers listen.
inline const QString kHost = QStringLiteral("127.0.0.1");
#ifdef XQ_TEST_HALL_DIR
// The hall's folder in the build, with the pictures the hall window draws with.
inline const QString kHallDir = QStringLiteral(XQ_TEST_HALL_DIR);
#endif

}  // namespace xq::hall
