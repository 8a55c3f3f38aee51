#pragma once

#include <string>
#include <string_view>

namespace ravolin {

// Turns a text written in pieces into a POSIX text: every CR LF becomes LF (also where a piece ends between
// the two), and the whole ends with one line break. A lone CR is kept.
class LfLineEnds {
public:
    std::string convert(std::string_view piece);
    // The same, appended to `out`, so that a writer can keep one buffer for every piece.
    void convert(std::string_view piece, std::string& out);
    // What remains after the last piece: a CR held back, and the final line break unless the text is empty
    // or already ends with one.
    std::string finish();

private:
    bool m_pendingCr = false;
    bool m_empty = true;
    bool m_endsWithLf = false;
};

}  // namespace ravolin
