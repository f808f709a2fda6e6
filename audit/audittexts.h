// What the program says about electronic records, in its windows and
// messages.
#pragma once

#include <QString>

namespace quillet::audit {

inline QString text(const char16_t* t) { return QString::fromUtf16(t); }

inline constexpr char16_t kRecordsTitle[] = u"電子記録モード";
inline constexpr char16_t kModeIsOff[] =
    u"このアーカイブは電子記録モードではありません。「電子記録モード...」で始めると、監査証跡を記録します。";
// Values the trail records.
inline constexpr char16_t kValueOff[] = u"オフ";
inline constexpr char16_t kValueOn[] = u"オン";
inline constexpr char16_t kValueLocked[] = u"ロック中";
inline constexpr char16_t kValueUnlocked[] = u"有効";
inline constexpr char16_t kValueIdleMinutes[] = u"無操作時間 (分)";
inline constexpr char16_t kValueUnknownUser[] = u"未登録のユーザー";
inline constexpr char16_t kValueWrongPassword[] = u"パスワード誤り %1/%2";
inline constexpr char16_t kValueLockedAfter[] = u"パスワードを %1 回続けて誤り";
inline constexpr char16_t kSignedInWord[] = u"サインイン: %1 (%2)  ";
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

// The audit trail window.
inline constexpr char16_t kTrailTitle[] = u"監査証跡";
inline constexpr char16_t kTrailPeriod[] = u"期間:";
inline constexpr char16_t kTrailTo[] = u"〜";
inline constexpr char16_t kTrailUser[] = u"ユーザー:";
inline constexpr char16_t kTrailAction[] = u"操作:";
inline constexpr char16_t kTrailAll[] = u"すべて";
inline constexpr char16_t kTrailShow[] = u"表示";
inline constexpr char16_t kTrailPrint[] = u"印刷...";
inline constexpr char16_t kTrailExport[] = u"CSVに書き出す...";
inline constexpr char16_t kTrailColumnHeads[] = u"番号\t日時\tPC\tユーザー\t操作\t対象\t変更前\t変更後\t理由";
inline constexpr char16_t kTrailUtcColumn[] = u"日時(UTC)";
inline constexpr char16_t kTrailCount[] = u"%1 件";
inline constexpr char16_t kTrailFilterText[] = u"期間: %1 〜 %2　ユーザー: %3　操作: %4";
inline constexpr char16_t kTrailPrintedAt[] = u"印刷日時: %1";
inline constexpr char16_t kTrailPeriodReversed[] = u"期間の開始日が終了日より後です。";
inline constexpr char16_t kTrailUnreadable[] = u"監査証跡を読めません: %1";
inline constexpr char16_t kTrailNotRecorded[] = u"監査証跡に記録できませんでした: %1";
inline constexpr char16_t kTrailModeOff[] = u"電子記録モードはオフです。";
inline constexpr char16_t kTrailCsvTitle[] = u"監査証跡のCSV書き出し";
inline constexpr char16_t kTrailCsvFilter[] = u"CSVファイル(*.csv)|*.csv";
inline constexpr char16_t kTrailCsvName[] = u"監査証跡_%1.csv";
inline constexpr char16_t kTrailExported[] = u"監査証跡 CSV %1 件 (%2)";
inline constexpr char16_t kTrailPrinted[] = u"監査証跡 %1 件 %2 ページ (%3)";

// The settings dialog of the mode: switching it on, the users, the idle time.
inline constexpr char16_t kSetupTitle[] = u"電子記録モード";
inline constexpr char16_t kModeOffNote[] =
    u"電子記録モードでは、プログラムを使う人がユーザーIDとパスワードでサインインし、ロガーの読み出し、"
    u"記録条件の書き込み、設定の変更、レポートの印刷などの操作が、だれが・いつ・何をしたか、"
    u"変更前と変更後の値とともに監査証跡に記録されます。監査証跡の書き換えや削除は検証で見つかります。"
    u"レポートには作成・確認・承認の電子署名を付けられます。\n\n"
    u"電子記録モードは初期状態ではオフです。一度オンにすると、プログラムからオフに戻すことはできません。"
    u"オンにするには、最初の管理者を登録してください。";
inline constexpr char16_t kModeArchive[] = u"アーカイブ: %1";
inline constexpr char16_t kAdminIdLabel[] = u"管理者ID:";
inline constexpr char16_t kNameLabel[] = u"氏名:";
inline constexpr char16_t kRoleLabel[] = u"役割:";
inline constexpr char16_t kRepeatLabel[] = u"パスワード(確認):";
inline constexpr char16_t kPasswordRule[] = u"パスワードは 8 文字以上で、数字を 1 文字以上含めてください。";
inline constexpr char16_t kSwitchOn[] = u"電子記録モードをオンにする";
inline constexpr char16_t kSwitchOnConfirm[] =
    u"電子記録モードをオンにすると、プログラムからオフに戻すことはできません。オンにしますか?";
inline constexpr char16_t kSwitchedOn[] =
    u"電子記録モードをオンにしました。管理者 %1 としてサインインしています。\n\n監査証跡の鍵ファイル:\n%2\n\n"
    u"この鍵ファイルをバックアップしてください。鍵がないと監査証跡を検証できず、電子記録モードのプログラムを"
    u"起動できません。共有のアーカイブを使うほかの PC には、この鍵ファイルを同じ場所にコピーしてください。";
inline constexpr char16_t kIdMissing[] = u"ユーザーIDを入力してください。";
inline constexpr char16_t kIdSpaces[] = u"ユーザーIDに空白は使えません。";
inline constexpr char16_t kPasswordMismatch[] = u"パスワードとパスワード(確認)が一致しません。";
inline constexpr char16_t kUserIdTaken[] = u"ユーザー %1 はすでに登録されています。";
inline constexpr char16_t kKeyNotMade[] = u"監査証跡の鍵ファイルを作れませんでした: %1";
inline constexpr char16_t kModeAlreadyOn[] =
    u"このアーカイブはすでに電子記録モードです。プログラムを起動し直して、登録されたユーザーでサインインしてください。";
inline constexpr char16_t kLocationHoldsPassword[] =
    u"アーカイブの接続先にパスワードが書かれているため、電子記録モードにできません。パスワードは"
    u"パスワードファイルか環境変数で渡してください。";
inline constexpr char16_t kUsersLabel[] = u"ユーザー";
inline constexpr char16_t kUserColumns[] = u"ID\t氏名\t役割\t状態\t失敗回数";
inline constexpr char16_t kStateLocked[] = u"ロック";
inline constexpr char16_t kStateActive[] = u"有効";
inline constexpr char16_t kAddUser[] = u"ユーザー追加...";
inline constexpr char16_t kAddUserTitle[] = u"ユーザー追加";
inline constexpr char16_t kLockUser[] = u"ロック";
inline constexpr char16_t kUnlockUser[] = u"ロック解除";
inline constexpr char16_t kChooseUser[] = u"ユーザーを選んでください。";
inline constexpr char16_t kLockSelf[] = u"サインインしているユーザー自身はロックできません。";
inline constexpr char16_t kAlreadyLocked[] = u"ユーザー %1 はすでにロックされています。";
inline constexpr char16_t kNotLocked[] = u"ユーザー %1 はロックされていません。";
inline constexpr char16_t kLockWhat[] = u"ユーザー %1 のロック";
inline constexpr char16_t kUnlockWhat[] = u"ユーザー %1 のロック解除";
inline constexpr char16_t kReasonFor[] = u"%1の理由を入力してください:";
inline constexpr char16_t kIdleLabel[] = u"操作のない時間がこれを超えるとパスワードを再入力 (分):";
inline constexpr char16_t kIdleWhat[] = u"パスワード再入力までの時間の変更 (%1 分 → %2 分) ";
inline constexpr char16_t kIdleUnchanged[] = u"時間は変わっていません。";
inline constexpr char16_t kApply[] = u"適用";

}  // namespace quillet::audit
