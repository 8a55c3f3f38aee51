#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/FileAccess.h"
#include "settings/Settings.h"

namespace ravolin {

inline constexpr char kSettingsFileName[] = "RavolinSetting.ini";

// Reads the 39 keys, and the keys of ours (the output's "Header", "Joiner" and "Footer" in [Common], in the
// exact form; the style keys "Repeat1", "Format1"... of the counters, with the date counters' "Kind1",
// "Start1", "Unit1", "Off1" and "Pattern1"; "Repeat1" and "End1" of the arrays), into
// `document`, with the defaults for whatever is missing. A missing file gives the defaults, and nothing is
// created. A file that is there but can't be taken (unreadable, not a regular file, too large, or no memory for
// it: ENOMEM) gives the defaults too; the error of that (an errno or a code of FileAccess.h) is returned, 0
// otherwise.
int loadSettingsFile(const std::string& path, Document& document);

// The same from the file's bytes (CP932), for callers that read the file themselves.
void loadSettingsBytes(std::string_view cp932, Document& document);

// The texts of the record and the window that a save stores.
// CounterStyleText, ArrayStyleText: a text of a slot's style (a date counter's start, pattern, a seed...).
// Header, Joiner, Footer: the output's shape.
enum class StoredText {
    Template,
    Font,
    CounterToken,
    ArrayToken,
    ArrayValues,
    CounterStyleText,
    ArrayStyleText,
    Header,
    Joiner,
    Footer
};

// A text the file could not hold as it stands.
struct TextAdjustment {
    // Shortened: kept whole, but read back only in part (a token: cut to its field). StoredTailDropped: the
    // file held more than a load reads, and the save replaced it, so that part is gone.
    enum class Kind { Shortened, Substituted, StoredTailDropped };
    StoredText text = StoredText::Template;
    std::size_t slot = 0;  // the counter or array, from 0 (0 for the template and the font)
    Kind kind = Kind::Shortened;

    bool operator==(const TextAdjustment&) const = default;
};

struct SaveResult {
    bool ok = false;
    std::string error;  // names the file and what failed, in English; empty when ok
    SaveStep failedStep = SaveStep::None;
    int errorCode = 0;  // errno of the failed step
    std::vector<TextAdjustment> adjustments;
};

// Writes the 39 keys in one atomic replacement of the file, leaving every other line of it untouched. A key
// of ours is written only where it differs from its default or the file already has it. A new content over
// kSettingsFileMaxBytes, which the next load would refuse, is not written (SaveStep::TooLarge); running out of
// memory fails the save with ENOMEM.
SaveResult writeSettingsFile(const std::string& path, const Document& document);

// The bytes such a save writes over `current` (the file's present content, empty for a new file).
std::string settingsFileBytes(std::string_view current, const Document& document,
                              std::vector<TextAdjustment>& adjustments);

// The longest prefix of `token` that fits a token field (kTokenMaxBytes CP932 bytes) without splitting a
// character; line breaks, which a token cannot mean, are removed. `shortened` tells whether anything was cut.
std::string fitToken(std::string_view token, bool* shortened = nullptr);

// Cuts every token of `record` with fitToken, so that the record holds what a save stores; the tokens it cut.
std::vector<TextAdjustment> fitTokens(Settings& record);

}  // namespace ravolin
