#include "core/catalog.h"

#include "core/context.h"
#include "core/savefile.h"
#include "core/store.h"

#include <map>

namespace quillet {
namespace {

const QString CR = QStringLiteral("\r");
const QString CRLF = QStringLiteral("\r\n");

const std::map<int, QString>& captions() {
    static const std::map<int, QString> table = {
        {0, QStringLiteral("クイレット解析ソフト ")},
        {1, QStringLiteral("ロガー設定")},
        {2, QStringLiteral("ロガー読み出し")},
        {3, QStringLiteral("データ削除")},
        {4, QStringLiteral("グラフ")},
        {5, QStringLiteral("データ削除")},
        {6, QStringLiteral("ポート設定")},
        {7, QStringLiteral("バージョン情報")},
        {8, QStringLiteral("ファイルの読込")},
        {9, QStringLiteral("ファイルの保存")},
        {10, QStringLiteral("印刷")},
        {11, QStringLiteral("いつもの通信")},
        {20, QStringLiteral("カードNo.")},
        {21, QStringLiteral("テストNo.")},
        {22, QStringLiteral("測定間隔")},
        {23, QStringLiteral("収録方式")},
        {24, QStringLiteral("ロック")},
        {25, QStringLiteral("警報")},
        {26, QStringLiteral("時計")},
        {27, QStringLiteral("基準値")},
        {28, QStringLiteral("積算方向")},
        {29, QStringLiteral("測定範囲")},
        {30, QStringLiteral("開始時刻")},
        {31, QStringLiteral("終了予約時刻")},
        {40, QStringLiteral("統計と逸脱")},
        {41, QStringLiteral("レポート印刷")},
    };
    return table;
}

const std::map<int, QString>& messages() {
    static const QString dateFormatHint = CR + QStringLiteral("yyyy-mm-dd hh:nn:ss形式で入力してください。");
    static const std::map<int, QString> table = {
        {0, QStringLiteral("すべてのデータを削除します")},
        {9, QStringLiteral("ファイルを上書きしますか？")},
        {10, QStringLiteral("空のＣＨがありません。")},
        {11, QStringLiteral("応答がありません。")},
        {12, QStringLiteral("対応していないロガーです。")},
        {13, QStringLiteral("読み取りエラーです。")},
        {14, QStringLiteral("読み取りを中止いたします。")},
        {15, QStringLiteral("収録中又は収録予約中です。")},
        {16, QStringLiteral("正しく設定できませんでした。")},
        {17, QStringLiteral("通信が途切れました。")},
        {19, QStringLiteral("確立するポートを選択できませんでした。　以下の内容をご確認してください。") + CR + CR +
                 QStringLiteral("読取器にロガーをセットしていますか？") + CR +
                 QStringLiteral("ロガーを通信状態にしていますか？") + CR +
                 QStringLiteral("ロガーの収録を終了させていますか？（収録中は通信できません）") + CR +
                 QStringLiteral("パソコンに読取器が接続されていますか？（接続場所が正しい）") + CR +
                 QStringLiteral("パソコンでポートを有効設定にしていますか？") + CR +
                 QStringLiteral("読取器の通信窓は汚れていませんか？（汚れている場合は汚れを除いてください）")},
        {20, QStringLiteral("基準値の設定範囲が正しくありません。")},
        {21, QStringLiteral("上限警報設定範囲が正しくありません。")},
        {22, QStringLiteral("下限警報設定範囲が正しくありません。")},
        {23, QStringLiteral("下限警報は上限警報値より低く設定してください。")},
        {24, QStringLiteral("上限警報は下限警報値より高く設定してください。")},
        {25, QStringLiteral("通信状態にしたロガーを読取器の上にセットしてください")},
        {26, QStringLiteral("拡張子を変更しました。")},
        {27, QStringLiteral("ロガーのデータが保存されていません。") + CRLF + QStringLiteral("終了しますか？")},
        {28, QStringLiteral("データを保存しますか？")},
        {31, QStringLiteral("開始時刻の入力形式が正しくありません。")},
        {33, QStringLiteral("終了予約時刻の入力形式が正しくありません。")},
        {40, QStringLiteral("同一の文字がすでに設定されています。")},
        {41, QStringLiteral("設定文字を削除しますか？")},
        {42, QStringLiteral("設定文字を選択してください。")},
        {50, QStringLiteral("下限値は上限値より低く設定してください。")},
        {51, QStringLiteral("上限値は下限値より高く設定してください。")},
        {52, QStringLiteral("設定できる温度範囲は－１００～２００℃です。")},
        {53, QStringLiteral("設定できる湿度範囲は０～1００％RHです。")},
        {54, QStringLiteral("設定できるデータ範囲は１～９０００です。")},
        {55, QStringLiteral("下限値時刻の入力形式が正しくありません。") + dateFormatHint},
        {56, QStringLiteral("上限値時刻の入力形式が正しくありません。") + dateFormatHint},
        {57, QStringLiteral("設定が正しくありません。")},
        {60, QStringLiteral("開始は終了より早く設定してください。")},
        {61, QStringLiteral("終了は開始より遅く設定してください。")},
        {62, QStringLiteral("設定できる範囲を超えています。")},
        {63, QStringLiteral("開始時刻の入力形式が正しくありません。") + dateFormatHint},
        {64, QStringLiteral("終了時刻の入力形式が正しくありません。") + dateFormatHint},
        {70, QStringLiteral("収録データがありません。ロガーの設定を継続しますか？")},
        {71, QStringLiteral("いつもの通信（データ読み出し＋ファイル保存＋ロガー設定）を行う前には") + CR +
                 QStringLiteral("画面上のデータを無くしてください。")},
        {99, QStringLiteral("予期しないエラーが発生しました。")},
        {100, QStringLiteral("ΔH/R は 1000～100000 の数値（K）で入力してください。")},
        {101, QStringLiteral("レポートの表題を入力してください。")},
        {103, QStringLiteral("実行(Ok）するとクイレットがメモリしているデータが消去されます")},
    };
    return table;
}

const std::map<int, QString>& runtimeErrors() {
    static const std::map<int, QString> table = {
        {7, QStringLiteral("メモリが足りません｡")},
        {28, QStringLiteral("スタック領域が不足です｡")},
        {52, QStringLiteral("ファイルの名前または番号が不正です｡")},
        {53, QStringLiteral("ファイルが見つかりません｡")},
        {61, QStringLiteral("ディスクの空き容量が不足しています｡")},
        {70, QStringLiteral("このディスクは書き込み禁止に設定されています。")},
        {71, QStringLiteral("ディスクの準備ができていません。")},
        {75, QStringLiteral("パス名が無効です｡")},
        {76, QStringLiteral("パスが見つかりません。")},
        {321, QStringLiteral("不正なファイル形式です。")},
        {482, QStringLiteral("プリンタ エラーです｡")},
        {483, QStringLiteral("プリンタ ドライバは指定されたプロパティをサポートしていません。")},
        {484, QStringLiteral("システムからプリンタ情報を受けるときに問題が発生しました。プリンタが正しく設定されている"
                             "かを確かめてください。")},
        {4820, QStringLiteral("プリンタがありません。")},
        {4821, QStringLiteral("プリンタがありません。")},
        {8002, QStringLiteral("無効な通信ポートです。")},
        {8005, QStringLiteral("ポートはすでに開いています。")},
        {8010, QStringLiteral("通信ポートが使用できません。他のデバイスによってロックされています。")},
        {31001, QStringLiteral("メモリが不足しています。")},
        {31036, QStringLiteral("ファイルへの書き込み中にエラーが発生しました｡")},
        {31037, QStringLiteral("ファイルの読み込み中にエラーが発生しました｡")},
    };
    return table;
}

}  // namespace

QString captionText(int n) {
    const auto it = captions().find(n);
    return it == captions().end() ? QString() : it->second;
}

QString messageText(int n, const QStringList& args) {
    const QString a0 = args.value(0);
    const QString a1 = args.value(1);
    if (n >= 1 && n <= 8) return QStringLiteral("CH:") + channelLetter(n) + QStringLiteral(" を削除します");
    if (n == 18) return QStringLiteral("ポート") + a0 + QStringLiteral("で通信を確立しました。");
    if (n == 30)
        return QStringLiteral("開始時刻の設定範囲は") + a0 + QStringLiteral("～") + a1 + QStringLiteral("です。");
    if (n == 32)
        return QStringLiteral("終了時刻の設定範囲は") + a0 + QStringLiteral("～") + a1 + QStringLiteral("です。");
    if (n == 80)
        return QStringLiteral("ロガーの設定は途中で止まりました。") + CR + QStringLiteral("書き込まれた項目：") + a0 +
               CR + QStringLiteral("書き込まれなかった項目：") + a1 + CR +
               QStringLiteral("ロガーをもう一度設定してください。");
    if (n == 102)
        return QStringLiteral("出力先「") + a0 + QStringLiteral("」は入力ファイル「") + a1 +
               QStringLiteral("」と同じファイルです。入力ファイルを守るため、何も書き込みませんでした。");
    const auto it = messages().find(n);
    return it == messages().end() ? QString() : it->second;
}

QString runtimeErrorText(int errorNo) {
    const auto it = runtimeErrors().find(errorNo);
    return it == runtimeErrors().end() ? QStringLiteral("予期しないエラーが発生しました。") : it->second;
}

QString runtimeErrorMessage(int errorNo) {
    // Numbers of our own: a listed error with a line that says more.
    const auto explained = [](int shownAs, const QString& line) {
        return runtimeErrorText(shownAs) + CR + line + CR + QStringLiteral("エラー") + QString::number(shownAs);
    };
    if (errorNo == kErrPortDenied)
        return explained(kErrPortLocked,
                         QStringLiteral("このユーザーにはシリアルデバイスを使う権限がありません。"
                                        "ユーザーをグループ dialout に加え、ログインし直してください。"));
    if (errorNo == kErrNameTooLong)
        return explained(runtimeErrorOf(SaveError::BadFileName),
                         QStringLiteral("ファイル名が長すぎます。ファイル名は255バイト"
                                        "（日本語では85文字）までにしてください。"));
    return runtimeErrorText(errorNo) + CR + QStringLiteral("エラー") + QString::number(errorNo);
}

int showMessage(AppContext& ctx, int titleNo, int messageNo, int buttons, const QStringList& args) {
    return ctx.messages->show(captionText(titleNo), messageText(messageNo, args), buttons);
}

int showPortEstablished(AppContext& ctx, Caption caption, int buttons) {
    return showMessage(ctx, caption, Msg::PortEstablished, buttons, {QString::number(ctx.general.comPort)});
}

int showRuntimeError(AppContext& ctx, int errorNo, const QString& title, int buttons) {
    return ctx.messages->show(title, runtimeErrorMessage(errorNo), buttons);
}

QString mainCaption(const AppContext& ctx) {
    // The file's name once the channels belong to a file; a mark in front
    // while changes are unsaved.
    const ChannelStore& s = ctx.store;
    QString title = captionText(Caption::Program);
    if (!s.dataFileName.isEmpty()) title += QLatin1Char(' ') + s.currentFileName;
    if (holdsUnsavedData(s)) title.prepend(QLatin1Char('*'));
    return title;
}

}  // namespace quillet
