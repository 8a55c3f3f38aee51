#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The escapes an array applies to a value before it is inserted, so that names such as O'Brien or
// "Tokyo, Japan" keep SQL, CSV, HTML, JSON and URLs valid.
namespace ravolin {

// As stored ("Escape1"...): any other value is kEscapeNone.
enum ValueEscape : std::int32_t {
    kEscapeNone,
    kEscapeSqlText,     // ' doubled: the content of an SQL string
    kEscapeSqlLiteral,  // the same in '...', and the empty value as NULL
    kEscapeCsv,         // RFC 4180: quoted, " doubled, where the value needs it
    kEscapeHtml,        // & < > " ' as entities
    kEscapeJson,        // the content of a JSON string
    kEscapeUrl,         // percent-encoding of all but the unreserved bytes
};
inline constexpr std::int32_t kEscapeCount = kEscapeUrl + 1;

// `value` (UTF-8) as `escape` writes it.
std::string escapeValue(std::string_view value, std::int32_t escape);

}  // namespace ravolin
