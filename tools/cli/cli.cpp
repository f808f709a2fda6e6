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

#include <cerrno>
#include <cstdio>

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

bool stderrIsTerminal() {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return ::isatty(STDERR_FILENO) != 0;
#endif
}

namespace {

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
    err() << "quillet-cli: " << captionText(Caption::LoggerSettings) << ": " << messageText(Msg::WritingErasesMemory)
          << "\nquillet-cli: the logger holds " << records
          << " records that were not read; writing would erase them, so no setting was sent (--force writes "
             "anyway)\n";
    return kExitFailed;
}

bool standardOutputWritten() {
    out().flush();
    const auto* device = qobject_cast<const QFileDevice*>(out().device());
    const bool failed = out().status() != QTextStream::Ok || std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    if (failed) {
        err() << "quillet-cli: standard output could not be written";
        if (device && device->error() != QFileDevice::NoError) err() << " (" << device->errorString() << ")";
        err() << "\n";
        err().flush();
    }
    return !failed;
}

int failWith(int error, int captionNo, const QString& file) {
    QString text = runtimeErrorMessage(error);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    err() << "quillet-cli: " << captionText(captionNo) << ": " << file << "\n" << text << "\n";
    if (const QString why = fileStateText(file, error); !why.isEmpty())
        err() << "quillet-cli: " << file << ": " << why << "\n";
    err().flush();
    return kExitFailed;
}

int TerminalMessages::show(const QString& title, const QString& text, int style) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    err() << "\nquillet-cli: " << title << ": ";
    if (!subject_.isEmpty()) err() << subject_ << "\n";
    err() << t << "\n";
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
    if (a.has("--port") == a.has("--device")) return QStringLiteral("give one of --port N and --device PATH");
    if (a.has("--device")) {
        const QString device = a.value("--device");
        // A file or a folder is named as what it is, not as a busy port.
        if (QFileInfo::exists(device) && !isSerialDevice(device))
            return device + QStringLiteral(": not a serial device");
        port.setDevicePath(device);
        return {};
    }
    bool ok = false;
    const int n = a.value("--port").toInt(&ok);
    if (!ok || n < 1 || n > 16) return QStringLiteral("--port takes a number 1..16");
    port.setPortNumber(n);
    return {};
}

bool rowsOption(const Arguments& a, int& first, int& last) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,5})\\.\\.(\\d{1,5})$"));
    const QRegularExpressionMatch m = form.match(a.value("--rows"));
    if (!m.hasMatch()) {
        err() << "quillet-cli: --rows takes FIRST..LAST, two row numbers (for example 1..100)\n";
        return false;
    }
    first = m.captured(1).toInt();
    last = m.captured(2).toInt();
    return true;
}

}  // namespace quillet::cli
