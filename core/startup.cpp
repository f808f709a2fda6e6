#include "core/startup.h"

#include "core/savefile.h"

#include "core/catalog.h"
#include "core/context.h"
#include "core/settingsfiles.h"
#include "core/store.h"
#include "core/vb.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace quillet {
namespace {

QString withSeparator(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// base + "/ORVELL/Quillet7", created when missing.
QString programFolderUnder(const QString& base) {
    const QString folder = withSeparator(base) + QStringLiteral("ORVELL/Quillet7");
    QDir().mkpath(folder);
    return folder;
}

}  // namespace

LayoutValues layoutForScreen(int width, int height) {
    LayoutValues l;
    if (width >= 1280) {
        if (height >= 1024)
            l = {1280, 980, 18, 0, 0};
        else
            l = {1024, 680, 11, 0, 0};
    } else {
        if (height >= 600)
            l = {800, 600, 10, 0, 0};
        else
            l = {640, 480, 8, 0, 0};
    }
    l.lineTwips = l.fontSize * 15;
    l.rowTwips = int(vb::cint(l.lineTwips * 1.5));
    return l;
}

Folders buildFolders(const QString& appDataBase, const QString& documentsBase, const QString& programFolder) {
    Folders f;
    f.settingsFolder = programFolderUnder(appDataBase);
    f.documentsFolder = programFolderUnder(documentsBase);
    f.dataFolder = withSeparator(f.documentsFolder);
    f.settingsFile = withSeparator(f.settingsFolder) + QStringLiteral("qlet7.dat");
    f.timingFile = withSeparator(f.settingsFolder) + QStringLiteral("qlet7time.dat");
    f.debugFile = withSeparator(f.settingsFolder) + QStringLiteral("qlot7debug.dat");
    f.numberFolder = withSeparator(f.documentsFolder) + QStringLiteral("number");
    f.dateFolder = withSeparator(f.documentsFolder) + QStringLiteral("date");
    // Our help is HTML beside the program (no compiled help on Linux).
    f.helpFile = withSeparator(programFolder) + QStringLiteral("QuilletHelp_jpn.html");
    return f;
}

Folders standardFolders() {
    const QString appData = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString program = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return buildFolders(appData, documents, program);
}

void startUp(AppContext& ctx, const Folders& folders) {
    ctx.general.comPort = 1;
    ctx.folders = folders;
    loadGeneralSettings(ctx.general, folders.settingsFile);
    // The graph starts anew from the bounds the general settings hold.
    ctx.graph.reset();
    loadTimingSettings(ctx.timing, folders.timingFile);
    loadDebugSettings(ctx.debug, folders.debugFile);
    ctx.store.currentFileName = defaultFileName(ctx);
    for (int ch = 1; ch <= kSlots; ++ch) ctx.store.ch[ch].inUse = 0;
    ctx.store.channelsInUse = 0;
}

bool requestShutdown(AppContext& ctx, const std::function<bool()>& save) {
    bool close = true;
    if (holdsUnsavedData(ctx.store)) {
        const int answer = showMessage(ctx, Caption::Program, Msg::UnsavedLoggerData, kYesNoCancel | kIconQuestion);
        close = answer == kNo || (answer == kYes && save && save());
    }
    // Written whatever the answer; a failure (the old files stay) is told
    // but must not stop the exit.
    const Saved timing = saveTimingSettings(ctx.timing, ctx.folders.timingFile);
    const Saved debug = saveDebugSettings(ctx.debug, ctx.folders.debugFile);
    if (!timing || !debug)
        showRuntimeError(ctx, runtimeErrorOf(timing ? debug.error : timing.error), captionText(Caption::SaveFile),
                         kOkOnly);
    return close;
}

}  // namespace quillet
