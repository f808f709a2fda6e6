// The three catalogues: every caption, message and run-time error text the
// user sees. Callers name them (Caption::SaveFile, Msg::OverwriteFile), never
// write the texts.
#pragma once

#include <QString>
#include <QStringList>

namespace quillet {

struct AppContext;

// Run-time error numbers the callers test.
enum RuntimeError : int {
    kErrSubscript = 9,
    kErrFileNotFound = 53,
    kErrBadFileFormat = 321,
    kErrPrinter = 482,
    kErrPrinterNotReady = 4820,
    kErrNoPrinter = 4821,
    kErrInvalidPort = 8002,
    kErrPortOpen = 8005,
    kErrPortLocked = 8010,
    // The device refused this user (no permission): shown as 8010 with a
    // hint about the serial group. Not 8005, so the port search stops at it.
    kErrPortDenied = 18010,
    // A file name longer than the file system holds (255 bytes): shown as
    // 52 with a line that says so.
    kErrNameTooLong = 10052,
    kErrCancel = 32755,
};

// The captions by name; the numbers are the catalogue's.
enum class Caption : int {
    Program = 0,              // "クイレット解析ソフト "
    LoggerSettings = 1,       // "ロガー設定"
    LoggerRead = 2,           // "ロガー読み出し"
    DeleteData = 3,           // "データ削除"
    Graph = 4,                // "グラフ"
    DeleteChannels = 5,       // "データ削除"
    PortSettings = 6,         // "ポート設定"
    Version = 7,              // "バージョン情報"
    OpenFile = 8,             // "ファイルの読込"
    SaveFile = 9,             // "ファイルの保存"
    Print = 10,               // "印刷"
    UsualCommunication = 11,  // "いつもの通信"
    CardNo = 20,              // the steps of the settings writer ...
    TestNo = 21,
    Interval = 22,
    RecordMode = 23,
    Lock = 24,
    Alarm = 25,
    Clock = 26,
    Reference = 27,
    IntegrationSide = 28,
    MeasuringRange = 29,
    StartTime = 30,
    EndReservation = 31,
    Analysis = 40,  // "統計と逸脱"
    Report = 41,    // "レポート印刷"
};

// The messages by name; the numbers are the catalogue's (rules report them).
enum class Msg : int {
    DeleteAllData = 0,
    OverwriteFile = 9,
    NoFreeChannel = 10,
    NoAnswer = 11,
    UnsupportedLogger = 12,
    ReadError = 13,
    ReadingStopped = 14,
    Recording = 15,
    SettingsFailed = 16,
    ConnectionLost = 17,
    PortEstablished = 18,
    NoPortFound = 19,
    BadReference = 20,
    BadUpperAlarm = 21,
    BadLowerAlarm = 22,
    LowerAlarmNotBelowUpper = 23,
    UpperAlarmNotAboveLower = 24,
    PlaceLogger = 25,
    ExtensionChanged = 26,
    UnsavedLoggerData = 27,
    SaveData = 28,
    BadStartTime = 31,
    BadEndReservation = 33,
    SettingCharTaken = 40,
    DeleteSettingChar = 41,
    ChooseSettingChar = 42,
    LowerNotBelowUpper = 50,
    UpperNotAboveLower = 51,
    TemperatureRange = 52,
    HumidityRange = 53,
    DataRange = 54,
    BadLowerTime = 55,
    BadUpperTime = 56,
    BadSetting = 57,
    StartAfterEnd = 60,
    EndBeforeStart = 61,
    OutOfRange = 62,
    BadStartDateTime = 63,
    BadEndDateTime = 64,
    NoRecordsContinue = 70,
    ClearDataFirst = 71,
    PartlyWritten = 80,  // args[0] the items written, args[1] those not written
    Unexpected = 99,
    BadDeltaHOverR = 100,
    ReportTitle = 101,
    OutputIsInput = 102,        // args[0] the output, args[1] the input it names
    WritingErasesMemory = 103,  // the recording settings dialog's note above OK
};

// Caption n; empty for numbers without a caption.
QString captionText(int n);
inline QString captionText(Caption c) { return captionText(int(c)); }

// Text of message n. Message 18 takes comPort from args[0]; 30 and 32 take
// the first and last time of their range from args[0] and args[1]; 80 the
// items written and those not written; 102 the output and the input.
QString messageText(int n, const QStringList& args = {});

// The error table's text for errorNo (the catch-all for unlisted numbers).
QString runtimeErrorText(int errorNo);
// The whole box text: the error text, CR, "エラー" and the number.
QString runtimeErrorMessage(int errorNo);

// Show message messageNo under captionText(titleNo) with style buttons;
// returns the pressed button (1 OK, 2 Cancel, 6 Yes, 7 No).
int showMessage(AppContext& ctx, int titleNo, int messageNo, int buttons, const QStringList& args = {});
inline int showMessage(AppContext& ctx, Caption caption, Msg message, int buttons, const QStringList& args = {}) {
    return showMessage(ctx, int(caption), int(message), buttons, args);
}
inline QString messageText(Msg m, const QStringList& args = {}) { return messageText(int(m), args); }
// Message 18 with the context's comPort.
int showPortEstablished(AppContext& ctx, Caption caption, int buttons);
int showRuntimeError(AppContext& ctx, int errorNo, const QString& title, int buttons);

// The main window's caption: caption 0, then a blank and currentFileName
// once there is a data file; "*" in front while data is unsaved.
QString mainCaption(const AppContext& ctx);

}  // namespace quillet
