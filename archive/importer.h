// Importing data files into the archive: one file, a set of files and
// folders with a summary, and the import right after a read-out is saved.
#pragma once

#include "archive/archive.h"
#include "archive/readoutfile.h"
#include "datafile/fileops.h"

#include <QStringList>

#include <functional>

namespace quillet::archive {

// The data files among paths: files as given, folders searched through
// (their subfolders too) for the data file layouts; sorted, each once.
QStringList dataFilesUnder(const QStringList& paths);

struct FileImport {
    ImportResult result;
    QString why;  // the failure in words, empty when none
};
FileImport importFile(Archive& archive, const QString& path, const ImportOrigin& origin);

struct ImportSummary {
    int filesNew = 0;
    int filesKnown = 0;
    int filesFailed = 0;
    ImportCounts samples;
    std::vector<std::pair<QString, QString>> failures;  // file, why
};
// Imports files in order. progress(done, total, file) before each file;
// false from it stops (the files done so far stay imported).
using ImportProgress = std::function<bool(int done, int total, const QString& file)>;
ImportSummary importFiles(Archive& archive, const QStringList& files, const ImportOrigin& origin,
                          const ImportProgress& progress = {});
// The summary in words, a line each (files, samples, failures).
QString summaryText(const ImportSummary& s);

// A failure of the archive in words (the location named where it helps).
QString failureText(const ArchiveFailure& f, const QString& location);
// Why a file could not become a read-out, in words.
QString fileProblemText(const FileReadout& r);

// The import of every saved read-out: the data file is written first;
// then this imports it into the archive of the user's settings. A failing
// archive never undoes or blocks the save: the status bar's word says so.
// With a shared server in the settings, the read-out goes into this PC's
// own archive (the SQLite file of the data folder) and from there to the
// server when it can be reached; what waits is pushed at the next chance.
class ArchiveOnSave : public ReadoutSink {
public:
    explicit ArchiveOnSave(const Folders& folders) : folders_(folders) {}
    QString readoutSaved(AppContext& ctx, const QString& path) override;
    // Pushes what waits for the server (at start); the word for the status
    // bar, empty when nothing waits or no server is set.
    QString pushWaiting();

private:
    Archive* opened(std::unique_ptr<Archive>& slot, const QString& location, ArchiveFailure& failure);

    const Folders& folders_;
    std::unique_ptr<Archive> archive_;
    std::unique_ptr<Archive> server_;
};

}  // namespace quillet::archive
