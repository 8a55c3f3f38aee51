#include "settings/SettingsStore.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <optional>

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

    void text(const std::string& section, const std::string& key, std::string_view value, StoredText what,
              std::size_t slot = 0) {
        if (!m_file.WriteString(section, key, value)) note(what, slot, TextAdjustment::Kind::Substituted);
        // The file keeps all of it, but the reader gives back only its first kProfileValueMaxBytes.
        if (utf8ToCp932(value).size() > kProfileValueMaxBytes) note(what, slot, TextAdjustment::Kind::Shortened);
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

}  // namespace

void loadSettingsBytes(std::string_view cp932, WindowSettings& window, Settings& record) {
    const ProfileFile file(cp932);
    window.loopCount = file.GetInt(kCommon, "Loop", 0);
    window.beep = file.GetInt(kCommon, "Beep", 0);
    window.tray = file.GetInt(kCommon, "Tray", 0);
    window.autoSave = file.GetInt(kCommon, "AutoSave", 0);
    window.font = file.GetString(kCommon, "Font", "");
    window.templateText = loadMultiLine(file, kEdit, "Origin");
    for (std::size_t i = 0; i < record.counters.size(); ++i) {
        NumericSlot& counter = record.counters[i];
        counter.token = fitToken(file.GetString(kNumerical, numbered("Text", i), defaultCounterToken(i)));
        counter.initialValue = file.GetInt(kNumerical, numbered("Init", i), 0);
        counter.increment = file.GetInt(kNumerical, numbered("Inc", i), 1);
        const CounterStyle plain;
        counter.style = {.repeat = file.GetInt(kNumerical, numbered("Repeat", i), plain.repeat),
                         .period = file.GetInt(kNumerical, numbered("Period", i), plain.period),
                         .format = file.GetInt(kNumerical, numbered("Format", i), plain.format),
                         .width = file.GetInt(kNumerical, numbered("Width", i), plain.width),
                         .fill = file.GetInt(kNumerical, numbered("Fill", i), plain.fill)};
    }
    for (std::size_t i = 0; i < record.arrays.size(); ++i) {
        ArraySlot& array = record.arrays[i];
        array.token = fitToken(file.GetString(kArrangement, numbered("Text", i), defaultArrayToken(i)));
        array.valuesText = loadMultiLine(file, kArrangement, numbered("Value", i));
        const ArrayStyle plain;
        array.style = {.repeat = file.GetInt(kArrangement, numbered("Repeat", i), plain.repeat),
                       .end = file.GetInt(kArrangement, numbered("End", i), plain.end)};
    }
}

int loadSettingsFile(const std::string& path, WindowSettings& window, Settings& record) {
    int error = 0;
    const std::optional<std::string> bytes = readFileBytes(path, error);
    loadSettingsBytes(bytes ? std::string_view(*bytes) : std::string_view(), window, record);
    // No file at the path (nor a folder to hold one) is the first start, not a refusal.
    return bytes || error == ENOENT || error == ENOTDIR ? 0 : error;
}

SaveResult writeSettingsFile(const std::string& path, const WindowSettings& window, const Settings& record) {
    SaveResult result;
    int error = 0;
    const std::optional<std::string> current = readFileBytes(path, error);
    // Writing over a file that can't be read would lose whatever else it holds.
    if (!current && error != ENOENT) {
        result.error = describeFileError(path, "cannot read the current file", error);
        result.failedStep = SaveStep::ReadCurrent;
        result.errorCode = error;
        return result;
    }
    FileFailure failure;
    result.ok = replaceFileAtomically(path,
                                      settingsFileBytes(current ? std::string_view(*current) : std::string_view(),
                                                        window, record, result.adjustments),
                                      failure);
    result.error = std::move(failure.message);
    result.failedStep = failure.step;
    result.errorCode = failure.code;
    return result;
}

std::string settingsFileBytes(std::string_view current, const WindowSettings& window, const Settings& record,
                              std::vector<TextAdjustment>& adjustments) {
    ProfileFile file(current);
    KeyWriter write(file, adjustments);
    write.integer(kCommon, "Loop", window.loopCount);
    write.integer(kCommon, "Tray", window.tray);
    write.integer(kCommon, "Beep", window.beep);
    write.integer(kCommon, "AutoSave", window.autoSave);
    write.text(kCommon, "Font", window.font, StoredText::Font);
    write.multiLine(kEdit, "Origin", window.templateText, StoredText::Template);
    for (std::size_t i = 0; i < record.counters.size(); ++i) {
        const NumericSlot& counter = record.counters[i];
        write.token(kNumerical, numbered("Text", i), counter.token, StoredText::CounterToken, i);
        write.integer(kNumerical, numbered("Init", i), counter.initialValue);
        write.integer(kNumerical, numbered("Inc", i), counter.increment);
        const CounterStyle plain;
        write.optionalInteger(kNumerical, numbered("Repeat", i), counter.style.repeat, plain.repeat);
        write.optionalInteger(kNumerical, numbered("Period", i), counter.style.period, plain.period);
        write.optionalInteger(kNumerical, numbered("Format", i), counter.style.format, plain.format);
        write.optionalInteger(kNumerical, numbered("Width", i), counter.style.width, plain.width);
        write.optionalInteger(kNumerical, numbered("Fill", i), counter.style.fill, plain.fill);
    }
    for (std::size_t i = 0; i < record.arrays.size(); ++i) {
        const ArraySlot& array = record.arrays[i];
        write.token(kArrangement, numbered("Text", i), array.token, StoredText::ArrayToken, i);
        write.multiLine(kArrangement, numbered("Value", i), array.valuesText, StoredText::ArrayValues, i);
        const ArrayStyle plain;
        write.optionalInteger(kArrangement, numbered("Repeat", i), array.style.repeat, plain.repeat);
        write.optionalInteger(kArrangement, numbered("End", i), array.style.end, plain.end);
    }
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

}  // namespace ravolin
