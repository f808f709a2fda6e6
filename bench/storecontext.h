// A context holding the benchmarks' full store, with a data folder of its
// own, message boxes that answer OK and file dialogs that name one file:
// the file commands run on it without a window.
#pragma once

#include "bench/fullstore.h"
#include "core/context.h"
#include "datafile/fileops.h"

#include <QTemporaryDir>

namespace quillet::bench {

class AlwaysOk : public MessageBoxes {
public:
    int show(const QString&, const QString&, int) override { return kOk; }
};

class FixedDialogs : public FileDialogs {
public:
    std::optional<QString> openFile(const FileDialogRequest&) override { return name; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return name; }
    QString name;
};

struct FullStoreContext {
    FullStoreContext() {
        ctx.messages = &messages;
        ctx.dialogs = &dialogs;
        ctx.folders.dataFolder = dir.path() + QStringLiteral("/");
        fillFullStore(ctx.store);
        ctx.store.currentFileName = dir.path() + QStringLiteral("/full.ql6");
    }
    // Saves the store as full.ql6, which the open dialog then names.
    void save() {
        runFileOperation(ctx, kOverwriteSave);
        dialogs.name = ctx.store.currentFileName;
    }

    QTemporaryDir dir;
    AlwaysOk messages;
    FixedDialogs dialogs;
    AppContext ctx;
};

}  // namespace quillet::bench
