#include "settings/ProfileFile.h"

#include <limits>
#include <new>

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
    if (a == b) return true;
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

enum class Kind { Blank, Comment, Section, Key };

// One line of the file: its text is [start, textEnd), its line end [textEnd, end).
struct Line {
    std::size_t start = 0;
    std::size_t textEnd = 0;
    std::size_t end = 0;
};

Line lineAt(std::string_view bytes, std::size_t start) {
    std::size_t end = start;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    if (end == bytes.size()) return {start, end, end};
    const std::size_t endingSize = (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
    return {start, end, end + endingSize};
}

// What a line is, with its section or key name and a key's value, trimmed.
struct Parsed {
    Kind kind = Kind::Blank;
    std::string_view name;
    std::string_view value;
    bool hasValue = false;  // a key line holds "="
};

Parsed parse(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    auto trimmed = [&text](std::size_t from, std::size_t to) {
        while (from < to && isBlank(text[from])) ++from;
        while (to > from && isBlank(text[to - 1])) --to;
        return text.substr(from, to - from);
    };
    if (begin == end) return {};
    if (text[begin] == ';') return {Kind::Comment, {}, {}, false};
    if (text[begin] == '[') {
        // "]" can be the second byte of a double-byte character, so the search walks characters.
        std::size_t close = kNone;
        for (std::size_t i = begin + 1; i < end; i += cp932CharLength(text.substr(i))) {
            if (text[i] == ']') close = i;
        }
        if (close != kNone) return {Kind::Section, trimmed(begin + 1, close), {}, false};
    }
    const std::size_t equals = text.substr(0, end).find('=', begin);
    if (equals == std::string_view::npos) return {Kind::Key, text.substr(begin, end - begin), {}, false};
    return {Kind::Key, trimmed(begin, equals), trimmed(equals + 1, end), true};
}

Parsed parseLine(std::string_view bytes, const Line& line) {
    return parse(bytes.substr(line.start, line.textEnd - line.start));
}

// FNV-1a over the name as namesMatch compares it, so names that match hash alike.
std::size_t hashName(std::string_view name, std::size_t seed = 14695981039346656037u) {
    std::size_t hash = seed;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t length = cp932CharLength(name.substr(i));
        for (std::size_t j = 0; j < length; ++j) {
            hash ^= static_cast<unsigned char>(length == 1 ? foldAscii(name[i]) : name[i + j]);
            hash *= 1099511628211u;
        }
        i += length;
    }
    // FNV leaves the low bits, which pick the slot, alike for short names that differ in their last byte.
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdu;
    return hash ^ (hash >> 33);
}

// The key's hash within its section's: the same name in another section lands elsewhere.
std::size_t hashKey(std::size_t sectionHash, std::string_view key) { return hashName(key, sectionHash * 31 + 7); }

constexpr std::uint32_t kEmpty = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint32_t kRemoved = kEmpty - 1;
// Offsets stay below both marks.
constexpr std::size_t kMaxBytes = kRemoved - 1;

void checkSize(std::size_t size) {
    if (size > kMaxBytes) throw std::bad_alloc();
}

// A table holds at most three quarters of its slots, so a probe ends soon at an empty one.
bool full(std::size_t used, std::size_t slots) { return (used + 1) * 4 > slots * 3; }

}  // namespace

ProfileFile::ProfileFile(std::string cp932) : m_bytes(std::move(cp932)) {
    checkSize(m_bytes.size());
    indexLines(0, m_bytes.size(), kNone);
}

void ProfileFile::indexLines(std::size_t from, std::size_t to, std::size_t header) {
    std::size_t sectionHash = header == kNone ? 0 : hashName(parseLine(m_bytes, lineAt(m_bytes, header)).name);
    for (std::size_t at = from; at < to;) {
        const Line line = lineAt(m_bytes, at);
        const Parsed parsed = parseLine(m_bytes, line);
        if (parsed.kind == Kind::Section) {
            // Only the first section of a name is ever searched; the keys of a later one are left out.
            header = kNone;
            if (findSection(parsed.name) == kNone) {
                sectionHash = hashName(parsed.name);
                addSection(at, sectionHash);
                header = at;
            }
        } else if (parsed.kind == Kind::Key && header != kNone &&
                   findKeySlot(header, sectionHash, parsed.name) == kNone) {
            addKey(header, at, hashKey(sectionHash, parsed.name));
        }
        at = line.end;
    }
}

void ProfileFile::addSection(std::size_t header, std::size_t hash) {
    if (full(m_sectionCount, m_sections.size())) growSections();
    const std::size_t mask = m_sections.size() - 1;
    std::size_t i = hash & mask;
    while (m_sections[i] != kEmpty) i = (i + 1) & mask;
    m_sections[i] = static_cast<Offset>(header);
    ++m_sectionCount;
}

void ProfileFile::addKey(std::size_t header, std::size_t line, std::size_t hash) {
    if (full(m_keyCount, m_keys.size())) growKeys();
    const std::size_t mask = m_keys.size() - 1;
    std::size_t i = hash & mask;
    while (m_keys[i].line != kEmpty) i = (i + 1) & mask;
    m_keys[i] = {static_cast<Offset>(header), static_cast<Offset>(line)};
    ++m_keyCount;
}

void ProfileFile::growSections() {
    std::vector<Offset> old(std::max<std::size_t>(16, m_sections.size() * 2), kEmpty);
    old.swap(m_sections);
    m_sectionCount = 0;
    for (const Offset header : old) {
        if (header != kEmpty) addSection(header, hashName(parseLine(m_bytes, lineAt(m_bytes, header)).name));
    }
}

void ProfileFile::growKeys() {
    std::vector<KeySlot> old(std::max<std::size_t>(16, m_keys.size() * 2), KeySlot{kEmpty, kEmpty});
    old.swap(m_keys);
    m_keyCount = 0;  // the removed ones stay behind
    for (const KeySlot& slot : old) {
        if (slot.line == kEmpty || slot.line == kRemoved) continue;
        const std::string_view section = parseLine(m_bytes, lineAt(m_bytes, slot.section)).name;
        const std::string_view key = parseLine(m_bytes, lineAt(m_bytes, slot.line)).name;
        addKey(slot.section, slot.line, hashKey(hashName(section), key));
    }
}

std::size_t ProfileFile::findSection(std::string_view name) const {
    if (m_sections.empty()) return kNone;
    const std::size_t mask = m_sections.size() - 1;
    for (std::size_t i = hashName(name) & mask; m_sections[i] != kEmpty; i = (i + 1) & mask) {
        if (namesMatch(parseLine(m_bytes, lineAt(m_bytes, m_sections[i])).name, name)) return m_sections[i];
    }
    return kNone;
}

std::size_t ProfileFile::findKeySlot(std::size_t header, std::string_view key) const {
    return findKeySlot(header, hashName(parseLine(m_bytes, lineAt(m_bytes, header)).name), key);
}

std::size_t ProfileFile::findKeySlot(std::size_t header, std::size_t sectionHash, std::string_view key) const {
    if (m_keys.empty()) return kNone;
    const std::size_t mask = m_keys.size() - 1;
    for (std::size_t i = hashKey(sectionHash, key) & mask; m_keys[i].line != kEmpty; i = (i + 1) & mask) {
        const KeySlot& slot = m_keys[i];
        if (slot.line != kRemoved && slot.section == header &&
            namesMatch(parseLine(m_bytes, lineAt(m_bytes, slot.line)).name, key))
            return i;
    }
    return kNone;
}

std::size_t ProfileFile::findKey(std::size_t header, std::string_view key) const {
    const std::size_t slot = findKeySlot(header, key);
    return slot == kNone ? kNone : m_keys[slot].line;
}

std::optional<std::string_view> ProfileFile::findValue(std::string_view section, std::string_view key) const {
    const std::size_t header = findSection(utf8ToCp932(section));
    if (header == kNone) return std::nullopt;
    const std::size_t at = findKey(header, utf8ToCp932(key));
    if (at == kNone) return std::nullopt;
    const Parsed parsed = parseLine(m_bytes, lineAt(m_bytes, at));
    if (!parsed.hasValue) return std::nullopt;
    std::string_view value = parsed.value;
    if (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

std::optional<std::string> ProfileFile::GetString(std::string_view section, std::string_view key) const {
    std::optional<std::string_view> value = findValue(section, key);
    if (!value) return std::nullopt;
    value = value->substr(0, value->find('\0'));
    return cp932ToUtf8(value->substr(0, cp932PrefixLength(*value, kProfileValueMaxBytes)));
}

bool ProfileFile::TruncatesValue(std::string_view section, std::string_view key, std::string_view value) const {
    const std::optional<std::string_view> stored = findValue(section, key);
    if (!stored || stored->size() <= kProfileValueMaxBytes) return false;
    const std::string bytes = utf8ToCp932(value);
    return bytes.size() < stored->size() && stored->substr(0, bytes.size()) == bytes;
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

void ProfileFile::splice(std::size_t pos, std::size_t length, std::string_view text) {
    checkSize(m_bytes.size() - length + text.size());
    m_bytes.replace(pos, length, text);
    if (text.size() == length) return;
    // Whatever starts at or after the replaced bytes' end moves with them; the line replaced keeps its start.
    const std::size_t from = pos + length;
    auto move = [&](Offset& offset) {
        if (offset >= from) offset = static_cast<Offset>(offset - length + text.size());
    };
    for (Offset& header : m_sections) {
        if (header != kEmpty) move(header);
    }
    for (KeySlot& slot : m_keys) {
        if (slot.line == kEmpty || slot.line == kRemoved) continue;
        move(slot.section);
        move(slot.line);
    }
    if (m_insertHeader != kNone) {
        if (m_insertHeader >= from) m_insertHeader = m_insertHeader - length + text.size();
        if (m_insertAt >= from) m_insertAt = m_insertAt - length + text.size();
    }
}

std::size_t ProfileFile::insertionPoint(std::size_t header) {
    if (m_insertHeader == header) return m_insertAt;
    Line line = lineAt(m_bytes, header);
    std::size_t at = line.end;
    while (line.end < m_bytes.size()) {
        line = lineAt(m_bytes, line.end);
        const Kind kind = parseLine(m_bytes, line).kind;
        if (kind == Kind::Section) break;
        if (kind != Kind::Blank) at = line.end;
    }
    m_insertHeader = header;
    m_insertAt = at;
    return at;
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
    // A NUL ends the value for a reader, as it does for the Windows functions: what follows it is not read back.
    const bool exact = !lossy && !sectionLossy && !keyLossy && oneLine.size() == value.size() &&
                       value.find('\0') == std::string_view::npos;
    // A last line without a line end gets one before anything is added after it.
    const bool open = !m_bytes.empty() && m_bytes.back() != '\n' && m_bytes.back() != '\r';
    const std::size_t header = findSection(sectionBytes);
    if (header == kNone) {
        const std::size_t at = m_bytes.size() + (open ? kLineBreak.size() : 0);
        std::string added = open ? std::string(kLineBreak) : std::string();
        added.append("[").append(sectionBytes).append("]").append(kLineBreak);
        added.append(keyBytes).append("=").append(bytes).append(kLineBreak);
        m_insertHeader = kNone;
        splice(m_bytes.size(), 0, added);
        indexLines(at, m_bytes.size(), kNone);
        return exact;
    }
    if (const std::size_t at = findKey(header, keyBytes); at != kNone) {
        const Line line = lineAt(m_bytes, at);
        const Parsed parsed = parseLine(m_bytes, line);
        // An unchanged value leaves the line as it stands, spacing and line end included.
        if (parsed.hasValue && parsed.value == bytes) return exact;
        std::string text(parsed.name);
        text.append("=").append(bytes).append(kLineBreak);
        splice(at, line.end - at, text);
        return exact;
    }
    const std::size_t at = insertionPoint(header);
    const bool lastOpen = open && at == m_bytes.size();
    std::string added = lastOpen ? std::string(kLineBreak) : std::string();
    added.append(keyBytes).append("=").append(bytes).append(kLineBreak);
    splice(at, 0, added);
    const std::size_t first = at + (lastOpen ? kLineBreak.size() : 0);
    indexLines(first, at + added.size(), header);
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
    const std::string keyBytes = utf8ToCp932(key);
    const std::size_t slot = findKeySlot(header, keyBytes);
    if (slot == kNone) return false;
    const Line line = lineAt(m_bytes, m_keys[slot].line);
    m_keys[slot].line = kRemoved;
    m_insertHeader = kNone;
    // A last line without a line end passes that on to the line before it, so nothing else changes.
    std::size_t from = line.start;
    if (line.textEnd == line.end && from > 0) {
        from -= (from >= 2 && m_bytes[from - 1] == '\n' && m_bytes[from - 2] == '\r') ? 2 : 1;
    }
    splice(from, line.end - from, {});
    // The next line of the same name in the section is now the first.
    for (std::size_t at = from == line.start ? from : m_bytes.size(); at < m_bytes.size();) {
        const Line next = lineAt(m_bytes, at);
        const Parsed parsed = parseLine(m_bytes, next);
        if (parsed.kind == Kind::Section) break;
        if (parsed.kind == Kind::Key && namesMatch(parsed.name, keyBytes)) {
            addKey(header, at, hashKey(hashName(parseLine(m_bytes, lineAt(m_bytes, header)).name), parsed.name));
            break;
        }
        at = next.end;
    }
    return true;
}

}  // namespace ravolin
