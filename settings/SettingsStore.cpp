#include "settings/SettingsStore.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <new>
#include <optional>
#include <span>

#include "conversion/TextHelpers.h"
#include "platform/core/Codec.h"
#include "platform/core/FileAccess.h"
#include "settings/ProfileFile.h"

namespace ravolin {
namespace {

constexpr char kCommon[] = "Common";
constexpr char kEdit[] = "Edit";
constexpr char kNumerical[] = "Numerical";
constexpr char kArrangement[] = "Arrangement";

// Keys of slot `index` carry the slot's number (from 1) as their last character.
std::string numbered(const char* stem, std::size_t index) { return stem + std::to_string(index + 1); }

std::string defaultCounterToken(std::size_t index) { return "＜置換" + std::to_string(index + 1) + "＞"; }
std::string defaultArrayToken(std::size_t index) { return "＜配列" + std::to_string(index + 1) + "＞"; }

std::string lineForm(std::string_view fileForm) { return ReplaceAll(fileForm, kSeparator, kLineBreak); }

// A lone CR or LF (a text pasted from elsewhere) can't be written raw, so it first becomes the CR LF it
// most likely meant; only then do the line breaks turn into commas.
std::string fileForm(std::string_view text) {
    std::string normalized;
    normalized.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            normalized.append(kLineBreak);
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            normalized.push_back(text[i]);
        }
    }
    return ReplaceAll(normalized, kLineBreak, kSeparator);
}

// The key of ours beside a multi-line text's own key: the text exactly as typed, for texts whose own commas
// the file form would turn into line breaks.
std::string exactKey(std::string_view key) { return std::string(key) + "Exact"; }

// The exact form: the text with "%", CR and LF as %25, %0D and %0A, so it stays on one line and holds every
// byte, commas included.
struct Escape {
    char byte;
    std::string_view code;
};
constexpr Escape kExactEscapes[] = {{'%', "25"}, {'\r', "0D"}, {'\n', "0A"}};

std::string escapeExact(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto* escape = std::find_if(std::begin(kExactEscapes), std::end(kExactEscapes),
                                          [c](const Escape& e) { return e.byte == c; });
        if (escape == std::end(kExactEscapes)) {
            escaped.push_back(c);
        } else {
            escaped.append("%").append(escape->code);
        }
    }
    return escaped;
}

// The text of an exact form; nullopt for one this program didn't write (an unknown or cut escape).
std::optional<std::string> unescapeExact(std::string_view escaped) {
    std::string text;
    text.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '%') {
            text.push_back(escaped[i]);
            continue;
        }
        const std::string_view code = escaped.substr(i + 1, 2);
        const auto* escape = std::find_if(std::begin(kExactEscapes), std::end(kExactEscapes),
                                          [code](const Escape& e) { return e.code == code; });
        if (escape == std::end(kExactEscapes)) return std::nullopt;
        text.push_back(escape->byte);
        i += 2;
    }
    return text;
}

// A text kept only in the exact form, as loaded; one this program didn't write (a "%" of its own) as it stands.
std::string loadExact(std::string_view stored) { return unescapeExact(stored).value_or(std::string(stored)); }

// A multi-line text as loaded: the exact form where it is there and still agrees with the key the Windows
// program reads (another program may have changed that key since), otherwise the key's own line form.
std::string loadMultiLine(const ProfileFile& file, const char* section, const std::string& key) {
    const std::string stored = file.GetString(section, key, "");
    if (const std::optional<std::string> escaped = file.GetString(section, exactKey(key))) {
        const std::optional<std::string> exact = unescapeExact(*escaped);
        if (exact && fileForm(*exact) == stored) return *exact;
    }
    return lineForm(stored);
}

// Writes keys one by one and notes every text the file can't give back as it was.
class KeyWriter {
public:
    KeyWriter(ProfileFile& file, std::vector<TextAdjustment>& adjustments) : m_file(file), m_adjustments(adjustments) {}

    void integer(const std::string& section, const std::string& key, std::int32_t value) {
        m_file.WriteInt(section, key, value);
    }

    // A key of ours: written once it leaves its default or where the file already has it, so a file of
    // someone who never uses it stays as the Windows program writes it.
    void optionalInteger(const std::string& section, const std::string& key, std::int32_t value,
                         std::int32_t fallback) {
        if (value != fallback || m_file.GetString(section, key)) m_file.WriteInt(section, key, value);
    }

    // A text of ours, written under the same rule, and told of as every text is.
    void optionalText(const std::string& section, const std::string& key, std::string_view value,
                      std::string_view fallback, StoredText what, std::size_t slot) {
        if (value != fallback || m_file.GetString(section, key)) text(section, key, value, what, slot);
    }

    void text(const std::string& section, const std::string& key, std::string_view value, StoredText what,
              std::size_t slot = 0) {
        // What the file holds past the read limit was never loaded: writing back the start that was loses it.
        const bool storedCut = m_file.TruncatesValue(section, key, value);
        if (!m_file.WriteString(section, key, value)) note(what, slot, TextAdjustment::Kind::Substituted);
        // The file keeps all of it, but the reader gives back only its first kProfileValueMaxBytes.
        if (utf8ToCp932(value).size() > kProfileValueMaxBytes) {
            note(what, slot, TextAdjustment::Kind::Shortened);
        } else if (storedCut) {
            note(what, slot, TextAdjustment::Kind::StoredTailDropped);
        }
    }

    // A multi-line text: its file form under `key`, byte for byte as the Windows program writes it, and its
    // exact form beside it only while the text holds a comma of its own, which the file form can't keep.
    void multiLine(const std::string& section, const std::string& key, std::string_view value, StoredText what,
                   std::size_t slot = 0) {
        text(section, key, fileForm(value), what, slot);
        if (value.find(',') != std::string_view::npos) {
            m_file.WriteString(section, exactKey(key), escapeExact(value));
        } else {
            // Every copy: a duplicate left below would be read once the first is gone.
            while (m_file.DeleteKey(section, exactKey(key))) {
            }
        }
    }

    void token(const std::string& section, const std::string& key, std::string_view value, StoredText what,
               std::size_t slot) {
        bool shortened = false;
        const std::string fitted = fitToken(value, &shortened);
        if (shortened) note(what, slot, TextAdjustment::Kind::Shortened);
        text(section, key, fitted, what, slot);
    }

private:
    void note(StoredText what, std::size_t slot, TextAdjustment::Kind kind) {
        m_adjustments.push_back({what, slot, kind});
    }

    ProfileFile& m_file;
    std::vector<TextAdjustment>& m_adjustments;
};

// Every stored key, in the order a file written from nothing holds them: one row drives both the load and
// the save. A slot's keys carry its number (from 1) after their stem and stand together, slot by slot.
// A field of the document by one expression, for reading from the file and writing to it.
template <typename T>
struct Field {
    T& (*load)(Document&, std::size_t) = nullptr;
    const T& (*save)(const Document&, std::size_t) = nullptr;
};

enum class Form {
    Integer,     // written always
    OwnInteger,  // a key of ours: written once it leaves its default or where the file already has it
    Text,        // one line, as it is
    OwnText,     // one line of ours: written once it leaves its default or where the file already has it
    Token,       // cut to a token field
    MultiLine,   // its file form, with its exact form beside it while it holds a comma
    OwnExact,    // a text of ours in the exact form, written as an OwnText is
};

struct KeyRow {
    const char* section;
    const char* stem;
    Form form;
    StoredText what;  // for the adjustments a save reports
    // The field a key reads and writes, in slot `i` (0 for the window's keys), and its default.
    Field<std::int32_t> integer;
    std::int32_t fallback = 0;
    Field<std::string> text;
    std::string (*defaultText)(std::size_t) = nullptr;
};

KeyRow integerKey(const char* section, const char* stem, Form form, Field<std::int32_t> field, std::int32_t fallback) {
    return {section, stem, form, StoredText::Template, field, fallback, {}, nullptr};
}

KeyRow textKey(const char* section, const char* stem, Form form, StoredText what, Field<std::string> field,
               std::string (*defaultText)(std::size_t) = nullptr) {
    return {section, stem, form, what, {}, 0, field, defaultText};
}

#define RAVOLIN_FIELD(type, expr)                                                         \
    Field<type> {                                                                         \
        [](Document& j, std::size_t i) -> type& { return (void)i, expr; },                \
            [](const Document& j, std::size_t i) -> const type& { return (void)i, expr; } \
    }
#define RAVOLIN_INT(expr) RAVOLIN_FIELD(std::int32_t, expr)
#define RAVOLIN_TEXT(expr) RAVOLIN_FIELD(std::string, expr)

const OutputShape kPlainShape;
const KeyRow kWindowKeys[] = {
    integerKey(kCommon, "Loop", Form::Integer, RAVOLIN_INT(j.window.loopCount), 0),
    integerKey(kCommon, "Tray", Form::Integer, RAVOLIN_INT(j.window.tray), 0),
    integerKey(kCommon, "Beep", Form::Integer, RAVOLIN_INT(j.window.beep), 0),
    integerKey(kCommon, "AutoSave", Form::Integer, RAVOLIN_INT(j.window.autoSave), 0),
    textKey(kCommon, "Font", Form::Text, StoredText::Font, RAVOLIN_TEXT(j.window.font)),
    textKey(kCommon, "Header", Form::OwnExact, StoredText::Header, RAVOLIN_TEXT(j.window.shape.header),
            [](std::size_t) { return kPlainShape.header; }),
    textKey(kCommon, "Joiner", Form::OwnExact, StoredText::Joiner, RAVOLIN_TEXT(j.window.shape.joiner),
            [](std::size_t) { return kPlainShape.joiner; }),
    textKey(kCommon, "Footer", Form::OwnExact, StoredText::Footer, RAVOLIN_TEXT(j.window.shape.footer),
            [](std::size_t) { return kPlainShape.footer; }),
    textKey(kEdit, "Origin", Form::MultiLine, StoredText::Template, RAVOLIN_TEXT(j.window.templateText)),
};

const CounterStyle kPlainCounter;
const KeyRow kCounterKeys[] = {
    textKey(kNumerical, "Text", Form::Token, StoredText::CounterToken, RAVOLIN_TEXT(j.record.counters[i].token),
            defaultCounterToken),
    integerKey(kNumerical, "Init", Form::Integer, RAVOLIN_INT(j.record.counters[i].initialValue), 0),
    integerKey(kNumerical, "Inc", Form::Integer, RAVOLIN_INT(j.record.counters[i].increment), 1),
    integerKey(kNumerical, "Repeat", Form::OwnInteger, RAVOLIN_INT(j.record.counters[i].style.repeat),
               kPlainCounter.repeat),
    integerKey(kNumerical, "Period", Form::OwnInteger, RAVOLIN_INT(j.record.counters[i].style.period),
               kPlainCounter.period),
    integerKey(kNumerical, "Format", Form::OwnInteger, RAVOLIN_INT(j.record.counters[i].style.format),
               kPlainCounter.format),
    integerKey(kNumerical, "Width", Form::OwnInteger, RAVOLIN_INT(j.record.counters[i].style.width),
               kPlainCounter.width),
    integerKey(kNumerical, "Fill", Form::OwnInteger, RAVOLIN_INT(j.record.counters[i].style.fill), kPlainCounter.fill),
    integerKey(kNumerical, "Kind", Form::OwnInteger, RAVOLIN_INT(j.record.counters[i].style.kind), kPlainCounter.kind),
    textKey(kNumerical, "Start", Form::OwnText, StoredText::CounterStyleText,
            RAVOLIN_TEXT(j.record.counters[i].style.start), [](std::size_t) { return kPlainCounter.start; }),
    integerKey(kNumerical, "Unit", Form::OwnInteger, RAVOLIN_INT(j.record.counters[i].style.unit), kPlainCounter.unit),
    textKey(kNumerical, "Off", Form::OwnText, StoredText::CounterStyleText,
            RAVOLIN_TEXT(j.record.counters[i].style.daysOff), [](std::size_t) { return kPlainCounter.daysOff; }),
    textKey(kNumerical, "Pattern", Form::OwnText, StoredText::CounterStyleText,
            RAVOLIN_TEXT(j.record.counters[i].style.pattern), [](std::size_t) { return kPlainCounter.pattern; }),
    textKey(kNumerical, "Step", Form::OwnText, StoredText::CounterStyleText,
            RAVOLIN_TEXT(j.record.counters[i].style.step), [](std::size_t) { return kPlainCounter.step; }),
    integerKey(kNumerical, "Places", Form::OwnInteger, RAVOLIN_INT(j.record.counters[i].style.places),
               kPlainCounter.places),
    integerKey(kNumerical, "Min", Form::OwnInteger, RAVOLIN_INT(j.record.counters[i].style.minimum),
               kPlainCounter.minimum),
    integerKey(kNumerical, "Max", Form::OwnInteger, RAVOLIN_INT(j.record.counters[i].style.maximum),
               kPlainCounter.maximum),
    textKey(kNumerical, "Seed", Form::OwnText, StoredText::CounterStyleText,
            RAVOLIN_TEXT(j.record.counters[i].style.seed), [](std::size_t) { return kPlainCounter.seed; }),
    integerKey(kNumerical, "Unique", Form::OwnInteger, RAVOLIN_INT(j.record.counters[i].style.unique),
               kPlainCounter.unique),
};

const ArrayStyle kPlainArray;
const KeyRow kArrayKeys[] = {
    textKey(kArrangement, "Text", Form::Token, StoredText::ArrayToken, RAVOLIN_TEXT(j.record.arrays[i].token),
            defaultArrayToken),
    textKey(kArrangement, "Value", Form::MultiLine, StoredText::ArrayValues,
            RAVOLIN_TEXT(j.record.arrays[i].valuesText)),
    integerKey(kArrangement, "Repeat", Form::OwnInteger, RAVOLIN_INT(j.record.arrays[i].style.repeat),
               kPlainArray.repeat),
    integerKey(kArrangement, "End", Form::OwnInteger, RAVOLIN_INT(j.record.arrays[i].style.end), kPlainArray.end),
    integerKey(kArrangement, "Order", Form::OwnInteger, RAVOLIN_INT(j.record.arrays[i].style.order), kPlainArray.order),
    textKey(kArrangement, "Seed", Form::OwnText, StoredText::ArrayStyleText,
            RAVOLIN_TEXT(j.record.arrays[i].style.seed), [](std::size_t) { return kPlainArray.seed; }),
    integerKey(kArrangement, "Escape", Form::OwnInteger, RAVOLIN_INT(j.record.arrays[i].style.escape),
               kPlainArray.escape),
};

#undef RAVOLIN_INT
#undef RAVOLIN_TEXT
#undef RAVOLIN_FIELD

// The rows with the slots they repeat over: the window's keys once, then counter by counter, array by array.
struct KeyGroup {
    std::span<const KeyRow> rows;
    std::size_t slots;  // 0: keys without a number
};
const KeyGroup kKeyGroups[] = {{kWindowKeys, 0}, {kCounterKeys, kCounterCount}, {kArrayKeys, kArrayCount}};

template <typename Visit>
void forEachKey(Visit visit) {
    for (const KeyGroup& group : kKeyGroups) {
        for (std::size_t slot = 0; slot < std::max<std::size_t>(group.slots, 1); ++slot) {
            for (const KeyRow& row : group.rows)
                visit(row, group.slots == 0 ? std::string(row.stem) : numbered(row.stem, slot), slot);
        }
    }
}

}  // namespace

namespace {

void loadFrom(const ProfileFile& file, Document& job) {
    forEachKey([&](const KeyRow& row, const std::string& key, std::size_t slot) {
        switch (row.form) {
            case Form::Integer:
            case Form::OwnInteger:
                row.integer.load(job, slot) = file.GetInt(row.section, key, row.fallback);
                break;
            case Form::Text:
                row.text.load(job, slot) = file.GetString(row.section, key, "");
                break;
            case Form::OwnText:
                row.text.load(job, slot) = file.GetString(row.section, key, row.defaultText(slot));
                break;
            case Form::Token:
                row.text.load(job, slot) = fitToken(file.GetString(row.section, key, row.defaultText(slot)));
                break;
            case Form::MultiLine:
                row.text.load(job, slot) = loadMultiLine(file, row.section, key);
                break;
            case Form::OwnExact: {
                const std::optional<std::string> stored = file.GetString(row.section, key);
                row.text.load(job, slot) = stored ? loadExact(*stored) : row.defaultText(slot);
                break;
            }
        }
    });
}

}  // namespace

void loadSettingsBytes(std::string_view cp932, Document& document) {
    loadFrom(ProfileFile{std::string(cp932)}, document);
}

int loadSettingsFile(const std::string& path, Document& document) {
    int error = 0;
    try {
        std::optional<std::string> bytes = readFileBytes(path, error);
        loadFrom(ProfileFile(bytes ? std::move(*bytes) : std::string()), document);
    } catch (const std::bad_alloc&) {
        error = ENOMEM;
    }
    if (error == ENOMEM) loadFrom(ProfileFile(), document);
    // No file at the path (nor a folder to hold one) is the first start, not a refusal.
    return error == ENOENT || error == ENOTDIR ? 0 : error;
}

SaveResult writeSettingsFile(const std::string& path, const Document& document) {
    SaveResult result;
    auto fail = [&result, &path](SaveStep step, const char* what, int code) {
        result.ok = false;
        result.error = describeFileError(path, what, code);
        result.failedStep = step;
        result.errorCode = code;
        result.adjustments.clear();
        return result;
    };
    try {
        int error = 0;
        const std::optional<std::string> current = readFileBytes(path, error);
        // Writing over a file that can't be read would lose whatever else it holds.
        if (!current && error != ENOENT) return fail(SaveStep::ReadCurrent, "cannot read the current file", error);
        const std::string bytes =
            settingsFileBytes(current ? std::string_view(*current) : std::string_view(), document, result.adjustments);
        // The next start would refuse it, and every save after that.
        if (bytes.size() > kSettingsFileMaxBytes)
            return fail(SaveStep::TooLarge, "the new content is too large", kFileTooLargeError);
        FileFailure failure;
        result.ok = replaceFileAtomically(path, bytes, failure);
        result.error = std::move(failure.message);
        result.failedStep = failure.step;
        result.errorCode = failure.code;
    } catch (const std::bad_alloc&) {
        return fail(SaveStep::None, "cannot save", ENOMEM);
    }
    return result;
}

std::string settingsFileBytes(std::string_view current, const Document& job, std::vector<TextAdjustment>& adjustments) {
    ProfileFile file{std::string(current)};
    KeyWriter write(file, adjustments);
    forEachKey([&](const KeyRow& row, const std::string& key, std::size_t slot) {
        switch (row.form) {
            case Form::Integer:
                write.integer(row.section, key, row.integer.save(job, slot));
                break;
            case Form::OwnInteger:
                write.optionalInteger(row.section, key, row.integer.save(job, slot), row.fallback);
                break;
            case Form::Text:
                write.text(row.section, key, row.text.save(job, slot), row.what);
                break;
            case Form::OwnText:
                write.optionalText(row.section, key, row.text.save(job, slot), row.defaultText(slot), row.what, slot);
                break;
            case Form::Token:
                write.token(row.section, key, row.text.save(job, slot), row.what, slot);
                break;
            case Form::MultiLine:
                write.multiLine(row.section, key, row.text.save(job, slot), row.what, slot);
                break;
            case Form::OwnExact:
                write.optionalText(row.section, key, escapeExact(row.text.save(job, slot)),
                                   escapeExact(row.defaultText(slot)), row.what, slot);
                break;
        }
    });
    return file.Bytes();
}

std::string fitToken(std::string_view token, bool* shortened) {
    std::string fitted;
    fitted.reserve(token.size());
    for (char c : token) {
        if (c != '\r' && c != '\n') fitted.push_back(c);
    }
    const bool lineBreaksRemoved = fitted.size() != token.size();
    const std::size_t keep = utf8PrefixForCp932Bytes(fitted, kTokenMaxBytes);
    if (shortened) *shortened = lineBreaksRemoved || keep < fitted.size();
    fitted.resize(keep);
    return fitted;
}

std::vector<TextAdjustment> fitTokens(Settings& record) {
    std::vector<TextAdjustment> cut;
    const auto fit = [&cut](std::string& token, StoredText what, std::size_t slot) {
        bool shortened = false;
        token = fitToken(token, &shortened);
        if (shortened) cut.push_back({what, slot, TextAdjustment::Kind::Shortened});
    };
    for (std::size_t r = 0; r < kCounterCount; ++r) fit(record.counters[r].token, StoredText::CounterToken, r);
    for (std::size_t i = 0; i < kArrayCount; ++i) fit(record.arrays[i].token, StoredText::ArrayToken, i);
    return cut;
}

}  // namespace ravolin
