#include "conversion/LineEnds.h"

namespace ravolin {

std::string LfLineEnds::convert(std::string_view piece) {
    std::string out;
    out.reserve(piece.size() + 1);
    for (const char c : piece) {
        if (m_pendingCr) {
            m_pendingCr = false;
            if (c != '\n') out.push_back('\r');
        }
        if (c == '\r') {
            m_pendingCr = true;
            continue;
        }
        out.push_back(c);
    }
    if (!piece.empty()) m_empty = false;
    if (!out.empty()) m_endsWithLf = out.back() == '\n';
    return out;
}

std::string LfLineEnds::finish() {
    std::string out;
    if (m_pendingCr) {
        out.push_back('\r');
        m_pendingCr = false;
        m_endsWithLf = false;
    }
    if (!m_empty && !m_endsWithLf) out.push_back('\n');
    m_endsWithLf = !m_empty;
    return out;
}

}  // namespace ravolin
