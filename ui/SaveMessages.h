#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/SettingsStore.h"

namespace ravolin {

// A text of DialogTexts.h with its %1 (and %2) filled in.
std::string fillText(std::string_view text, std::string_view first);
std::string fillText(std::string_view text, std::string_view first, std::string_view second);

// The file and the reason of a failed save, in the user's words (the %1 of kSaveFailedMessage).
std::string describeSaveFailure(const std::string& path, const SaveResult& result);
// The same for a settings file refused at start (the %1 of kLoadRefusedMessage).
std::string describeLoadFailure(const std::string& path, int code);
// Why a file the user chose could not be read, in the user's words.
std::string readFailureReason(int code);

// The warning that names every text a save stored other than as it stood, item by item in the user's words;
// empty when there is none.
std::string describeAdjustments(const std::vector<TextAdjustment>& adjustments);

}  // namespace ravolin
