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
// between the two programs unchanged. It holds the file's CP932 bytes as they are, with an index from each
// section name to its first section and from each key name there to its first line, so that a lookup costs
// no scan and the file costs a few bytes per name beside its own bytes, whatever its number of lines. Reads
// decode only the value asked for, and a write touches only the line it concerns (or adds one). Names and
// values cross this boundary as UTF-8. A file of 4 GiB or more is beyond the index and throws
// std::bad_alloc, as running out of memory does.
class ProfileFile {
public:
    ProfileFile() = default;
    explicit ProfileFile(std::string cp932);

    // The value with one matching pair of outer quotes removed and cut to kProfileValueMaxBytes and before
    // the first NUL byte (the Windows functions hand back a C string); nullopt when the section or the key is
    // missing, or the key's line has no "=".
    std::optional<std::string> GetString(std::string_view section, std::string_view key) const;
    std::string GetString(std::string_view section, std::string_view key, std::string_view fallback) const;
    // Leading blanks, an optional sign, then decimal digits up to the first other character, wrapping
    // modulo 2^32; a missing or empty value gives `fallback`.
    std::int32_t GetInt(std::string_view section, std::string_view key, std::int32_t fallback) const;
    // Whether writing `value` would keep only the start of the stored value: the key holds more than GetString
    // gives back (it runs past kProfileValueMaxBytes), and `value` is how it begins.
    bool TruncatesValue(std::string_view section, std::string_view key, std::string_view value) const;

    // Replaces the key's value in place, or adds the key to its section, or the section to the end.
    // Returns false when the value could not be stored exactly: characters CP932 lacks became "?" (in the
    // value or the names), line breaks (which would split the line) were dropped, or a NUL cuts what follows.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInt(std::string_view section, std::string_view key, std::int32_t value);
    // Removes the key's line (the first match in the first matching section), as writing no value does;
    // false when there was none.
    bool DeleteKey(std::string_view section, std::string_view key);

    const std::string& Bytes() const { return m_bytes; }

private:
    // Offsets into m_bytes: 32 bits keep the index at a few bytes a name.
    using Offset = std::uint32_t;
    struct KeySlot {
        Offset section;  // the header line of the key's section
        Offset line;     // the key's line
    };

    std::size_t findSection(std::string_view name) const;
    std::size_t findKeySlot(std::size_t header, std::string_view key) const;
    std::size_t findKeySlot(std::size_t header, std::size_t sectionHash, std::string_view key) const;
    std::size_t findKey(std::size_t header, std::string_view key) const;
    std::optional<std::string_view> findValue(std::string_view section, std::string_view key) const;
    // Indexes the lines that start in [from, to), whose first line lies in the section of `header` (kNone:
    // in none that is indexed).
    void indexLines(std::size_t from, std::size_t to, std::size_t header);
    void addSection(std::size_t header, std::size_t hash);
    void addKey(std::size_t header, std::size_t line, std::size_t hash);
    void growSections();
    void growKeys();
    // Replaces m_bytes[pos, pos + length) by `text` and moves the offsets after it.
    void splice(std::size_t pos, std::size_t length, std::string_view text);
    // Where a new key of the section goes: after its last line that isn't blank.
    std::size_t insertionPoint(std::size_t header);

    std::string m_bytes;
    std::vector<Offset> m_sections;  // open addressing by name: the first header line of each section name
    std::vector<KeySlot> m_keys;     // open addressing by section and name: the first line of each key
    std::size_t m_sectionCount = 0;
    std::size_t m_keyCount = 0;  // removed keys included, until the table grows
    // The insertion point last found and its section, kept while writes only move it: a save adds its keys
    // to one section after another.
    std::size_t m_insertHeader = static_cast<std::size_t>(-1);
    std::size_t m_insertAt = 0;
};

}  // namespace ravolin
