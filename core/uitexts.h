// Every text the windows show besides the catalogue's captions, messages
// and run-time errors (core/catalog.h): menu entries, tool tips, labels,
// frame and button titles, window titles. One place, named by what they
// say; a window takes them through uiText().
#pragma once

#include <QString>

namespace quillet {

// A window text as Qt shows it.
inline QString uiText(const char16_t* text) { return QString::fromUtf16(text); }

namespace ui {

// Main window: menus
inline constexpr char16_t kLoggerMenu[] = u"ロガー(&L)";
inline constexpr char16_t kReadLoggerEntry[] = u"ロガー読み出し(&R)";
inline constexpr char16_t kLoggerSettingsMenu[] = u"ロガー設定&(S)";
inline constexpr char16_t kRecordingSettingsEntry[] = u"収録設定(&S)";
inline constexpr char16_t kSettingCharactersEntry[] = u"パラメータ設定(&P)";
inline constexpr char16_t kReadAllEntry[] = u"連続読み出し";
inline constexpr char16_t kPortMenu[] = u"ポート設定(&P)";
inline constexpr char16_t kSearchPortEntry[] = u"自動設定(&A)";
inline constexpr char16_t kChoosePortEntry[] = u"手動設定(&M)";
inline constexpr char16_t kUsualEntry[] = u"いつもの通信(&I)";
inline constexpr char16_t kUsualSettingsEntry[] = u"通信設定(&S)";
inline constexpr char16_t kGraphEntry[] = u"グラフ(&G)";
inline constexpr char16_t kFileMenu[] = u"ファイル(&F)";
inline constexpr char16_t kOpenEntry[] = u"開く(&O)";
inline constexpr char16_t kSaveEntry[] = u"上書き保存(&A)";
inline constexpr char16_t kSaveAsEntry[] = u"名前を付けて保存(&A)";
inline constexpr char16_t kTextExportEntry[] = u"テキスト保存(&T)";
inline constexpr char16_t kCsvExportEntry[] = u"ＣＳＶ保存(&C)";
inline constexpr char16_t kTidyCsvExportEntry[] = u"表形式CSVで保存...";
inline constexpr char16_t kWorkbookExportEntry[] = u"Excelブックで保存...";
inline constexpr char16_t kPrintMenu[] = u"印刷(&P)";
inline constexpr char16_t kPreviewEntry[] = u"印刷プレビュー(&V)";
inline constexpr char16_t kPdfEntry[] = u"PDFで保存(&D)...";
inline constexpr char16_t kPrintAllEntry[] = u"全体印刷(&A)";
inline constexpr char16_t kPrintPartEntry[] = u"部分印刷(&B)";
inline constexpr char16_t kPrintParametersEntry[] = u"パラメータ印刷(&P)";
inline constexpr char16_t kPrinterSettingsEntry[] = u"プリンタ設定(&S)";
inline constexpr char16_t kInsertEntry[] = u"データ挿入(&D)";
inline constexpr char16_t kRecentMenu[] = u"最近使ったファイル(&R)";
inline constexpr char16_t kExitEntry[] = u"終了(&E)";
inline constexpr char16_t kChannelMenu[] = u"チャンネル(&C)";
inline constexpr char16_t kDeleteDataEntry[] = u"データ削除(&D)";
inline constexpr char16_t kAnalysisMenu[] = u"解析(&A)";
inline constexpr char16_t kStatisticsEntry[] = u"統計と逸脱(&S)";
inline constexpr char16_t kReportEntry[] = u"レポート印刷(&R)";
inline constexpr char16_t kHelpEntry[] = u"ヘルプ(&H)";
inline constexpr char16_t kVersionEntry[] = u"バージョン情報(&V)";
inline constexpr char16_t kDeleteAllEntry[] = u"全データ削除";
inline constexpr char16_t kDeleteChannelHeader[] = u"削除ＣＨ";

// Main window: toolbar
inline constexpr char16_t kReadLoggerTip[] = u"ロガー読み出し";
inline constexpr char16_t kLoggerSettingsTip[] = u"ロガーの設定";
inline constexpr char16_t kDrawGraphTip[] = u"グラフの描画";
inline constexpr char16_t kOpenTip[] = u"データの読み出し";
inline constexpr char16_t kSaveTip[] = u"上書き保存";
inline constexpr char16_t kPrintAllTip[] = u"全データ印刷";
inline constexpr char16_t kAddDataTip[] = u"データを追加";
inline constexpr char16_t kDeleteChannelTip[] = u"ＣＨデータを削除";

// Version window
inline constexpr char16_t kSupportedModels[] = u"対応機種";
inline constexpr char16_t kSupportedModelsTip[] = u"現在のバージョンで対応しているクイレット一覧";

// Graph range dialog
inline constexpr char16_t kFirstRowTip[] = u"グラフのＸ軸下限データＮｏ";
inline constexpr char16_t kLastRowTip[] = u"グラフのＸ軸上限データＮｏ．";
inline constexpr char16_t kYMinimumTip[] = u"グラフのY軸下限値";
inline constexpr char16_t kYMaximumTip[] = u"グラフのY軸上限値";
inline constexpr char16_t kFirstTimeTip[] = u"グラフのＸ軸下限時刻";
inline constexpr char16_t kLastTimeTip[] = u"グラフのＸ軸上限時刻";
inline constexpr char16_t kGraphRangeTitle[] = u"グラフレンジ変更";
inline constexpr char16_t kDataRangeFrame[] = u"データ範囲";
inline constexpr char16_t kTemperatureRangeFrame[] = u"温度範囲";
inline constexpr char16_t kHumidityRangeFrame[] = u"湿度範囲";
inline constexpr char16_t kXAutoTip[] = u"グラフのＸ軸範囲の自動／手動切替";
inline constexpr char16_t kYAutoTip[] = u"グラフのＹ軸範囲の自動／手動切替";
inline constexpr char16_t kAutomatic[] = u"自動";
inline constexpr char16_t kDataNumberHead[] = u"データNo.";
inline constexpr char16_t kTimeHead[] = u"時　　　　　刻";
inline constexpr char16_t kUpperBoundLabel[] = u"上限値：";
inline constexpr char16_t kLowerBoundLabel[] = u"下限値：";
inline constexpr char16_t kChangeRangeTip[] = u"グラフのレンジを変更します";

// Graph window
inline constexpr char16_t kRangeEntry[] = u"レンジ変更(&R)";
inline constexpr char16_t kGraphPrintMenu[] = u"印刷(&G)";
inline constexpr char16_t kGraphPrintEntry[] = u"グラフ印刷(&P)";
inline constexpr char16_t kPageSetupEntry[] = u"ページ設定(&Y)";
inline constexpr char16_t kGraphPrinterSetupEntry[] = u"プリンタ設定(&P)";
inline constexpr char16_t kSaveSpanEntry[] = u"表示範囲を保存...";
inline constexpr char16_t kParameterMenu[] = u"パラメータ(&P)";
inline constexpr char16_t kLabelsEntry[] = u"ラベル表示(&L)";
inline constexpr char16_t kLineWidthMenu[] = u"グラフ線幅(&S)";
inline constexpr char16_t kThinLine[] = u"細";
inline constexpr char16_t kThickLine[] = u"太";
inline constexpr char16_t kReferenceLinesEntry[] = u"基準線(&K)";
inline constexpr char16_t kCloseGraphEntry[] = u"グラフ終了(&E)";
inline constexpr char16_t kColorPopup[] = u"色の設定";
inline constexpr char16_t kChangeColorEntry[] = u"色の変更";
inline constexpr char16_t kRangePopup[] = u"レンジ元に戻す";
inline constexpr char16_t kRestoreRangeEntry[] = u"自動範囲に戻す";
inline constexpr char16_t kUndoRangeEntry[] = u"ひとつ前に戻す";
inline constexpr char16_t kRangeButton[] = u"レンジ";
inline constexpr char16_t kRangeButtonTip[] = u"グラフ画面のレンジを変更";
inline constexpr char16_t kPrintButton[] = u"印刷";
inline constexpr char16_t kPrintButtonTip[] = u"グラフの印刷";
inline constexpr char16_t kLabelsButton[] = u"ラベル";
inline constexpr char16_t kLabelsButtonTip[] = u"データラベルの表示";
inline constexpr char16_t kLineWidthButton[] = u"線幅";
inline constexpr char16_t kLineWidthButtonTip[] = u"グラフ線幅変更";
inline constexpr char16_t kReferenceButton[] = u"基準線";
inline constexpr char16_t kReferenceButtonTip[] = u"グラフ上に基準線";
inline constexpr char16_t kChangeColorSuffix[] = u" 色変更";

// Reference-line dialog
inline constexpr char16_t kReferenceLinesTitle[] = u"基準線設定";
inline constexpr char16_t kReferenceLinesHead[] = u"グラフ基準線";
inline constexpr char16_t kShowLines[] = u"表示";
inline constexpr char16_t kShowLinesTip[] = u"グラフ画面上に任意の横線を表示します";
inline constexpr char16_t kLinePositionTip[] = u"横線表示位置";
inline constexpr char16_t kWholeNumbersOnly[] = u"小数点以下は設定できません";

// Port dialog
inline constexpr char16_t kComPort[] = u"COMポート";
inline constexpr char16_t kPortSettingsFrame[] = u"通信ﾎﾟｰﾄの設定";
inline constexpr char16_t kPortSettingsTitle[] = u"通信ポート設定";
inline constexpr char16_t kPortNote[] =
    u"設定ポートはお使いのパソコンにより異なります。　 通信ポートをご確認の上設定してください。 ";

// Progress and monitor windows
inline constexpr char16_t kReadingRecordsTitle[] = u"収録データ読み出し中";
inline constexpr char16_t kReceivedDataTitle[] = u"受信データの表示";

// Usual communication
inline constexpr char16_t kUsualSettingsTitle[] = u"いつもの通信設定";
inline constexpr char16_t kStartTimeFrame[] = u"収録開始時間";
inline constexpr char16_t kStartTimeTip[] = u"ロガー設定の収録開始開始時刻を設定します";
inline constexpr char16_t kStartLabel[] = u"収録開始";
inline constexpr char16_t kNamingFrame[] = u"保存形式";
inline constexpr char16_t kNamingTip[] = u"ファイル保存のデータの保存方法を設定します";
inline constexpr char16_t kByDateTip[] = u"読み出したデータを[ｄａｔe]\\[年月]に日時分名で保存します";
inline constexpr char16_t kByNumberTip[] =
    u"読み出したデータを[ｎｕｍｂｅｒ]\\[年月日]フォルダにカード_テストＮｏ．名で保存します";
inline constexpr char16_t kSettingsFrame[] = u"設定内容";
inline constexpr char16_t kTaskTip[] = u"いつもの通信で行わせる作業を選択します";
inline constexpr char16_t kReadSaveSetTip[] = u"ロガーデータの読出、データの保存、ロガーの収録設定を一括して行います";
inline constexpr char16_t kSetOnlyTip[] = u"ロガーの収録設定を行います";
inline constexpr char16_t kUsualRunningTitle[] = u"いつもの通信中";
inline constexpr char16_t kCardTestLabel[] = u"カードテストＮｏ.";
inline constexpr char16_t kRecordCount[] = u"収録データ数";
inline constexpr char16_t kAverage[] = u"平均値";
inline constexpr char16_t kLowest[] = u"最低";
inline constexpr char16_t kHighest[] = u"最高";
inline constexpr char16_t kLoggerSettingsMode[] = u"ロガー設定";
inline constexpr char16_t kCardTestFrame[] = u"カードテストＮｏ.  ";
inline constexpr char16_t kUsualTitle[] = u"いつもの通信";
inline constexpr char16_t kOpenFolder[] = u"フォルダを開く";

// Read-out parameter window
inline constexpr char16_t kCardTestNumbers[] = u"カード-テストNo.";
inline constexpr char16_t kStartTime[] = u"開始時刻";
inline constexpr char16_t kEndTime[] = u"終了時刻";
inline constexpr char16_t kInterval[] = u"測定間隔";
inline constexpr char16_t kRecordMode[] = u"収録方式";
inline constexpr char16_t kMeasuringRange[] = u"測定範囲";
inline constexpr char16_t kRecordsErrors[] = u"収録/エラー数";
inline constexpr char16_t kMaximum[] = u"最高値";
inline constexpr char16_t kMinimum[] = u"最低値";
inline constexpr char16_t kIntegrated[] = u"積算値";
inline constexpr char16_t kReference[] = u"基準値";
inline constexpr char16_t kAlarmValues[] = u"上限/下限警報値";
inline constexpr char16_t kNothingToReadText[] = u"ロガーに収録データがないため、読み出すデータはありません。";
inline constexpr char16_t kStoreChannel[] = u"格納CH";

// Recording settings dialog
inline constexpr char16_t kRecordingSettingsTitle[] = u"クイレット設定";
inline constexpr char16_t kCardNumberTip[] = u"設定するカードＮｏ．又は変換文字を選択";
inline constexpr char16_t kTestNumberTip[] = u"設定するテストＮｏ．又は変換文字を選択";
inline constexpr char16_t kNumberSettingsButton[] = u"No.設定";
inline constexpr char16_t kNumberSettingsTip[] = u"カード，テストＮｏ．の変換文字を設定";
inline constexpr char16_t kCardTestDash[] = u"－";
inline constexpr char16_t kCardTestNumbersLabel[] = u"カード－テストNo.";
inline constexpr char16_t kClockTip[] = u"現在の時刻";
inline constexpr char16_t kClockLabel[] = u"現在時刻";
inline constexpr char16_t kStartTimeFieldTip[] = u"収録を開始する時刻";
inline constexpr char16_t kEndTimeFieldTip[] = u"収録を終了させる時刻";
inline constexpr char16_t kEndReservation[] = u"終了予約時刻";
inline constexpr char16_t kSeconds[] = u"秒";
inline constexpr char16_t kSecondsTip[] = u"秒間隔の測定でチェック";
inline constexpr char16_t kSecondsIntervalTip[] = u"秒間隔を選択";
inline constexpr char16_t kEndless[] = u"エンドレス";
inline constexpr char16_t kEndlessTip[] = u"収録データ数に達しますと最古データに上書きします";
inline constexpr char16_t kOneTime[] = u"ワンタイム";
inline constexpr char16_t kOneTimeTip[] = u"収録データ数に達しますと収録を終了します";
inline constexpr char16_t kRangeTip[] = u"測定するセンサの測定範囲を選択";
inline constexpr char16_t kIntegrationSide[] = u"積算方向";
inline constexpr char16_t kUpperSide[] = u"H(上側）";
inline constexpr char16_t kLowerSide[] = u"L(下側）";
inline constexpr char16_t kAlarmValuesLabel[] = u"上限／下限警報値";
inline constexpr char16_t kLock[] = u"ロック";
inline constexpr char16_t kLockTip[] = u"ロガーをロックします";
inline constexpr char16_t kFactorySettings[] = u"初期設定";
inline constexpr char16_t kTemperatureA[] = u"温度A[ﾟC ]";
inline constexpr char16_t kTemperature[] = u"温度 [ﾟC ]";
inline constexpr char16_t kTemperatureB[] = u"温度B[ﾟC ]";
inline constexpr char16_t kHumidity[] = u"湿度 [%RH]";

// Setting characters dialog
inline constexpr char16_t kSettingCharacter[] = u"変換文字";
inline constexpr char16_t kCardNumber[] = u"カードNo.";
inline constexpr char16_t kTestNumber[] = u"テストNo.";
inline constexpr char16_t kSettingCharactersTitle[] = u"ロガーパラメータ設定";
inline constexpr char16_t kDeleteCharacters[] = u"設定字の削除";
inline constexpr char16_t kSort[] = u"ソート";

// Insertion, print and statistics windows
inline constexpr char16_t kNone[] = u"（なし）";
inline constexpr char16_t kParameters[] = u"パラメータ";
inline constexpr char16_t kCelsiusUnit[] = u" [ﾟC ]";
inline constexpr char16_t kInsertTitle[] = u"データ挿入";
inline constexpr char16_t kInsertFileName[] = u"挿入ファイル名";
inline constexpr char16_t kInsertChannel[] = u"挿入CH";
inline constexpr char16_t kStartTimeColon[] = u"開始時刻：";
inline constexpr char16_t kIntervalColon[] = u"測定間隔：";
inline constexpr char16_t kRecordsColon[] = u"　収録数：";
inline constexpr char16_t kErrorsColon[] = u"エラー数：";
inline constexpr char16_t kMaximumColon[] = u"　最高値：";
inline constexpr char16_t kMinimumColon[] = u"　最低値：";
inline constexpr char16_t kAverageColon[] = u"　平均値：";
inline constexpr char16_t kIntegratedColon[] = u"　積算値：";
inline constexpr char16_t kPartialPrintTitle[] = u"部分印刷";
inline constexpr char16_t kPartialTimeHead[] = u"時　　　　　　刻";
inline constexpr char16_t kPartStart[] = u"開始設定";
inline constexpr char16_t kPartEnd[] = u"終了設定";
inline constexpr char16_t kPreviewTitlePrefix[] = u"印刷プレビュー - ";
inline constexpr char16_t kDeltaHOverRLabel[] = u"MKT の ΔH/R [K]:";
inline constexpr char16_t kPeriodLine[] = u"期間: %1 ～ %2  (行 %3..%4)";

// The program's start
inline constexpr char16_t kDemoStatus[] = u"デモモード: 模擬ロガー (%1) をCOMポート1に接続しています";
inline constexpr char16_t kPortDevice[] = u"ポート%1: %2";
inline constexpr char16_t kNotConnected[] = u"（接続されていません）";

}  // namespace ui
}  // namespace quillet
