#include "comm/portsearch.h"

#include "comm/link.h"
#include "comm/serialport.h"
#include "core/catalog.h"
#include "core/context.h"
#include "core/settingsfiles.h"

namespace quillet {
namespace {

constexpr Caption kCaptionPort = Caption::PortSettings;  // "ポート設定"
constexpr int kPorts = 16;

// One port: 0 found, 1 not found (go on), or a run-time error number that
// ends the search.
int tryPort(AppContext& ctx, int port) {
    SerialPort& serial = *ctx.serial;
    serial.setPortNumber(port);
    for (int attempt = 0; attempt < kRequestAttempts; ++attempt) {
        if (!serial.isOpen()) {
            const int err = serial.open();
            if (err == kErrInvalidPort || err == kErrPortOpen) return 1;  // skip at once
            if (err != 0) return err;
        }
        ctx.comm->status = Exchange::Accepted;
        const int err = transmitFrame(ctx, Cmd::Identify, {});
        if (err == kErrInvalidPort || err == kErrPortOpen) {
            serial.close();
            return 1;
        }
        if (err != 0) return err;
        if (receiveAnswer(ctx, Cmd::Identify, kProgressNone) == Exchange::Accepted) return 0;
        ctx.clock->processEvents();
    }
    if (serial.isOpen()) serial.close();
    return 1;
}

}  // namespace

int searchPort(AppContext& ctx) {
    if (showMessage(ctx, kCaptionPort, Msg::PlaceLogger, kOkCancel) != kOk) return 0;
    if (!ctx.serial) return 0;
    SerialPort& serial = *ctx.serial;
    ctx.view->setBusy(true);
    serial.setDtr(true);
    for (int port = 1; port <= kPorts; ++port) {
        const int r = tryPort(ctx, port);
        if (r == 1) continue;
        if (serial.isOpen()) serial.close();
        ctx.view->setBusy(false);
        if (r != 0) {
            showRuntimeError(ctx, r, captionText(kCaptionPort), kOkOnly);
            serial.setPortNumber(ctx.general.comPort);
            return 0;
        }
        ctx.general.comPort = int16_t(port);
        serial.setPortNumber(port);
        saveGeneralSettings(ctx.general, ctx.folders.settingsFile);
        showPortEstablished(ctx, kCaptionPort, kOkOnly);
        return port;
    }
    if (serial.isOpen()) serial.close();
    ctx.view->setBusy(false);
    showMessage(ctx, kCaptionPort, Msg::NoPortFound, kOkOnly);
    serial.setPortNumber(1);  // for this session; comPort stays as saved
    return 0;
}

QString manualPortErrorText(int errorNo) {
    const QString other = QStringLiteral("\r\n他のポートを指定してください。");
    if (errorNo == kErrInvalidPort) return QStringLiteral("無効なポートが指定されました。") + other;
    if (errorNo == kErrPortOpen) return QStringLiteral("指定したポートはすでに使用されています。") + other;
    return {};
}

bool choosePort(AppContext& ctx, int n) {
    if (!ctx.serial) return false;
    SerialPort& serial = *ctx.serial;
    if (serial.isOpen()) serial.close();
    serial.setPortNumber(n);
    const int err = serial.open();
    if (err != 0) {
        if (err == kErrInvalidPort || err == kErrPortOpen)
            ctx.messages->show(captionText(Caption::Program), manualPortErrorText(err), kOkOnly);
        else
            showRuntimeError(ctx, err, captionText(kCaptionPort), kOkOnly);
        serial.setPortNumber(ctx.general.comPort);
        return false;
    }
    serial.close();
    ctx.general.comPort = int16_t(n);
    serial.setPortNumber(n);
    saveGeneralSettings(ctx.general, ctx.folders.settingsFile);
    return true;
}

}  // namespace quillet
