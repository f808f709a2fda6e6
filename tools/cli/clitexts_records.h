// What quillet-cli says about electronic records: sign-in, the trail, the
// signatures.
#pragma once

namespace quillet::cli::text::records {

inline constexpr char kTrailNotWritten[] = "監査証跡に記録できませんでした: ";
inline constexpr char kRecordsUnknown[] = "アーカイブを開けないため、電子記録モードかどうか分かりません: ";
inline constexpr char kUserNeeded[] =
    "電子記録モードです: --user ID で操作するユーザーを指定してください (パスワードは端末で入力するか、"
    "--password-stdin で標準入力の 1 行目から渡します)";
inline constexpr char kPasswordPrompt[] = "%1 のパスワード: ";
inline constexpr char kNewPasswordPrompt[] = "%1 の新しいパスワード: ";
inline constexpr char kPasswordNeeded[] =
    "パスワードがありません: 端末で入力するか、--password-stdin で標準入力から渡してください";
inline constexpr char kRoleRefused[] = "ユーザー %1 の役割 (%2) ではこの操作はできません";
inline constexpr char kPasswordRule[] = "パスワードは 8 文字以上で、数字を 1 つ以上含めてください";
inline constexpr char kModeOn[] =
    "電子記録モードを開始しました: %1 (管理者 %2)\n鍵ファイル: %3\n"
    "この鍵ファイルを安全な場所にバックアップしてください。鍵がないと監査証跡を検証できません。";
inline constexpr char kModeAlreadyOn[] = "このアーカイブはすでに電子記録モードです";
inline constexpr char kModeOff[] = "このアーカイブは電子記録モードではありません (quillet-cli audit init で開始します)";
inline constexpr char kUserAdded[] = "ユーザー %1 (%2) を追加しました";
inline constexpr char kUserLocked[] = "ユーザー %1 をロックしました";
inline constexpr char kUserUnlocked[] = "ユーザー %1 のロックを解除しました";
inline constexpr char kBadRole[] = "--role には admin、qa、operator、viewer のどれかを指定してください";
inline constexpr char kBadMeaning[] = "--sign には 作成、確認、承認 のどれかを指定してください";
inline constexpr char kSigned[] = "%1 として署名しました: %2 (%3)";
inline constexpr char kSignRefused[] = "署名できませんでした: %1";
inline constexpr char kNotInArchive[] =
    "署名するデータがアーカイブにありません: %1 (署名はアーカイブの記録に結び付けます)";
inline constexpr char kChainOk[] = "監査証跡: ";
inline constexpr char kChainBroken[] = "監査証跡: ";

}  // namespace quillet::cli::text::records
