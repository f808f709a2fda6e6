// The archive's back ends behind openArchive(): an SQLite file on this PC
// and a PostgreSQL server shared by several PCs.
#pragma once

#include "archive/archive.h"

namespace quillet::archive {

std::unique_ptr<Archive> openFileArchive(const QString& path, ArchiveFailure& failure, OpenMode mode);
// A libpq connection string ("host=... dbname=...") or URI
// ("postgresql://..."); the schema is made or checked on connecting.
std::unique_ptr<Archive> openServerArchive(const QString& connection, ArchiveFailure& failure);

}  // namespace quillet::archive
