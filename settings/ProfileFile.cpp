#include "settings/ProfileFile.h"

#include "conversion/TextHelpers.h"
#include "platform/core/Codec.h"

namespace ravolin {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\x1A'; }
bool isQuote(char c) { return c == '"' || c == '\''; }

char foldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Names match without regard to ASCII letter case; the bytes of a double-byte character are never folded.
bool namesMatch(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t length = cp932CharLength(a.substr(i));
        if (length != cp932CharLength(b.substr(i))) return false;
        if (length == 1 ? foldAscii(a[i]) != foldAscii(b[i]) : a.substr(i, 2) != b.substr(i, 2)) return false;
        i += length;
    }
    return true;
}

// The value the reader would give back for `raw` is `raw` without one pair of outer quotes; a value that
// has outer blanks or such a pair of its own is wrapped in one more pair, so it comes back exactly.
bool needsQuotes(std::string_view raw) {
    if (raw.empty()) return false;
    if (isBlank(raw.front()) || isBlank(raw.back())) return true;
    return raw.size() >= 2 && isQuote(raw.front()) && raw.back() == raw.front();
}

}  // namespace

ProfileFile::ProfileFile(std::string_view cp932) {
    std::size_t start = 0;
    while (start < cp932.size()) {
        const std::size_t end = cp932.find_first_of("\r\n", start);
        Line line;
        if (end == std::string_view::npos) {
            line.text = cp932.substr(start);
            start = cp932.size();
        } else {
            const std::size_t endingSize =
                (cp932[end] == '\r' && end + 1 < cp932.size() && cp932[end + 1] == '\n') ? 2 : 1;
            line.text = cp932.substr(start, end - start);
            line.ending.assign(cp932.data() + end, endingSize);
            start = end + endingSize;
        }
        classify(line);
        m_lines.push_back(std::move(line));
    }
}

void ProfileFile::classify(Line& line) {
    const std::string_view text = line.text;
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    auto trimmed = [&text](std::size_t from, std::size_t to) {
        while (from < to && isBlank(text[from])) ++from;
        while (to > from && isBlank(text[to - 1])) --to;
        return Span{from, to - from};
    };
    line.hasValue = false;
    if (begin == end) {
        line.kind = Kind::Blank;
        return;
    }
    if (text[begin] == ';') {
        line.kind = Kind::Comment;
        return;
    }
    if (text[begin] == '[') {
        // "]" can be the second byte of a double-byte character, so the search walks characters.
        std::size_t close = kNone;
        for (std::size_t i = begin + 1; i < end; i += cp932CharLength(text.substr(i))) {
            if (text[i] == ']') close = i;
        }
        if (close != kNone) {
            line.kind = Kind::Section;
            line.name = trimmed(begin + 1, close);
            return;
        }
    }
    line.kind = Kind::Key;
    const std::size_t equals = text.substr(0, end).find('=', begin);
    if (equals == std::string_view::npos) {
        line.name = Span{begin, end - begin};
        return;
    }
    line.name = trimmed(begin, equals);
    line.value = trimmed(equals + 1, end);
    line.hasValue = true;
}

std::size_t ProfileFile::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && namesMatch(piece(m_lines[i], m_lines[i].name), section)) return i;
    }
    return kNone;
}

std::size_t ProfileFile::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < m_lines.size() && m_lines[i].kind != Kind::Section) ++i;
    return i;
}

std::size_t ProfileFile::findKey(std::size_t header, std::string_view key) const {
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (m_lines[i].kind == Kind::Key && namesMatch(piece(m_lines[i], m_lines[i].name), key)) return i;
    }
    return kNone;
}

const ProfileFile::Line* ProfileFile::findValueLine(std::string_view section, std::string_view key) const {
    const std::size_t header = findSection(utf8ToCp932(section));
    if (header == kNone) return nullptr;
    const std::size_t at = findKey(header, utf8ToCp932(key));
    if (at == kNone || !m_lines[at].hasValue) return nullptr;
    return &m_lines[at];
}

std::optional<std::string> ProfileFile::GetString(std::string_view section, std::string_view key) const {
    const Line* line = findValueLine(section, key);
    if (!line) return std::nullopt;
    std::string_view value = piece(*line, line->value);
    if (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return cp932ToUtf8(value.substr(0, cp932PrefixLength(value, kProfileValueMaxBytes)));
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key, std::string_view fallback) const {
    std::optional<std::string> value = GetString(section, key);
    return value ? std::move(*value) : std::string(fallback);
}

std::int32_t ProfileFile::GetInt(std::string_view section, std::string_view key, std::int32_t fallback) const {
    const std::optional<std::string> value = GetString(section, key);
    if (!value || value->empty()) return fallback;
    const std::string_view text = *value;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::uint32_t magnitude = 0;  // unsigned, so that long digit strings wrap instead of overflowing
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10u + static_cast<std::uint32_t>(text[i] - '0');
    }
    return static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
}

void ProfileFile::insertLine(std::size_t index, std::string text) {
    Line line;
    line.text = std::move(text);
    line.ending = std::string(kLineBreak);
    classify(line);
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
}

bool ProfileFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::string oneLine;
    oneLine.reserve(value.size());
    for (char c : value) {
        if (c != '\r' && c != '\n') oneLine.push_back(c);
    }
    bool lossy = false, sectionLossy = false, keyLossy = false;
    std::string bytes = utf8ToCp932(oneLine, &lossy);
    if (needsQuotes(bytes)) bytes = '"' + bytes + '"';
    const std::string sectionBytes = utf8ToCp932(section, &sectionLossy);
    const std::string keyBytes = utf8ToCp932(key, &keyLossy);
    const bool exact = !lossy && !sectionLossy && !keyLossy && oneLine.size() == value.size();
    const std::size_t header = findSection(sectionBytes);
    if (header == kNone) {
        if (!m_lines.empty() && m_lines.back().ending.empty()) m_lines.back().ending = kLineBreak;
        insertLine(m_lines.size(), '[' + sectionBytes + ']');
        insertLine(m_lines.size(), keyBytes + '=' + bytes);
        return exact;
    }
    const std::size_t at = findKey(header, keyBytes);
    if (at != kNone) {
        Line& line = m_lines[at];
        // An unchanged value leaves the line as it stands, spacing and line end included.
        if (line.hasValue && piece(line, line.value) == bytes) return exact;
        line.text = std::string(piece(line, line.name)) + '=' + bytes;
        line.ending = kLineBreak;
        classify(line);
        return exact;
    }
    std::size_t last = header;
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (m_lines[i].kind != Kind::Blank) last = i;
    }
    if (m_lines[last].ending.empty()) m_lines[last].ending = kLineBreak;
    insertLine(last + 1, keyBytes + '=' + bytes);
    return exact;
}

void ProfileFile::WriteInt(std::string_view section, std::string_view key, std::int32_t value) {
    std::string digits;
    appendDecimal(digits, value);
    WriteString(section, key, digits);
}

bool ProfileFile::DeleteKey(std::string_view section, std::string_view key) {
    const std::size_t header = findSection(utf8ToCp932(section));
    if (header == kNone) return false;
    const std::size_t at = findKey(header, utf8ToCp932(key));
    if (at == kNone) return false;
    // A last line without a line end passes that on to the line before it, so nothing else changes.
    if (m_lines[at].ending.empty() && at > 0) m_lines[at - 1].ending.clear();
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
}

std::string ProfileFile::Bytes() const {
    std::string bytes;
    for (const Line& line : m_lines) bytes.append(line.text).append(line.ending);
    return bytes;
}

}  // namespace ravolin
