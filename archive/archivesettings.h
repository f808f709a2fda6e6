// The archive's settings, in a file of their own beside the other settings
// files (qlet7archive.dat, CP932 with CR LF): where the archive is, the
// site label every import carries, and whether saves import at all.
#pragma once

#include "core/records.h"
#include "core/savefile.h"

#include <QString>

namespace quillet::archive {

struct ArchiveSettings {
    QString location;  // empty: the default in the data folder
    QString site;
    bool importOnSave = true;
};

QString archiveSettingsFile(const Folders& folders);
// quillet-archive.sqlite in the data folder.
QString defaultArchiveLocation(const Folders& folders);
// The location to use: the settings' own, else the default.
QString archiveLocation(const ArchiveSettings& s, const Folders& folders);

// A missing or damaged file gives the defaults.
ArchiveSettings loadArchiveSettings(const QString& path);
ArchiveSettings parseArchiveSettings(const QByteArray& bytes);
QByteArray archiveSettingsBytes(const ArchiveSettings& s);  // empty: not CP932
Saved saveArchiveSettings(const ArchiveSettings& s, const QString& path);

}  // namespace quillet::archive
