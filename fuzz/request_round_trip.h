#pragma once

#include <QByteArray>
#include <QString>

#include "net/cp936.h"
#include "net/table_requests.h"

namespace xq::fuzz {

// Whether a text comes back from the code page as it went in. A few characters that a broken
// pair decodes to do not (U+F8F5 is written as a lone 0xFF, which reads as a lead byte); a
// request carrying one cannot be said again in the same words, whatever the codec does.
inline bool SurvivesCodePage(const QString& text) {
    QString back;
    return decodeCp936(encodeCp936(text), back) && back == text;
}

inline bool TextsSurviveCodePage(const tablemsg::Request& request) {
    if (const auto* m = std::get_if<tablemsg::HandUp>(&request)) return SurvivesCodePage(m->name);
    if (const auto* m = std::get_if<tablemsg::Leave>(&request)) return SurvivesCodePage(m->name);
    if (const auto* m = std::get_if<tablemsg::OwnerSettings>(&request))
        return SurvivesCodePage(m->name + u'`' + m->settings);
    if (const auto* m = std::get_if<tablemsg::Chat>(&request))
        return SurvivesCodePage(m->fields.join(u'`'));
    return true;
}

// A request read from a frame, built again and read back is the same request: what the server
// acts on is exactly what a client's encoder can say.
inline void CheckRequestRoundTrip(const QByteArray& frame) {
    const tablemsg::ParsedRequest parsed = tablemsg::parseRequest(frame);
    const auto* request = std::get_if<tablemsg::Request>(&parsed);
    if (!request || !TextsSurviveCodePage(*request)) return;
    const tablemsg::ParsedRequest again = tablemsg::parseRequest(tablemsg::encode(*request));
    const auto* back = std::get_if<tablemsg::Request>(&again);
    if (!back || !(*back == *request)) __builtin_trap();
}

}  // namespace xq::fuzz
