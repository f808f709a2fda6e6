#include "comm/portsearch.h"

#include "comm/link.h"
#include "comm/serialport.h"
#include "core/catalog.h"
#include "core/context.h"
#include "core/settingsfiles.h"
#include "core/uitexts.h"

namespace quillet {
namespace {

constexpr Caption kCaptionPort = Caption::PortSettings;  // "ポート設定"
constexpr int kPorts = 16;

// A port that is not there or is in use is passed over at once.
bool passedOver(PortFault f) { return f == PortFault::InvalidPort || f == PortFault::InUse; }

// What trying one port came to: the logger answered, it did not (go on), or
// a fault that ends the search.
struct PortTried {
    bool found = false;
    PortFault fault = PortFault::None;
};

PortTried tryPort(AppContext& ctx, int port) {
    SerialPort& serial = *ctx.serial;
    serial.setPortNumber(port);
    for (int attempt = 0; attempt < kRequestAttempts; ++attempt) {
        if (!serial.isOpen()) {
            const PortFault fault = serial.open();
            if (passedOver(fault)) return {};
            if (fault != PortFault::None) return {false, fault};
        }
        ctx.comm->status = Exchange::Accepted;
        const PortFault fault = transmitFrame(ctx, Cmd::Identify, {});
        if (passedOver(fault)) {
            serial.close();
            return {};
        }
        if (fault != PortFault::None) return {false, fault};
        if (receiveAnswer(ctx, Cmd::Identify, Expected{Progress::None}) == Exchange::Accepted) return {true};
        ctx.clock->processEvents();
    }
    if (serial.isOpen()) serial.close();
    return {};
}

}  // namespace

int searchPort(AppContext& ctx) {
    if (showMessage(ctx, kCaptionPort, Msg::PlaceLogger, kOkCancel) != kOk) return 0;
    if (!ctx.serial) return 0;
    SerialPort& serial = *ctx.serial;
    ctx.view->setBusy(true);
    serial.setDtr(true);
    for (int port = 1; port <= kPorts; ++port) {
        const PortTried r = tryPort(ctx, port);
        if (!r.found && r.fault == PortFault::None) continue;
        if (serial.isOpen()) serial.close();
        ctx.view->setBusy(false);
        if (!r.found) {
            showRuntimeError(ctx, portErrorNumber(r.fault), captionText(kCaptionPort), kOkOnly);
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

QString manualPortErrorText(PortFault fault) {
    const QString other = uiText(ui::kChooseAnotherPort);
    if (fault == PortFault::InvalidPort) return uiText(ui::kInvalidPort) + other;
    if (fault == PortFault::InUse) return uiText(ui::kPortInUse) + other;
    return {};
}

bool choosePort(AppContext& ctx, int n) {
    if (!ctx.serial) return false;
    SerialPort& serial = *ctx.serial;
    if (serial.isOpen()) serial.close();
    serial.setPortNumber(n);
    if (const PortFault fault = serial.open(); fault != PortFault::None) {
        if (passedOver(fault))
            ctx.messages->show(captionText(Caption::Program), manualPortErrorText(fault), kOkOnly);
        else
            showRuntimeError(ctx, portErrorNumber(fault), captionText(kCaptionPort), kOkOnly);
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
