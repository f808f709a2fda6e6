// Every text the program shows, prints or writes into its files besides
// the catalogue's captions, messages and run-time errors (core/catalog.h):
// menu entries, tool tips, labels and titles of the windows, the rows of
// the grids, lists, prints and exports, dialog filters, status words. One
// place, named by what they say; taken through uiText().
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
inline constexpr char16_t kReportPreviewEntry[] = u"レポートの印刷プレビュー(&V)";
inline constexpr char16_t kReportPdfEntry[] = u"レポートをPDFで保存(&D)...";
inline constexpr char16_t kHelpEntry[] = u"ヘルプ(&H)";
inline constexpr char16_t kVersionEntry[] = u"バージョン情報(&V)";
inline constexpr char16_t kDeleteAllEntry[] = u"全データ削除";
inline constexpr char16_t kDeleteChannelHeader[] = u"削除ＣＨ";

// Main window: toolbar
inline constexpr char16_t kReadLoggerWords[] = u"ロガー読み出し";
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
inline constexpr char16_t kAlarmLinesEntry[] = u"警報値の線(&W)";
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
inline constexpr char16_t kDemoStatus[] = u"デモモード: 模擬ロガー（プログラム内）をCOMポート1に接続しています";
inline constexpr char16_t kPortDevice[] = u"ポート%1: %2";
inline constexpr char16_t kNotConnected[] = u"（接続されていません）";

// Ranges of the measuring-range codes
inline constexpr char16_t kRangeMinus40To60[] = u"-40～60";
inline constexpr char16_t kRange0To100[] = u"0～100";
inline constexpr char16_t kRange50To150[] = u"50～150";
inline constexpr char16_t kRangeChoiceMinus40To60[] = u"-40～　60";
inline constexpr char16_t kRangeChoice0To100[] = u"　0～100";
inline constexpr char16_t kRangeChoice50To150[] = u" 50～150";

// Figures: the rows of the grids, lists, prints, exports and the analysis
inline constexpr char16_t kListTimeHead[] = u"時    刻";
inline constexpr char16_t kGridTimeHead[] = u"時  刻";
inline constexpr char16_t kTextTimeHead[] = u"時刻 ";
inline constexpr char16_t kCelsiusHead[] = u"[ ﾟC]";
inline constexpr char16_t kCelsiusGridHead[] = u"[ﾟC]";
inline constexpr char16_t kCelsiusTextHead[] = u"  [ﾟC ]  ";
inline constexpr char16_t kCelsiusPrintUnit[] = u" ﾟC ";
inline constexpr char16_t kCelsiusFigureUnit[] = u" [ﾟC]";
inline constexpr char16_t kMktRow[] = u"MKT [ﾟC]";
inline constexpr char16_t kCardTestUnitHead[] = u"カードNo.\rテストNo.\r単位";
inline constexpr char16_t kRecordsRow[] = u"収録数";
inline constexpr char16_t kErrorsRow[] = u"エラー数";
inline constexpr char16_t kUpperAlarmRow[] = u"上限警報値";
inline constexpr char16_t kLowerAlarmRow[] = u"下限警報値";
inline constexpr char16_t kRecordsErrorsRow[] = u"収録/ｴﾗｰ数";
inline constexpr char16_t kAlarmsRow[] = u"上/下限警報値";
inline constexpr char16_t kCardTestRow[] = u"ｶｰﾄﾞ-ﾃｽﾄ";
inline constexpr char16_t kCursorTimeRow[] = u"指定時刻";
inline constexpr char16_t kCursorValueRow[] = u"測定値";
inline constexpr char16_t kTimeAboveRow[] = u"上限超過時間";
inline constexpr char16_t kTimeBelowRow[] = u"下限未満時間";
inline constexpr char16_t kShareWithinRow[] = u"範囲内の割合";
inline constexpr char16_t kExcursionsAboveRow[] = u"上限逸脱回数";
inline constexpr char16_t kExcursionsBelowRow[] = u"下限逸脱回数";
inline constexpr char16_t kLongestAboveRow[] = u"最長上限逸脱";
inline constexpr char16_t kLongestAboveStartRow[] = u"最長上限逸脱の開始";
inline constexpr char16_t kLongestBelowRow[] = u"最長下限逸脱";
inline constexpr char16_t kLongestBelowStartRow[] = u"最長下限逸脱の開始";
inline constexpr char16_t kDegreeMinutesAboveRow[] = u"上限超過度分";
inline constexpr char16_t kDegreeMinutesBelowRow[] = u"下限未満度分";
inline constexpr char16_t kExcursionStartRow[] = u"  開始時刻";

// Print jobs and the report
inline constexpr char16_t kWholeListJob[] = u"全体印刷";
inline constexpr char16_t kGraphJob[] = u"グラフ印刷";
inline constexpr char16_t kParametersJob[] = u"パラメータ印刷";
inline constexpr char16_t kSavePdfTitle[] = u"PDFで保存";
inline constexpr char16_t kPdfFilter[] = u"PDFファイル(*.pdf)|*.pdf";
inline constexpr char16_t kSignOffMade[] = u"作成";
inline constexpr char16_t kSignOffChecked[] = u"確認";
inline constexpr char16_t kSignOffApproved[] = u"承認";
inline constexpr char16_t kReportLoggers[] = u"ロガー: ";
inline constexpr char16_t kReportInterval[] = u"測定間隔: ";
inline constexpr char16_t kReportDeltaHOverR[] = u"    MKT の ΔH/R: %1 K";
inline constexpr char16_t kReportPrinted[] = u"印刷日時: ";
inline constexpr char16_t kReportJob[] = u"レポート印刷";
inline constexpr char16_t kReportDataFile[] = u"データファイル: ";
inline constexpr char16_t kReportNoDataFile[] = u"（保存されていないデータ）";
inline constexpr char16_t kReportProgram[] = u"    プログラム: ";
inline constexpr char16_t kReportTimeZone[] = u"    タイムゾーン: %1 (UTC%2)";

// Parameter texts and the settings rules
inline constexpr char16_t kSpacedTilde[] = u" ～ ";
inline constexpr char16_t kTemperatureWord[] = u"温度";
inline constexpr char16_t kHumidityWord[] = u"湿度";
inline constexpr char16_t kTemperatureAWord[] = u"温度A";
inline constexpr char16_t kTemperatureBWord[] = u"温度B";
inline constexpr char16_t kTemperatureAlarmOutOfRange[] = u"警報値(温度）が範囲外です(60～-40)";
inline constexpr char16_t kHumidityAlarmOutOfRange[] = u"警報値(湿度)が範囲外です(100～0)";
inline constexpr char16_t kAlarm1Upper[] = u"警報値１上限値：";
inline constexpr char16_t kAlarm2Upper[] = u"警報値２上限値：";
inline constexpr char16_t kAlarm1Lower[] = u"警報値１下限値：";
inline constexpr char16_t kAlarm2Lower[] = u"警報値２下限値：";
inline constexpr char16_t kAlarmOutOfRange[] = u"警報範囲外です(150～-40）";
inline constexpr char16_t kAlarmValuesWrong[] = u"警報値異常です！";
inline constexpr char16_t kAlarmValuesWrongSetRight[] = u"警報値異常です！\r\n正しい値を設定してください。";

// Spreadsheet exports
inline constexpr char16_t kTimeColumnSuffix[] = u" 日時";
inline constexpr char16_t kStatisticsSheet[] = u"統計";
inline constexpr char16_t kChannelColumn[] = u"チャンネル";
// "統計と逸脱"'s list of every excursion.
inline constexpr char16_t kExcursionListLabel[] = u"逸脱の一覧";
inline constexpr char16_t kExcursionLimitColumn[] = u"警報値";
inline constexpr char16_t kExcursionStartColumn[] = u"開始";
inline constexpr char16_t kExcursionEndColumn[] = u"終了";
inline constexpr char16_t kExcursionDurationColumn[] = u"継続時間";
inline constexpr char16_t kExcursionPeakColumn[] = u"ピーク";
inline constexpr char16_t kExcursionAbove[] = u"上限 %1";
inline constexpr char16_t kExcursionBelow[] = u"下限 %1";
inline constexpr char16_t kCardTestColumn[] = u"カード-テスト";
inline constexpr char16_t kUnitColumn[] = u"単位";
inline constexpr char16_t kFiguresFootnote[] = u"MKT以降は %1 ～ %2 の値 (ΔH/R = %3 K)";
inline constexpr char16_t kTimeColumn[] = u"日時";
inline constexpr char16_t kGraphWord[] = u"グラフ";
inline constexpr char16_t kDataSheet[] = u"データ";
inline constexpr char16_t kTemperatureAxis[] = u"温度 [℃]";
inline constexpr char16_t kTidyCsvFilter[] = u"表形式CSV(*.csv)|*.csv";
inline constexpr char16_t kWorkbookFilter[] = u"Excelブック(*.xlsx)|*.xlsx";
inline constexpr char16_t kSaveSpanTitle[] = u"表示範囲の保存";
inline constexpr char16_t kSaveWorkbookTitle[] = u"Excelブックの保存";
inline constexpr char16_t kSaveTidyCsvTitle[] = u"表形式CSVの保存";

// Text and CSV exports
inline constexpr char16_t kTextCardTest[] = u"ｶｰﾄﾞ-ﾃｽﾄNo:";
inline constexpr char16_t kTextStart[] = u" 開始時刻: ";
inline constexpr char16_t kTextInterval[] = u" 測定間隔: ";
inline constexpr char16_t kTextRange[] = u" 測定範囲: ";
inline constexpr char16_t kTilde[] = u"～";
inline constexpr char16_t kTextRecords[] = u"  収録数:  ";
inline constexpr char16_t kTextErrors[] = u"  ｴﾗｰ 数:  ";
inline constexpr char16_t kTextMaximum[] = u"  最高値:  ";
inline constexpr char16_t kTextMinimum[] = u"  最低値:  ";
inline constexpr char16_t kTextAverage[] = u"  平均値:  ";
inline constexpr char16_t kTextIntegrated[] = u"  積算値:  ";
inline constexpr char16_t kTextReference[] = u"  基準値:  ";
inline constexpr char16_t kTextUpperAlarm[] = u"上限警報値:";
inline constexpr char16_t kTextLowerAlarm[] = u"下限警報値:";

// Data files
inline constexpr char16_t kDataFileFilter[] = u"ファイル(*.ql*)|*.ql6;*.ql5;*.ql4;*.ql3;*.ql2;*.ql1;*.ql;*.qlg;*.qld";
inline constexpr char16_t kOpenFileTitle[] = u"ファイルの読み込み";
inline constexpr char16_t kSaveAsTitle[] = u"名前をつけて保存";
inline constexpr char16_t kQl6Filter[] = u"ファイル(*.ql6)|*.ql6";
inline constexpr char16_t kSaveTextTitle[] = u"テキストファイルの保存";
inline constexpr char16_t kSaveCsvTitle[] = u"ＣＳＶファイルの保存";
inline constexpr char16_t kTextFilter[] = u"テキスト(*.txt)|*.txt";
inline constexpr char16_t kCsvFilter[] = u"ＣＳＶ(*.csv)|*.csv";
inline constexpr char16_t kInsertFileTitle[] = u"データの挿入";
inline constexpr char16_t kMonthFolder[] = u"yy年mm月";
inline constexpr char16_t kDateFileName[] = u"dd日hh時nn分";
inline constexpr char16_t kDayFolder[] = u"yy年mm月dd日";
inline constexpr char16_t kRecentFileGone[] = u"ファイルが見つからないため、最近使ったファイルから外しました: ";

// The usual communication and the settings writer
inline constexpr char16_t kSaveFileCaption[] = u"ファイルの保存";
inline constexpr char16_t kSetOnlyTask[] = u"ロガー設定のみ";
inline constexpr char16_t kReadSaveSetTask[] = u"データ読み出し＋ファイル保存＋ロガー設定";
inline constexpr char16_t kByNumberNaming[] = u"カード、テストNo.名で保存";
inline constexpr char16_t kByDateNaming[] = u"日付ﾌｧｲﾙ名で保存";
inline constexpr char16_t kSaveAndClearQuestion[] = u"画面上のデータを保存してから消去し、続けますか？\r";
inline constexpr char16_t kSaveAndClearAnswers[] = u"保存: 保存して続ける\r保存しない: 保存せずに消去して続ける";
inline constexpr char16_t kDataSaved[] = u"データを保存しました: ";
inline constexpr char16_t kSettingsNotWritten[] = u"ロガーへの設定の書き込みは完了していません。";
inline constexpr char16_t kListComma[] = u"、";
inline constexpr char16_t kSettingsWrittenStart[] = u"ロガーに設定を書き込みました（開始 ";
inline constexpr char16_t kSettingsWrittenInterval[] = u"、間隔 ";
inline constexpr char16_t kSecondsValue[] = u"%1秒";
inline constexpr char16_t kSettingsWrittenEnd[] = u"、終了 ";
inline constexpr char16_t kSettingsWrittenClose[] = u"）";

// Settings files
inline constexpr char16_t kSettingsFileHead[] = u"設定値,説明,デフォルト値";
inline constexpr char16_t kSetCommandWaitLine[] = u"設定コマンド間の待ち時間,10";
inline constexpr char16_t kCommandWaitLine[] = u"コマンド間の待ち時間,10";
inline constexpr char16_t kReadTimeoutLine[] = u"読み込み時のタイムアウト時間,1000";
inline constexpr char16_t kDebugModeLine[] = u"デバッグモード";
inline constexpr char16_t kWaitAfterReadLine[] = u"コマンドリード後のWaitTimer";

// Port settings
inline constexpr char16_t kPortSettingsCaption[] = u"ポート設定";
inline constexpr char16_t kChooseAnotherPort[] = u"\r\n他のポートを指定してください。";
inline constexpr char16_t kInvalidPort[] = u"無効なポートが指定されました。";
inline constexpr char16_t kPortInUse[] = u"指定したポートはすでに使用されています。";

// Others
inline constexpr char16_t kProgramName[] = u"クイレット解析ソフト ";
inline constexpr char16_t kDeleteSuffix[] = u" 削除";

// The archive: menu, windows, settings file, words and the import's summary
inline constexpr char16_t kArchiveMenu[] = u"アーカイブ(&R)";
inline constexpr char16_t kArchiveSearchEntry[] = u"アーカイブの検索(&S)...";
inline constexpr char16_t kArchivePeriodEntry[] = u"期間の統計(&P)...";
inline constexpr char16_t kArchiveImportEntry[] = u"アーカイブに取り込む(&I)...";
inline constexpr char16_t kArchiveSettingsEntry[] = u"アーカイブの設定(&O)...";
inline constexpr char16_t kAuditTrailEntry[] = u"監査証跡(&T)...";
inline constexpr char16_t kRecordsSettingsEntry[] = u"電子記録モード(&E)...";
inline constexpr char16_t kArchiveSearchTitle[] = u"アーカイブの検索";
inline constexpr char16_t kArchivePeriodTitle[] = u"期間の統計";
inline constexpr char16_t kArchiveImportTitle[] = u"アーカイブに取り込む";
inline constexpr char16_t kArchiveSettingsTitle[] = u"アーカイブの設定";
inline constexpr char16_t kArchiveImportFiles[] = u"ファイルを選ぶ...";
inline constexpr char16_t kArchiveImportFolder[] = u"フォルダを選ぶ...";
inline constexpr char16_t kArchiveImportProgress[] = u"取り込み中: %1 / %2";
inline constexpr char16_t kArchiveLoggerLabel[] = u"ロガー";
inline constexpr char16_t kArchiveAllLoggers[] = u"すべて";
inline constexpr char16_t kArchiveWholeTime[] = u"全期間";
inline constexpr char16_t kArchiveCancel[] = u"キャンセル";
inline constexpr char16_t kArchiveFromLabel[] = u"開始日";
inline constexpr char16_t kArchiveToLabel[] = u"終了日";
inline constexpr char16_t kArchiveSiteLabel[] = u"拠点";
inline constexpr char16_t kArchivePeriodLabel[] = u"期間";
inline constexpr char16_t kArchiveChannelLabel[] = u"チャンネル";
inline constexpr char16_t kArchiveSearchButton[] = u"検索";
inline constexpr char16_t kArchiveOpenButton[] = u"開く";
inline constexpr char16_t kArchiveAddButton[] = u"データを追加";
inline constexpr char16_t kArchiveFiguresButton[] = u"統計を表示";
inline constexpr char16_t kArchiveLocationLabel[] =
    u"アーカイブの場所 (SQLite ファイル、または共有サーバー PostgreSQL の接続: postgresql://… か host=… dbname=…)";
inline constexpr char16_t kArchiveImportOnSaveLabel[] = u"読み出したデータを保存するたびにアーカイブに取り込む";
inline constexpr char16_t kArchiveBrowse[] = u"参照...";
inline constexpr char16_t kArchiveFileFilter[] = u"アーカイブ (*.sqlite *.db);;すべてのファイル (*)";
inline constexpr char16_t kArchiveDataFilter[] =
    u"データファイル (*.ql6 *.ql5 *.ql4 *.qlg *.qld);;すべてのファイル (*)";
inline constexpr char16_t kArchivePeriods[] = u"過去7日間\n過去30日間\n過去90日間\n今四半期\n今年\n期間を指定";
inline constexpr char16_t kArchiveColumns[] =
    u"ロガー\n最初の時刻\n最後の時刻\nサンプル数\n警報上限\n警報下限\n競合\nファイル\n拠点\n取り込み";
inline constexpr char16_t kArchiveFound[] = u"%1 件の読み出し (時刻は %2)";
inline constexpr char16_t kArchiveChannelItem[] = u"%1 チャンネル%2 %3";
inline constexpr char16_t kArchivePeriodHead[] = u"%1 〜 %2 (%3)、読み出し %4 件";
inline constexpr char16_t kArchiveLocationLine[] = u"アーカイブの場所";
inline constexpr char16_t kArchiveSiteLine[] = u"拠点";
inline constexpr char16_t kArchiveImportOnSaveLine[] = u"保存時に取り込む";
inline constexpr char16_t kArchiveOnNetwork[] =
    u"アーカイブ「%1」はネットワーク上のフォルダにあります。SQLite のアーカイブはネットワークのファイルシステム "
    u"(NFS、SMB/CIFS) ではファイルのロックが働かず、壊れるおそれがあるため使えません。この PC のディスク上の場所を"
    u"選ぶか、複数の PC で共有するには共有サーバー (PostgreSQL) のアーカイブをお使いください。";
inline constexpr char16_t kArchiveNotThere[] =
    u"アーカイブ「%1」はまだありません。データファイルを取り込むと作られます (archive import)。";
inline constexpr char16_t kArchiveCannotOpen[] = u"アーカイブ「%1」を開けません: %2";
inline constexpr char16_t kArchiveBusy[] =
    u"アーカイブ「%1」は別のプログラムが使用中です。しばらくしてからやり直してください。";
inline constexpr char16_t kArchiveDiskFull[] = u"ディスクがいっぱいのため、アーカイブ「%1」に書き込めません。";
inline constexpr char16_t kArchiveReadOnly[] = u"アーカイブ「%1」には書き込めません (読み取り専用)。";
inline constexpr char16_t kArchiveDamaged[] = u"アーカイブ「%1」が壊れています: %2";
inline constexpr char16_t kArchiveFailed[] = u"アーカイブ「%1」の操作に失敗しました: %2";
inline constexpr char16_t kArchiveFileUnreadable[] = u"ファイルを読めません: %1";
inline constexpr char16_t kArchiveFileDamaged[] = u"データファイルではないか、壊れています (エラー%1)";
inline constexpr char16_t kArchiveFileNoTime[] = u"開始日時か記録間隔が正しくないチャンネルがあります";
inline constexpr char16_t kArchiveFileEmpty[] = u"チャンネルがありません";
inline constexpr char16_t kArchiveSummaryFiles[] = u"ファイル: 新規 %1、取り込み済み %2、失敗 %3";
inline constexpr char16_t kArchiveSummarySamples[] = u"サンプル: 新規 %1、保存済み %2、競合 %3";
inline constexpr char16_t kArchiveNotImported[] =
    u"アーカイブに取り込めませんでした (データファイルは保存済み。あとで「アーカイブに取り込む」で取り込めます): %1";
inline constexpr char16_t kArchiveImportedWithConflicts[] =
    u"アーカイブに取り込みました。既に保存された値と異なるサンプルが %1 個あります (先の値を残しました)";
inline constexpr char16_t kArchiveNothingThere[] = u"この期間のデータはアーカイブにありません";
inline constexpr char16_t kArchiveTooManyRows[] = u"%1 行を超えます。期間か読み出しを絞ってください";
inline constexpr char16_t kArchiveTooManyChannels[] = u"%1 チャンネルを超えます。読み出しを絞ってください";
inline constexpr char16_t kArchiveMixedIntervals[] =
    u"記録間隔の異なる読み出しを含むため、1 つのチャンネルにできません";
inline constexpr char16_t kArchiveWaiting[] =
    u"サーバーに送っていない読み出しが %1 件あります (この PC のアーカイブに保管済み。接続できしだい送ります): %2";
inline constexpr char16_t kArchiveSyncSummary[] = u"読み出し: 送信 %1、送信済み %2、未送信 %3";
inline constexpr char16_t kArchivePasswordRefused[] =
    u"接続文字列にパスワードは書けません (保存しないため)。パスワードは libpq のパスワードファイル (~/.pgpass)、"
    u"サービスファイル、または環境変数 PGPASSWORD に置いてください。";
inline constexpr char16_t kArchiveVerifyMatch[] = u"一致";
inline constexpr char16_t kArchiveVerifyMismatch[] = u"不一致";
inline constexpr char16_t kArchiveVerifyMissing[] = u"ファイルなし";
inline constexpr char16_t kArchiveVerifyUnknown[] = u"アーカイブにありません";

// The long-term trend window, its picture and its report.
inline constexpr char16_t kTrendEntry[] = u"長期トレンド(&L)";
inline constexpr char16_t kTrendTitle[] = u"長期トレンド";
inline constexpr char16_t kTrendButton[] = u"長期トレンド";
inline constexpr char16_t kTrendChannelsLabel[] = u"チャンネル (8 つまで)";
inline constexpr char16_t kTrendAllTime[] = u"すべて";
inline constexpr char16_t kTrendShow[] = u"表示";
inline constexpr char16_t kTrendPdfButton[] = u"PDFで保存";
inline constexpr char16_t kTrendPreviewButton[] = u"印刷プレビュー";
inline constexpr char16_t kTrendTimeAxis[] = u"時刻 (%1)";
inline constexpr char16_t kTrendShown[] = u"表示: %1 〜 %2 (%3)";
inline constexpr char16_t kTrendHint[] = u"ドラッグで拡大、Ctrl+Z で戻る、ホイール・← → で移動、+ − で拡大・縮小";
inline constexpr char16_t kTrendNothing[] = u"この期間のデータはありません";
inline constexpr char16_t kTrendTooMany[] = u"チャンネルは 8 つまで選べます";
inline constexpr char16_t kTrendExcursionColumns[] = u"チャンネル\t限界\t開始\t継続時間";
inline constexpr char16_t kTrendAbove[] = u"上限超え";
inline constexpr char16_t kTrendBelow[] = u"下限未満";
inline constexpr char16_t kTrendReportJob[] = u"長期トレンドのレポート";
inline constexpr char16_t kTrendReportTitle[] = u"長期トレンド %1";
inline constexpr char16_t kTrendReportPeriod[] = u"期間: %1 〜 %2 (%3)";
inline constexpr char16_t kTrendChannelHead[] = u"%1 ch%2 %3";

// The program's own --help.
inline constexpr char16_t kProgramUsage[] =
    u"使い方: quillet [--demo] [データファイル]\n"
    u"\n"
    u"クイレット解析ソフト: 温度・湿度データロガーの読み出し、表示、保存、印刷。\n"
    u"\n"
    u"  データファイル  起動時に「開く」と同じように開きます (.ql6 .ql5 .ql4 .qlg .qld)\n"
    u"  --demo          読取器の代わりに内蔵の模擬ロガー (quillet-logger-sim) を\n"
    u"                  ポート1につないで起動します\n"
    u"  --help          この説明を表示して終了します\n"
    u"  --version       バージョンを表示して終了します\n"
    u"\n"
    u"通信ポート: ポート1..8 は /dev/ttyUSB0..7、ポート9..16 は /dev/ttyS0..7。\n"
    u"環境変数 QUILLET_COM<n> でポートnの装置を指定できます。\n";
// The buttons of a question about unsaved data.
inline constexpr char16_t kSaveButton[] = u"保存";
inline constexpr char16_t kDontSaveButton[] = u"保存しない";
inline constexpr char16_t kCancelButton[] = u"キャンセル";
// The status bar's word after a save and after a read-out.
inline constexpr char16_t kSavedStatus[] = u"保存しました: %1";
inline constexpr char16_t kReadStatus[] = u"ロガーから読み出しました: %1";
inline constexpr char16_t kReadChannelStatus[] = u"CH %1 %2件";
inline constexpr char16_t kStatusSeparator[] = u"、";
// A file error as one sentence (core/fileerror): the path, the error's
// text, its number; then what the file's state says.
inline constexpr char16_t kFileErrorSentence[] = u"%1: %2（エラー%3）";
inline constexpr char16_t kFileStateSeparator[] = u" ― ";
inline constexpr char16_t kFileLoopsToItself[] = u"自分自身へ戻るシンボリックリンクです。";
inline constexpr char16_t kFileNotRegular[] =
    u"通常のファイルではありません（読み書きするのは通常のファイルだけです）。";
inline constexpr char16_t kFileReadOnly[] = u"読み取り専用のファイルのため、元のまま残しました。";
inline constexpr char16_t kFileMissing[] = u"そのファイルはありません。";
// quillet-cli's answers where the program would ask.
inline constexpr char16_t kCliNotOverwritten[] = u"quillet-cli: %1 は既にあるため、上書きしませんでした\n";
inline constexpr char16_t kCliTheFile[] = u"ファイル";
inline constexpr char16_t kCliNobodyAnswers[] = u"  （コマンドラインでは答える人がいないため「%1」として扱いました）\n";
inline constexpr char16_t kCliAnswerNo[] = u"いいえ";
// Before the usage on stderr: an option the program does not know.
inline constexpr char16_t kUnknownOption[] = u"quillet: 不明なオプション: %1\n\n";
inline constexpr char16_t kNoDisplay[] =
    u"quillet: 画面（ディスプレイ）に接続できないため起動できません。\n"
    u"DISPLAY も WAYLAND_DISPLAY も設定されていません。デスクトップから起動するか、\n"
    u"画面なしで使うには quillet-cli を使ってください。\n";

}  // namespace ui
}  // namespace quillet
