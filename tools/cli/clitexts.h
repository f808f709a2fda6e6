// quillet-cli's own words: its help and its messages on stdout and stderr.
// Where the program already says a thing (core/uitexts.h, core/catalog),
// the commands take the program's text; these are the words only the
// command line needs. Option names, subcommand words and the forms of
// their values ("FIRST..LAST", "yyyy-mm-dd") stay as they are typed.
#pragma once

namespace quillet::cli::text {

// ---- The help --------------------------------------------------------------

inline constexpr char16_t kUsageHead[] =
    u"使い方: quillet-cli コマンド 引数\n"
    u"        quillet-cli --help | --version | コマンド --help\n\n"
    u"クイレット解析ソフトのデータファイルとロガーを、画面を開かずに扱います。\n\n"
    u"コマンド:\n";
inline constexpr char16_t kUsageTail[] =
    u"FILE の形式は拡張子で決まります: .qlg と .qld は 10 秒の欄なし、.ql4、.ql5、\n"
    u".ql6 は 10 秒の欄あり、それ以外の名前は古い形式です。カード No. とテスト No. は、\n"
    u"プログラムと同じくユーザー設定 (qlet7.dat) の変換文字で表示します。\n\n"
    u"どのコマンドも、読むファイルには (別の名前やリンクを通しても) 書き込みません。\n\n"
    u"終了コード: 0 は成功。1 は操作の失敗 (プログラムのエラー文を標準エラー出力に\n"
    u"書きます) か、標準出力に書き込めなかったとき。2 はコマンドラインの誤りです。\n";
inline constexpr char16_t kUsageLine[] = u"使い方: quillet-cli %1";
inline constexpr char16_t kUsageList[] = u"使い方:";

inline constexpr char16_t kInfoHelp[] = u"データファイルのチャンネルとヘッダの値を表示します。";
inline constexpr char16_t kExportHelp[] =
    u"データファイルを開いたときのプログラムの CSV 保存 (\",\") またはテキスト保存 (\"#\") と\n"
    u"バイト単位で同じファイルを書きます。--tidy は表形式 CSV (見出し 1 行、測定時刻ごとに\n"
    u"1 行。BOM 付き UTF-8、--encoding cp932 なら CP932)、--xlsx は Excel ブック (表、統計、\n"
    u"グラフ) で、すべての行か --rows FIRST..LAST の行を書きます。\n"
    u"OUT は確認なしに上書きします (FILE 自身は除く)。";
inline constexpr char16_t kConvertHelp[] =
    u"どの形式 (.ql6 .ql5 .ql4 .qlg .qld) のデータファイルも .ql6 形式で書きます。\n"
    u"OUT の名前は .ql6 で終わる必要があります。確認なしに上書きします (FILE 自身は除く)。";
inline constexpr char16_t kReadHelp[] =
    u"読取器のロガーを読み出し (識別、概要、記録。標準エラー出力が端末なら進み具合の\n"
    u"バーを表示)、そのチャンネルを FILE.ql6 に保存します。ロガーの 1 つ目のチャンネルは\n"
    u"--channel (既定は A) に、2 つ目は空いているうちで最も小さいチャンネルに入ります。\n"
    u"--port N はプログラムのポート N (1..16。Linux では QUILLET_COM<n> で装置を指定\n"
    u"できます)、--device PATH は任意のシリアル装置を使います。失敗したときは何も\n"
    u"書きません。FILE.ql6 が既にあるときは (プログラムなら確認するため) 置き換えず、\n"
    u"何も読み出さずに終了コード 1 で終わります。--force を付けると置き換えます。";
inline constexpr char16_t kUsualHelp[] =
    u"いつもの通信: ロガーを読み出してデータを自動の名前で保存し (--naming date:\n"
    u"date/yy年mm月/dd日hh時nn分.ql6、card: number/yy年mm月dd日/カード_テスト.ql6、\n"
    u"どちらもドキュメントフォルダの下)、保存したファイルを確かめてから、次の収録設定を\n"
    u"--start (今日、その時刻を過ぎていれば明日) に収録を始めるように書き込みます。\n"
    u"--task set-only は設定の書き込みだけを行います。省いた項目はプログラムの\n"
    u"「いつもの通信設定」のとおりです。保存したファイルと書き込んだ設定を表示します。\n"
    u"設定の前で止まったとき (ロガーには何も送りません) と、設定を書き込めなかったときは\n"
    u"終了コード 1 です。既にあるファイルは上書きせず、記録のないロガーは設定しません\n"
    u"(答える人がいないため)。収録中か収録開始待ちのロガー、状態を読めないロガー、\n"
    u"--task set-only で記録を持つロガーは、--force を付けない限り設定しません。";
inline constexpr char16_t kSetHelp[] =
    u"「収録設定」と同じようにロガーに収録設定を書き込みます: 状態 (ロックされていれば\n"
    u"解除) と設定を読み、ここで指定した値に変えて書き戻します。書き込むとロガーの記録は\n"
    u"消えます。指定しない項目はロガーの値のままです。開始は既定で今から 1 分後、終了\n"
    u"予約はメモリがいっぱいになる時刻です。どの値も設定画面の規則で確かめ、画面なら\n"
    u"直す値はその画面のメッセージとともに断ります (終了コード 1、読み出しのあとは何も\n"
    u"送りません)。ロガーの時計はこの PC の時刻に合わせます。\n"
    u"--ref1/--ref2 は基準値とその積算方向 (H 上側、L 下側)、--alarm1/--alarm2 は上限と\n"
    u"下限の警報値を整数で指定します。\n"
    u"収録中か収録開始待ちのロガー、状態を読めないロガー、まだ読み出していない記録を\n"
    u"持つロガー (quillet-cli read で保存できます) は、--force を付けない限り設定しません\n"
    u"(終了コード 1、何も送りません)。\n"
    u"設定されていない基準値は、--ref1/--ref2 で指定しない限り未設定のままです。\n"
    u"1 チャンネルのロガーは自分の測定範囲を保ちます (測定範囲を書き込むコマンドは\n"
    u"ありません)。--range は同じ範囲の指定だけを受け付けます。書き込んだ内容を表示します。";
inline constexpr char16_t kGraphRangeHelp[] =
    u"FILE を開いた「グラフレンジ変更」に範囲を入力し、OK で決まる範囲を表示します。\n"
    u"--x はデータ No. か時刻 \"yyyy-mm-dd hh:nn:ss\" (時刻はその時刻かその前のデータ No.)、\n"
    u"--temp は整数の ℃ (-100..200)、--humid は整数の %RH (0..100) です。指定した軸は固定、\n"
    u"ほかの軸は設定のとおりです。受け付けられない入力 (整数でない Y 軸の値も) は、\n"
    u"メッセージを標準エラー出力に書き、範囲を表示せず何も保存しないで終了コード 1 で\n"
    u"終わります。--save は固定した Y 軸の範囲をユーザー設定 (qlet7.dat) に書き、次の\n"
    u"起動でグラフがその範囲を使います。";
inline constexpr char16_t kPrintHelp[] =
    u"プログラムの印刷メニューと同じ印刷を PDF ファイルに書きます: 時刻の一覧全体\n"
    u"(--list)、その FIRST..LAST 行 (--rows、部分印刷の画面と同じ)、チャンネルの\n"
    u"パラメータ (--params)、または統計の表付きのグラフのページ (--graph。quillet-cli graph\n"
    u"と同じオプションで、指定しない範囲は自動)。用紙は --paper と --landscape で変えない\n"
    u"限り A4 縦、余白 20 mm で、文字の大きさは用紙の幅に合わせます。OUT は確認なしに\n"
    u"上書きします (FILE 自身は除く)。行の範囲がファイルの行にないとき、グラフの範囲が\n"
    u"受け付けられないときは何も書きません。";
inline constexpr char16_t kPrintGraphOptions[] = u"      グラフのオプション: ";
inline constexpr char16_t kGraphHelp[] =
    u"グラフ画面と同じようにデータファイルのグラフを描きます: 使っているすべてのチャンネルを\n"
    u"温度 (℃) と湿度 (%RH) の軸に、データ No. に沿って描きます。範囲は指定しなければ\n"
    u"自動で、範囲の画面と同じように確かめます (データ No. 1..9000、-100..200 ℃、\n"
    u"0..100 %RH)。--size は絵の大きさ (ピクセル。既定はグラフ画面の絵の 1004x378)、\n"
    u"--labels は点に値を表示、--thick は太い線、--ref-temp/--ref-humid は基準線です。\n"
    u"SVG ではラベルを文字のまま残します。失敗したとき、OUT が FILE 自身のときは何も\n"
    u"書きません。";
inline constexpr char16_t kStatsHelp[] =
    u"プログラムの「統計と逸脱」と同じように、データファイルの各チャンネルの値を表示します:\n"
    u"収録数とエラー数、最低値、最高値、平均値、平均動力学温度 (温度のチャンネル。ΔH/R は\n"
    u"--dhr かユーザー設定、既定 10000 K)、警報値の上下にあった時間、その逸脱と度分を、\n"
    u"時間軸の FIRST..LAST 行 (既定はすべての行) について求めます。--json は JSON の\n"
    u"オブジェクト 1 つを表示し、当てはまらない値は null です。";
inline constexpr char16_t kReportHelp[] =
    u"プログラムの「レポート印刷」と同じ 1 ページのレポートを PDF ファイル (A4 横) に\n"
    u"書きます: 表題 (--title がなければファイルの名前)、ロガー、期間、測定間隔、印刷日時、\n"
    u"その行のグラフ (すべての測定値が見えるよう範囲は自動)、quillet-cli stats の値、\n"
    u"作成・確認・承認の欄。OUT は確認なしに上書きします (FILE 自身は除く)。";
inline constexpr char16_t kArchiveImportHelp[] =
    u"データファイル (.ql6 .ql5 .ql4 .qlg .qld) をアーカイブに取り込みます。フォルダは中の\n"
    u"フォルダまでたどります。取り込み済みのファイルは何も加えません。最後に件数をまとめ、\n"
    u"失敗したファイルがあれば終了コード 1 で終わります。--db を省くと設定のアーカイブ\n"
    u"(既定はデータフォルダの quillet-archive.sqlite) を使います。";
inline constexpr char16_t kArchiveListHelp[] =
    u"アーカイブの読み出しを一覧にします (ロガー、最初と最後の時刻、サンプル数、警報上下限、\n"
    u"競合の数、ファイル)。時刻はこの PC のタイムゾーンで表示します。";
inline constexpr char16_t kArchiveSeriesHelp[] =
    u"ロガーの 1 チャンネルを読み出しをまたいで 1 つの系列として書き出します。--tidy は何行でも、\n"
    u"--xlsx と --ql6 は 12000 行までです (超えるときは期間を絞るよう案内して終わります)。";
inline constexpr char16_t kArchiveStatsHelp[] =
    u"ロガーの 1 チャンネルの期間の統計 (stats と同じ数字) を、その期間のすべての読み出しから\n"
    u"求めます。--json の項目は stats と同じで、行番号の代わりに from と to を持ちます。";
inline constexpr char16_t kArchiveVerifyHelp[] =
    u"ファイルが残っている読み出しのそれぞれについて、ファイルの SHA-256 が取り込んだときと\n"
    u"一致するかを確かめます。FILE を指定すると、そのファイルがアーカイブの読み出しと\n"
    u"一致するかを答えます。一致しないものがあれば終了コード 1 です。";
inline constexpr char16_t kArchivePushHelp[] =
    u"この PC のアーカイブ (既定はデータフォルダの quillet-archive.sqlite) の読み出しのうち、\n"
    u"共有サーバー (設定の接続、または --to) にまだ送っていないものを送ります。読み出しは\n"
    u"まるごと SHA-256 とともに送るため、何度送っても増えません。送れないものが残れば\n"
    u"終了コード 1 です。";
inline constexpr char16_t kArchiveCopyHelp[] =
    u"アーカイブの読み出しをすべて別のアーカイブへ写します (SQLite から PostgreSQL へ、\n"
    u"またその逆も)。写し先にある読み出しは何も加えないため、何度実行しても同じです。";
inline constexpr char16_t kArchiveTrendHelp[] =
    u"ロガーのチャンネル (--channel を繰り返して選ぶ。既定はすべて) の長期トレンドを、\n"
    u"「長期トレンド」画面と同じように描いて画像にします。期間の端を省くと、その側は\n"
    u"最初 (最後) の測定値までです。--size の既定は 1600x600 です。";
inline constexpr char16_t kArchiveReportHelp[] =
    u"「長期トレンド」の「レポート印刷」と同じ1ページのレポート (表題、期間、ロガー、\n"
    u"印刷日時、トレンドのグラフ、統計と逸脱の値、作成・確認・承認の欄) を PDF にします。";

// ---- The command line ------------------------------------------------------

inline constexpr char16_t kNeedsValue[] = u"%1 には値が必要です";
inline constexpr char16_t kUnknownOption[] = u"%2 に %1 というオプションはありません";
inline constexpr char16_t kUnknownCommand[] = u"%1 というコマンドはありません (quillet-cli --help を参照)";
inline constexpr char16_t kStdoutFailed[] = u"標準出力に書き込めませんでした";
inline constexpr char16_t kOneOfPortAndDevice[] = u"--port N と --device PATH のどちらか一方を指定してください";
inline constexpr char16_t kNotSerialDevice[] = u"%1: シリアル通信の装置ではありません";
inline constexpr char16_t kPortNumber[] = u"--port には 1..16 の番号を指定してください";
inline constexpr char16_t kRowsForm[] = u"--rows には FIRST..LAST の形で 2 つの行番号を指定してください (例 1..100)";
inline constexpr char16_t kRowsOfFile[] = u"--rows には FIRST..LAST の形で、ファイルの行 (1..%1) を指定してください";
inline constexpr char16_t kRowsAre[] = u" (行 1..%1)";
inline constexpr char16_t kExportOneKind[] =
    u"export には --csv OUT、--text OUT、--tidy OUT.csv、--xlsx OUT.xlsx のどれか 1 つを指定してください";
inline constexpr char16_t kExportOptions[] =
    u"--encoding (utf8 か cp932) は --tidy と、--rows は --tidy か --xlsx と一緒に指定してください";
inline constexpr char16_t kOutNamesQl6[] = u"%1: %2 は .ql6 形式で書くため、--out の名前は .ql6 で終わる必要があります";
inline constexpr char16_t kNeedsOption[] = u"%1 には %2 を指定してください";
inline constexpr char16_t kChannelLetter[] = u"--channel には A..H の文字を指定してください";
inline constexpr char16_t kChannelNumber[] = u"--channel には 1 か 2 を指定してください";
inline constexpr char16_t kPictureOut[] = u"%1 には --out OUT.png、OUT.svg、OUT.pdf のどれかを指定してください";
inline constexpr char16_t kPictureSuffix[] = u"%1: --out の名前は .png、.svg、.pdf のどれかで終わる必要があります";
inline constexpr char16_t kPictureSize[] =
    u"--size には WIDTHxHEIGHT をピクセルで指定してください (100x60 から 20000x20000 まで)";
inline constexpr char16_t kPictureNotDrawn[] = u"%1: 絵を描けなかったため、何も書いていません";
inline constexpr char16_t kWholeNumber[] = u"%1 には整数を指定してください: \"%2\"";
inline constexpr char16_t kWholeRange[] = u"%1 には LOW..HIGH を整数で指定してください: \"%2\"";
inline constexpr char16_t kLowHigh[] = u"%1 には LOW..HIGH を指定してください";
inline constexpr char16_t kNoChannelOfKind[] = u"%1 には%2のチャンネルがありません";
inline constexpr char16_t kBelongsToGraph[] = u"%1 は --graph と一緒に指定してください";
inline constexpr char16_t kPaper[] = u"--paper には A4、A3、Letter のどれかを指定してください";
inline constexpr char16_t kNoChannel[] = u"%1: データのあるチャンネルがありません";
inline constexpr char16_t kDeltaHOverR[] = u"--dhr には %1 から %2 までのケルビンの数を指定してください";
inline constexpr char16_t kLoggerForm[] = u"%1 は CARD-TEST (例 005-012) で指定してください: %2";
inline constexpr char16_t kLoggerWord[] = u"ロガー";
inline constexpr char16_t kChannelNotArchived[] = u"ロガー %1 のチャンネル%2 はアーカイブにありません";
inline constexpr char16_t kLoggerNotArchived[] = u"ロガー %1 はアーカイブにありません";
inline constexpr char16_t kDateForm[] = u"%1 には yyyy-mm-dd の形の日付を指定してください: %2";
inline constexpr char16_t kSeriesOneKind[] =
    u"archive series には --tidy OUT.csv、--xlsx OUT.xlsx、--ql6 OUT.ql6 のどれか 1 つを指定してください";
inline constexpr char16_t kTidyHasNoLimit[] = u" (--tidy には上限がありません)";
inline constexpr char16_t kNoServer[] = u"共有サーバーが設定されていません (--to でサーバーの接続を指定できます)";

// ---- What the commands did -------------------------------------------------

inline constexpr char16_t kFileLabel[] = u"ファイル";
inline constexpr char16_t kRowsLabel[] = u"行";
inline constexpr char16_t kArchiveLabel[] = u"アーカイブ";
inline constexpr char16_t kPeriodLabel[] = u"期間";
inline constexpr char16_t kSavedChannels[] = u"%1 チャンネルを %2 に保存しました";
inline constexpr char16_t kPrinted[] = u"%1 に印刷しました";
inline constexpr char16_t kDrewGraph[] = u"%1 チャンネル (データ No. %2..%3) を %4 (%5x%6) に描きました";
inline constexpr char16_t kDrewTrend[] = u"%1 チャンネルを %2 (%3x%4) に描きました";
inline constexpr char16_t kNothingReadForce[] = u"何も読み出していません (--force を付けるとファイルを置き換えます)";

// info
inline constexpr char16_t kLayoutLabel[] = u"形式";
inline constexpr char16_t kWithTenSeconds[] = u"10 秒の欄あり (.ql4 .ql5 .ql6)";
inline constexpr char16_t kWithoutTenSeconds[] = u"10 秒の欄なし (.qlg .qld)";
inline constexpr char16_t kChannelCount[] = u"チャンネル数";
inline constexpr char16_t kChannelHead[] = u"CH %1 (チャンネル%2): %3";
inline constexpr char16_t kWithoutAlarms[] = u"、警報値なし";
inline constexpr char16_t kWithAlarms[] = u"、警報値あり";
inline constexpr char16_t kKindNumber[] = u"種類 %1";
inline constexpr char16_t kCardTestValue[] = u"%1-%2 (カード %3、テスト %4)";
inline constexpr char16_t kRangeValue[] = u"コード %1、%2";
inline constexpr char16_t kHighLowAverage[] = u"最高/最低/平均";
inline constexpr char16_t kNotSet[] = u"未設定";
inline constexpr char16_t kReferenceValue[] = u"%1 %2、積算値 %3";
inline constexpr char16_t kFirstRow[] = u"最初の行";
inline constexpr char16_t kRowOf[] = u"%1 (全 %2 行)";

// read
inline constexpr char16_t kLoggerFound[] = u"ロガー 機種 %1、カード-テスト %2-%3、記録 %4 件";
inline constexpr char16_t kAlarmsOfChannel[] = u"、CH%1 警報値 %2/%3";

// graph-range
inline constexpr char16_t kHeld[] = u"固定";
inline constexpr char16_t kGraphRangesSaved[] = u"グラフの Y 軸の範囲を %1 に保存しました";

// usual and set
inline constexpr char16_t kNothingSent[] = u"いつもの通信は設定の前に終わりました。ロガーには何も送っていません";
inline constexpr char16_t kSettingsNotWrittenNote[] = u"%1 (収録設定は書き込まれていません)";
inline constexpr char16_t kSettingsNotWrittenSetAgain[] =
    u"%1 (収録設定は書き込まれていません。ロガーをもう一度設定してください)";
inline constexpr char16_t kSettingsWritten[] = u"収録設定を書き込みました。ロガーは %1 に収録を始めます";
inline constexpr char16_t kBusyRefusal[] =
    u"ロガーは収録中か収録開始待ちか、状態を読めませんでした。書き込むと収録が消えるため、設定は送っていません "
    u"(--force を付けると書き込みます)";
inline constexpr char16_t kUnreadRecords[] =
    u"ロガーにはまだ読み出していない記録が %1 件あります。書き込むと消えるため、設定は送っていません "
    u"(--force を付けると書き込みます)";
inline constexpr char16_t kSetAgain[] = u"ロガーをもう一度設定してください。";
inline constexpr char16_t kTakesNumber[] = u"%1 には %2..%3 の数を指定してください";
inline constexpr char16_t kNotBoth[] = u"%1 と %2 は一緒に指定できません";
inline constexpr char16_t kIntervalChoices[] = u"--interval には 00:01 .. 00:59 か 01:00 を指定してください";
inline constexpr char16_t kSecondsChoices[] = u"--seconds には 10、20、30、40、50 のどれかを指定してください";
inline constexpr char16_t kTimeForm[] = u"%1 には時刻 \"yyyy-mm-dd hh:nn\" を指定してください";
inline constexpr char16_t kTakesOneOf[] = u"%1 には %2 か %3 を指定してください";
inline constexpr char16_t kTimeOfDay[] = u"--start には時刻 hh:nn (00:00 .. 23:59) を指定してください";
inline constexpr char16_t kReferenceForm[] = u"%1 には整数の値と H か L を指定してください (例 25H)";
inline constexpr char16_t kAlarmForm[] = u"%1 には UPPER/LOWER を整数で指定してください (例 30/-5)";
inline constexpr char16_t kNotForModel[] = u"%1 (ロガーは機種 %2)。設定は送っていません";
inline constexpr char16_t kValueRefused[] = u"値が受け付けられなかったため、設定は送っていません";
inline constexpr char16_t kRangeIsForOneChannel[] = u"--range は 1 チャンネルのロガー用です";
inline constexpr char16_t kRangeKept[] =
    u"測定範囲を書き込むコマンドはありません。このロガーは測定範囲 %1 (%2) のままです";
inline constexpr char16_t kForModels[] = u"%1 は機種 %2 用です";
inline constexpr char16_t kNoEndReservation[] = u"エンドレスや秒間隔の収録には終了予約がありません";
inline constexpr char16_t kEndBetweenRecords[] =
    u"終了予約時刻が記録と記録の間になります。最も近いのは %1 です。設定は送っていません";
inline constexpr char16_t kNoReferenceOnChannel[] = u"このロガーのチャンネル%1 には基準値がありません";
inline constexpr char16_t kNoAlarmsOnChannel[] = u"このロガーのチャンネル%1 には警報値がありません";
inline constexpr char16_t kLockForModel4[] = u"--lock と --no-lock は機種 4 用です (ほかの機種は常にロックされます)";
inline constexpr char16_t kRangeLoggersOwn[] = u"ロガーのもの。送っていません";
inline constexpr char16_t kRangeDefault[] =
    u"既定値。ロガーが返した測定範囲・方式のコード %1 は測定範囲ではありません。送っていません";
inline constexpr char16_t kRangeAsGiven[] = u"指定のとおり。ロガーは測定範囲を返さず、この値も送っていません";
inline constexpr char16_t kWrittenModel[] = u"書き込み: ロガー 機種 %1";
inline constexpr char16_t kEndValue[] = u"%1 (%2 間隔)";
inline constexpr char16_t kLocked[] = u"する";
inline constexpr char16_t kNotLocked[] = u"しない";
inline constexpr char16_t kChannelItem[] = u"CH%1 %2";

// A label and its value on one line.
inline constexpr char16_t kLabelled[] = u"%1: %2";

}  // namespace quillet::cli::text
