#include "audit/programrecords.h"

#include "archive/archivesettings.h"

namespace quillet::audit {

using archive::ArchiveError;
using archive::ArchiveFailure;

RecordsOrigin ProgramRecords::origin() {
    RecordsOrigin o = thisComputerOrigin();
    if (qEnvironmentVariableIsSet("QUILLET_TEST_PASSWORD_COST")) o.cost = testPasswordCost();
    return o;
}

RecordsFound findRecords(archive::Archive& a, const QString& settingsFolder, std::optional<Records>& records,
                         QString& why) {
    records.reset();
    ArchiveFailure f;
    if (!modeIsOn(a, f)) {
        if (!f) return RecordsFound::Off;
        why = f.detail;
        return RecordsFound::Failed;
    }
    const QByteArray keyId = keyIdOf(a, f);
    const std::optional<ChainKey> key = loadKey(settingsFolder, keyId, why);
    if (!key) return RecordsFound::NoKey;
    records.emplace(a, *key, ProgramRecords::origin());
    return RecordsFound::On;
}

ProgramRecords::Opened ProgramRecords::open(QString& why) {
    records_.reset();
    user_.reset();
    const QString location =
        archive::archiveLocation(archive::loadArchiveSettings(archive::archiveSettingsFile(folders_)), folders_);
    if (archive::holdsPassword(location)) return Opened::Off;
    ArchiveFailure f;
    archive_ = archive::openArchive(location, f, archive::OpenMode::Existing);
    if (!archive_) {
        if (f.error == ArchiveError::NotThere) return Opened::Off;
        why = f.detail;
        return Opened::Failed;
    }
    return findRecords(*archive_, folders_.settingsFolder, records_, why);
}

void ProgramRecords::switchedOn(std::unique_ptr<archive::Archive> archive, const ChainKey& key, const User& admin) {
    records_.reset();
    archive_ = std::move(archive);
    records_.emplace(*archive_, key, origin());
    user_ = admin;
}

ArchiveFailure ProgramRecords::record(const char* action, const QString& object, const QString& oldValue,
                                      const QString& newValue, const QString& reason) {
    if (!records_) return {};
    return records_->record(
        {0, 0, {}, user_ ? user_->id : QString(), QLatin1String(action), object, oldValue, newValue, reason, {}});
}

}  // namespace quillet::audit
