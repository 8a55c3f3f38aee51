#include "conversion/Escaping.h"

namespace ravolin {
namespace {

constexpr char kHexUpper[] = "0123456789ABCDEF";
constexpr char kHexLower[] = "0123456789abcdef";
constexpr std::string_view kIdeographicSpace = "\u3000";

// Spreadsheets drop blanks around an unquoted field: a value that starts or ends with one keeps it in quotes.
bool blankAtAnEnd(std::string_view value) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return !value.empty() && (blank(value.front()) || blank(value.back()) || value.starts_with(kIdeographicSpace) ||
                              value.ends_with(kIdeographicSpace));
}

// `value` with each `quote` doubled, between two of them when `enclosed`.
std::string doubled(std::string_view value, char quote, bool enclosed = false) {
    std::string out;
    out.reserve(value.size() + 2);
    if (enclosed) out.push_back(quote);
    for (char c : value) {
        out.push_back(c);
        if (c == quote) out.push_back(c);
    }
    if (enclosed) out.push_back(quote);
    return out;
}

std::string json(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20) {
                    out.append("\\u00").push_back(kHexLower[byte >> 4]);
                    out.push_back(kHexLower[byte & 15]);
                } else {
                    out.push_back(c);
                }
        }
    }
    return out;
}

std::string url(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(kHexUpper[byte >> 4]);
            out.push_back(kHexUpper[byte & 15]);
        }
    }
    return out;
}

std::string html(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

}  // namespace

std::string escapeValue(std::string_view value, std::int32_t escape) {
    switch (escape) {
        case kEscapeSqlText:
            return doubled(value, '\'');
        case kEscapeSqlLiteral:
            return value.empty() ? std::string("NULL") : doubled(value, '\'', true);
        case kEscapeCsv:
            if (value.find_first_of(",\"\r\n") == std::string_view::npos && !blankAtAnEnd(value))
                return std::string(value);
            return doubled(value, '"', true);
        case kEscapeHtml:
            return html(value);
        case kEscapeJson:
            return json(value);
        case kEscapeUrl:
            return url(value);
        default:
            return std::string(value);
    }
}

}  // namespace ravolin
