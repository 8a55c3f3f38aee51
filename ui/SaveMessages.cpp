#include "ui/SaveMessages.h"

#include <cerrno>
#include <cstring>

#include <QString>

#include "settings/ProfileFile.h"
#include "ui/DialogTexts.h"

namespace ravolin {
namespace {

QString qt(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::string itemName(const TextAdjustment& adjustment) {
    const std::string slot = std::to_string(adjustment.slot + 1);
    switch (adjustment.text) {
        case StoredText::Template:
            return kTemplateItem;
        case StoredText::Font:
            return kFontItem;
        case StoredText::CounterToken:
            return fillText(kCounterTokenItem, slot);
        case StoredText::ArrayToken:
            return fillText(kArrayTokenItem, slot);
        case StoredText::ArrayValues:
            return fillText(kArrayValuesItem, slot);
        case StoredText::CounterStyleText:
            return fillText(kCounterStyleTextItem, slot);
        case StoredText::ArrayStyleText:
            return fillText(kArrayStyleTextItem, slot);
        case StoredText::Header:
            return kHeaderItem;
        case StoredText::Joiner:
            return kJoinerItem;
        case StoredText::Footer:
            return kFooterItem;
    }
    return kTemplateItem;
}

std::string whatBecameOf(const TextAdjustment& adjustment) {
    if (adjustment.kind == TextAdjustment::Kind::Substituted) return kTextSubstituted;
    if (adjustment.kind == TextAdjustment::Kind::StoredTailDropped) {
        return fillText(kStoredTailDropped, std::to_string(kProfileValueMaxBytes));
    }
    // Tokens are cut to their field; longer texts are kept whole, but only their start is read back.
    if (adjustment.text == StoredText::CounterToken || adjustment.text == StoredText::ArrayToken) {
        return fillText(kTokenShortened, std::to_string(kTokenMaxBytes));
    }
    return fillText(kTextShortened, std::to_string(kProfileValueMaxBytes));
}

std::string stepText(SaveStep step) {
    switch (step) {
        case SaveStep::ReadCurrent:
            return "現在のファイルを読み込めません";
        case SaveStep::FollowLink:
            return "リンク先をたどれません";
        case SaveStep::NotRegularFile:
            return "通常のファイルではありません";
        case SaveStep::WriteProtected:
            return "ファイルに書き込む権限がありません";
        case SaveStep::CreateTemporary:
            return "保存用の一時ファイルを作成できません";
        case SaveStep::KeepPermissions:
            return "ファイルの権限を引き継げません";
        case SaveStep::WriteTemporary:
            return "内容を書き込めません";
        case SaveStep::Replace:
            return "ファイルを置き換えられません";
        case SaveStep::RewriteInPlace:
            return "ファイルを書き換えられません";
        case SaveStep::TooLarge:
            return "保存後のファイルが大きすぎます";
        case SaveStep::None:
            break;
    }
    return "保存できません";
}

// The usual reasons in Japanese; the system's own words for the rest.
std::string reasonText(int code) {
    switch (code) {
        case EACCES:
        case EPERM:
            return "アクセスが拒否されました";
        case ENOSPC:
            return "ディスクの空き容量が足りません";
        case EDQUOT:
            return "ディスクの使用量の上限を超えています";
        case EROFS:
            return "読み取り専用のファイルシステムです";
        case ENOENT:
            return "フォルダーが見つかりません";
        case ENOTDIR:
            return "パスの途中にフォルダーではないものがあります";
        case EISDIR:
            return "フォルダーです";
        case ELOOP:
            return "シンボリックリンクが循環しています";
        case EFBIG:
            return "ファイルが大きすぎます";
        case EIO:
            return "入出力エラーが発生しました";
        case ENAMETOOLONG:
            return "パスが長すぎます";
        case ENOMEM:
            return "メモリーが足りません";
        case kNotRegularFileError:
            return "通常のファイルではありません（パイプ、デバイスなど）";
        case kFileTooLargeError:
            return std::to_string(kSettingsFileMaxBytes >> 20) + " MB を超えています";
        default:
            return std::strerror(code);
    }
}

}  // namespace

std::string describeSaveFailure(const std::string& path, const SaveResult& result) {
    // A pipe or a device at the path: its own reason says the step already.
    if (result.failedStep == SaveStep::NotRegularFile && result.errorCode == kNotRegularFileError) {
        return fillText(kSaveFailureDetail, path, reasonText(result.errorCode));
    }
    std::string text =
        fillText(kSaveFailureDetail, path,
                 fillText(kSaveFailureReason, stepText(result.failedStep), reasonText(result.errorCode)));
    if (result.failedStep == SaveStep::TooLarge)
        text += fillText(kSaveTooLargeAdvice, std::to_string(kSettingsFileMaxBytes >> 20));
    return text;
}

std::string describeLoadFailure(const std::string& path, int code) {
    return fillText(kSaveFailureDetail, path, reasonText(code));
}

std::string readFailureReason(int code) { return code == ENOENT ? std::string(kFileNotFound) : reasonText(code); }

std::string fillText(std::string_view text, std::string_view first) { return qt(text).arg(qt(first)).toStdString(); }

std::string fillText(std::string_view text, std::string_view first, std::string_view second) {
    // Both at once, so a %2 inside the first value stays as it is.
    return qt(text).arg(qt(first), qt(second)).toStdString();
}

std::string describeAdjustments(const std::vector<TextAdjustment>& adjustments) {
    if (adjustments.empty()) return {};
    std::string lines;
    for (const TextAdjustment& adjustment : adjustments) {
        lines += fillText(kAdjustedLine, itemName(adjustment), whatBecameOf(adjustment));
    }
    return fillText(kAdjustedMessage, lines);
}

}  // namespace ravolin
