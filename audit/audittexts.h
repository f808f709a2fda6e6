// What the program says about electronic records, in its windows and
// messages.
#pragma once

#include <QString>

namespace quillet::audit {

inline QString text(const char16_t* t) { return QString::fromUtf16(t); }

inline constexpr char16_t kRecordsTitle[] = u"電子記録モード";
inline constexpr char16_t kSignedInWord[] = u"サインイン: %1 (%2)";
inline constexpr char16_t kUserIdLabel[] = u"ユーザーID:";
inline constexpr char16_t kPasswordLabel[] = u"パスワード:";
inline constexpr char16_t kSignInTitle[] = u"サインイン";
inline constexpr char16_t kSignInNote[] = u"電子記録モードです。ユーザーIDとパスワードを入力してください。";
inline constexpr char16_t kIdleTitle[] = u"サインインの確認";
inline constexpr char16_t kIdleNote[] =
    u"操作のない時間が %1 分を超えました。続けるにはパスワードを入力してください (別のユーザーに替わるときは"
    u"キャンセルしてからサインインし直します)。";
inline constexpr char16_t kUnknownUser[] = u"ユーザー %1 は登録されていません。";
inline constexpr char16_t kWrongPassword[] =
    u"ユーザー %1 のパスワードが違います (あと %2 回間違えるとロックされます)。";
inline constexpr char16_t kLocked[] = u"ユーザー %1 はロックされています。管理者にロックの解除を依頼してください。";
inline constexpr char16_t kSignInFailed[] = u"サインインできませんでした: %1";
inline constexpr char16_t kNoKey[] =
    u"この PC に監査証跡の鍵がありません (%1)。電子記録モードを始めた PC の鍵ファイルをこの場所にコピーしてください。";
inline constexpr char16_t kRecordsUnreadable[] = u"電子記録モードのアーカイブを開けません: %1";
inline constexpr char16_t kRoleRefused[] = u"%1 (%2) の役割ではこの操作はできません。";
inline constexpr char16_t kReasonTitle[] = u"変更の理由";
inline constexpr char16_t kReasonPrompt[] = u"%1 を変更する理由を入力してください:";
inline constexpr char16_t kReasonNeeded[] = u"理由を入力してください。";
inline constexpr char16_t kFileMismatch[] = u"アーカイブの記録と一致しません";
inline constexpr char16_t kFileMismatchDetail[] =
    u"%1\n\nこのファイルの SHA-256 は、アーカイブに記録された読み出し (#%2、%3) のものと違います。"
    u"ファイルが読み出しの後で変更された可能性があります。";
inline constexpr char16_t kSignatureTitle[] = u"電子署名";
inline constexpr char16_t kSignatureNote[] =
    u"このレポートの署名欄です。署名するときは意味を選び、パスワードを入力してください。"
    u"署名せずに出力することもできます。";
inline constexpr char16_t kSignAs[] = u"%1 として署名する";
inline constexpr char16_t kNoSignature[] = u"署名せずに出力する";
inline constexpr char16_t kSignedBox[] = u"%1: %2";
inline constexpr char16_t kUnsignedBox[] = u"%1: (未署名)";
inline constexpr char16_t kSaveBeforeSigning[] =
    u"署名するデータは保存されたファイルでなければなりません。先にデータを保存してください。";
inline constexpr char16_t kNotInArchive[] = u"署名するデータをアーカイブに取り込めませんでした: %1";
inline constexpr char16_t kSignRoleRefused[] = u"%1 (%2) の役割では %3 として署名できません。";

}  // namespace quillet::audit
