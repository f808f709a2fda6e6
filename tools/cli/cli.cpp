#include "tools/cli/cli.h"

#include "core/catalog.h"
#include "core/store.h"
#include "datafile/fileops.h"

namespace quillet::cli {

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}

QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

int failWith(int error, int captionNo, const QString& file) {
    QString text = runtimeErrorMessage(error);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    err() << "quillet-cli: " << captionText(captionNo) << ": " << file << "\n" << text << "\n";
    err().flush();
    return kExitFailed;
}

bool openAlone(AppContext& ctx, const QString& file, int& exitCode) {
    const int error = loadDataFile(ctx, file);
    if (error != 0) {
        exitCode = failWith(error, 8, file);
        return false;
    }
    rebuildTimeAxis(ctx.store);
    return true;
}

}  // namespace quillet::cli
