#include "tools/cli/cli.h"

#include <QRegularExpression>

#include "comm/serialport.h"
#include "core/catalog.h"
#include "core/fileerror.h"
#include "core/savefile.h"
#include "core/store.h"
#include "core/uitexts.h"
#include "datafile/fileops.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <optional>

#include <sys/stat.h>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace quillet::cli {

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}

QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

void complain(const QString& text) { err() << "quillet-cli: " << text << "\n"; }

bool stderrIsTerminal() {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return ::isatty(STDERR_FILENO) != 0;
#endif
}

void drawProgress(qint64 done, qint64 total) {
    if (total <= 0) return;
    constexpr int kWidth = 40;
    const int filled = int(std::clamp<qint64>(done * kWidth / total, 0, kWidth));
    err() << "\r[" << QString(filled, QLatin1Char('#')) << QString(kWidth - filled, QLatin1Char(' ')) << "] " << done
          << "/" << total;
    if (done >= total) err() << "\n";
    err().flush();
}

namespace {

// The run-time error whose error box says text: the catalogue's text, then
// the number it is shown with (a number of our own is shown as the listed
// error it explains).
std::optional<int> runtimeErrorIn(const QString& text) {
    static const QRegularExpression trailingNumber(QStringLiteral("\\r\\D*(\\d+)$"));
    const QRegularExpressionMatch m = trailingNumber.match(text);
    if (!m.hasMatch()) return std::nullopt;
    for (const int error : {m.captured(1).toInt(), int(kErrNameTooLong), int(kErrPortDenied)})
        if (runtimeErrorMessage(error) == text) return error;
    return std::nullopt;
}

bool isPortFault(int error) {
    for (const PortFault f :
         {PortFault::InvalidPort, PortFault::InUse, PortFault::Refused, PortFault::Denied, PortFault::NotOpen})
        if (error == portErrorNumber(f)) return true;
    return false;
}

// Two names of one existing file, by the names' own bytes: the same device
// and inode, which every spelling of a path and a hard link share.
bool sameFile(const QString& a, const QString& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(encodeFileName(a).constData(), &sa) == 0 && ::stat(encodeFileName(b).constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace

bool outputApartFromInput(const QString& output, const QString& input, int& exitCode) {
    if (!sameFile(output, input)) return true;
    err() << "quillet-cli: " << captionText(Caption::SaveFile) << ": " << output << "\n"
          << messageText(Msg::OutputIsInput, {output, input}) << "\n";
    err().flush();
    exitCode = kExitFailed;
    return false;
}

int refuseUnreadRecords(int records) {
    complain(captionText(Caption::LoggerSettings) + QStringLiteral(": ") + messageText(Msg::WritingErasesMemory));
    complain(uiText(text::kUnreadRecords).arg(records));
    return kExitFailed;
}

bool standardOutputWritten() {
    out().flush();
    const bool failed = out().status() != QTextStream::Ok || std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    if (failed) {
        complain(uiText(text::kStdoutFailed));
        err().flush();
    }
    return !failed;
}

int failWith(int error, int captionNo, const QString& file) {
    complain(captionText(captionNo) + QStringLiteral(": ") + fileErrorSentence(file, error));
    err().flush();
    return kExitFailed;
}

int TerminalMessages::show(const QString& title, const QString& text, int style) {
    if (stderrIsTerminal()) err() << "\n";  // off a progress bar's line
    const std::optional<int> error = runtimeErrorIn(text);
    if (error && !subject_.isEmpty()) {
        complain(title + QStringLiteral(": ") + fileErrorSentence(subject_, *error));
    } else if (error && !device_.isEmpty() && isPortFault(*error)) {
        complain(title + QStringLiteral(": ") + errorSentence(device_, *error));
    } else {
        QString t = text;
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        err() << "quillet-cli: " << title << ": ";
        if (!subject_.isEmpty()) err() << subject_ << "\n";
        err() << t << "\n";
    }
    const int buttons = style & 7;
    if (buttons == kOkOnly) return kOk;
    if (text == messageText(Msg::OverwriteFile))
        err() << uiText(ui::kCliNotOverwritten).arg(subject_.isEmpty() ? uiText(ui::kCliTheFile) : subject_);
    err()
        << uiText(ui::kCliNobodyAnswers).arg(buttons == kYesNo ? uiText(ui::kCliAnswerNo) : uiText(ui::kCancelButton));
    return buttons == kYesNo ? kNo : kCancel;
}

bool openAlone(AppContext& ctx, const QString& file, int& exitCode) {
    const int error = loadDataFile(ctx, file);
    if (error != 0) {
        exitCode = failWith(error, 8, file);
        return false;
    }
    rebuildTimeAxis(ctx.store);
    ctx.store.dataFileName = file;  // the channels belong to it (the report names it)
    return true;
}

QString choosePort(const Arguments& a, QtSerialPort& port) {
    if (a.has("--port") == a.has("--device")) return uiText(text::kOneOfPortAndDevice);
    if (a.has("--device")) {
        const QString device = a.value("--device");
        // A file or a folder is named as what it is, not as a busy port.
        if (QFileInfo::exists(device) && !isSerialDevice(device)) return uiText(text::kNotSerialDevice).arg(device);
        port.setDevicePath(device);
        return {};
    }
    bool ok = false;
    const int n = a.value("--port").toInt(&ok);
    if (!ok || n < 1 || n > 16) return uiText(text::kPortNumber);
    port.setPortNumber(n);
    return {};
}

QString portDeviceName(const Arguments& a) {
    return a.has("--device") ? a.value("--device") : serialDeviceForPort(a.value("--port").toInt());
}

bool rowsOption(const Arguments& a, int& first, int& last) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,5})\\.\\.(\\d{1,5})$"));
    const QRegularExpressionMatch m = form.match(a.value("--rows"));
    if (!m.hasMatch()) {
        complain(uiText(text::kRowsForm));
        return false;
    }
    first = m.captured(1).toInt();
    last = m.captured(2).toInt();
    return true;
}

}  // namespace quillet::cli
