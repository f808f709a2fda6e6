// What the archive subcommands share: the archive of --db, the period of
// --from and --to, and an archive failure on stderr (archive_cmd.cpp).
#pragma once

#include "archive/archive.h"
#include "archive/series.h"
#include "tools/cli/cli.h"

#include <memory>

namespace quillet::cli {

// The archive of --db, else the user's configured one; nullptr after the
// reason on stderr.
std::unique_ptr<archive::Archive> openFromOptions(const AppContext& ctx, const Arguments& a,
                                                  archive::OpenMode mode = archive::OpenMode::Existing);
// The failure on stderr; kExitFailed.
int archiveFailed(const archive::ArchiveFailure& f, const archive::Archive& archive);
// --from and --to as local days (yyyy-mm-dd); false after the usage line.
bool periodFromOptions(const Arguments& a, archive::Period& p);

}  // namespace quillet::cli
