#include "conversion/LineEnds.h"

namespace ravolin {

std::string LfLineEnds::convert(std::string_view piece) {
    std::string out;
    convert(piece, out);
    return out;
}

void LfLineEnds::convert(std::string_view piece, std::string& out) {
    const std::size_t before = out.size();
    out.reserve(before + piece.size() + 1);
    if (m_pendingCr && !piece.empty()) {
        m_pendingCr = false;
        if (piece.front() != '\n') out.push_back('\r');
    }
    // Runs without a CR are copied whole; a CR at the end waits for the next piece to say whether it
    // starts a CR LF.
    for (std::size_t at = 0; at < piece.size();) {
        const std::size_t cr = piece.find('\r', at);
        if (cr == std::string_view::npos) {
            out.append(piece.substr(at));
            break;
        }
        out.append(piece.substr(at, cr - at));
        if (cr + 1 == piece.size()) {
            m_pendingCr = true;
            break;
        }
        if (piece[cr + 1] != '\n') out.push_back('\r');
        at = cr + 1;
    }
    if (!piece.empty()) m_empty = false;
    if (out.size() > before) m_endsWithLf = out.back() == '\n';
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
