// Every saved read-out leaves an entry in the trail: the loggers it holds
// and the SHA-256 of its file, after the save's own sink (the archive's
// import) has had it.
#pragma once

#include "datafile/fileops.h"

#include <functional>

namespace quillet::audit {

class ReadoutRecorder : public ReadoutSink {
public:
    // record(object, newValue) writes the entry as the signed-in user.
    using Record = std::function<void(const QString& object, const QString& newValue)>;
    ReadoutRecorder(ReadoutSink* inner, Record record) : inner_(inner), record_(std::move(record)) {}
    QString readoutSaved(AppContext& ctx, const QString& path) override;
    ReadoutSink* inner() const { return inner_; }

private:
    ReadoutSink* inner_;
    Record record_;
};

// The loggers of the store's channels in use: "A 005-012, B 005-012".
QString storeLoggers(const AppContext& ctx);
// The file's SHA-256 in hex, empty when it cannot be read.
QByteArray fileSha256(const QString& path);

}  // namespace quillet::audit
