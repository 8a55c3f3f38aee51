#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ravolin {

// The longest value the reader hands back, in CP932 bytes (the Windows reader's 4096-byte buffer).
inline constexpr std::size_t kProfileValueMaxBytes = 4095;

// An INI file read and written the way the Windows private-profile functions do it, so that files move
// between the two programs unchanged. It holds the file's CP932 bytes line by line: reads decode only
// the value asked for, and a write touches only the line it concerns (or adds one). Names and values
// cross this boundary as UTF-8.
class ProfileFile {
public:
    ProfileFile() = default;
    explicit ProfileFile(std::string_view cp932);

    // The value with one matching pair of outer quotes removed and cut to kProfileValueMaxBytes; nullopt
    // when the section or the key is missing, or the key's line has no "=".
    std::optional<std::string> GetString(std::string_view section, std::string_view key) const;
    std::string GetString(std::string_view section, std::string_view key, std::string_view fallback) const;
    // Leading blanks, an optional sign, then decimal digits up to the first other character, wrapping
    // modulo 2^32; a missing or empty value gives `fallback`.
    std::int32_t GetInt(std::string_view section, std::string_view key, std::int32_t fallback) const;

    // Replaces the key's value in place, or adds the key to its section, or the section to the end.
    // Returns false when the value could not be stored exactly: characters CP932 lacks became "?" (in the
    // value or the names), or line breaks (which would split the line) were dropped.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInt(std::string_view section, std::string_view key, std::int32_t value);
    // Removes the key's line (the first match in the first matching section), as writing no value does;
    // false when there was none.
    bool DeleteKey(std::string_view section, std::string_view key);

    std::string Bytes() const;

private:
    enum class Kind { Blank, Comment, Section, Key };
    // A piece of a line's text; positions rather than views, so lines can move.
    struct Span {
        std::size_t pos = 0;
        std::size_t size = 0;
    };
    struct Line {
        std::string text;    // the line's bytes without its line end
        std::string ending;  // "\r\n", "\n", "\r", or empty for a last line without one
        Kind kind = Kind::Blank;
        Span name;              // section or key name, trimmed
        Span value;             // a key's value, trimmed
        bool hasValue = false;  // a key line holds "="
    };

    static void classify(Line& line);
    static std::string_view piece(const Line& line, Span span) {
        return std::string_view(line.text).substr(span.pos, span.size);
    }
    std::size_t findSection(std::string_view section) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::size_t findKey(std::size_t header, std::string_view key) const;
    const Line* findValueLine(std::string_view section, std::string_view key) const;
    void insertLine(std::size_t index, std::string text);

    std::vector<Line> m_lines;
};

}  // namespace ravolin
