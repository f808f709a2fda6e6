// Electronic records in the program: sign-in at start and after the idle
// time, the signed-in user's role before every command, the trail's entries
// (read-outs, settings writes, changed settings with their reasons, data
// files that no longer match the archive), the signatures of a report, and
// the archive menu's "監査証跡" and "電子記録モード".
#pragma once

#include "analysis/reportprint.h"
#include "audit/programrecords.h"
#include "core/platform.h"

#include <memory>

class QWidget;

namespace quillet {
class MainWindow;
class ReadoutSink;
}  // namespace quillet

namespace quillet::audit {

// Opens the records of the user's archive and, in the mode, signs a user in
// (asked until one is, or Cancel). False when the program must end: nobody
// signed in, or this PC has no key for the archive's trail (said).
bool signInAtStart(AppContext& ctx, ProgramRecords& records, QWidget* parent);

// The menu commands, the guard, the idle time and the trail's entries.
// archiveOnSave: the save's sink the read-outs go through first.
void wireRecords(MainWindow& window, AppContext& ctx, ProgramRecords& records, ReadoutSink* archiveOnSave);

// A report's signatures: before a print or a PDF the signature dialog, the
// boxes and the trail's head; before a preview the boxes only.
std::shared_ptr<ReportSignOff> reportSignOff(AppContext& ctx, ProgramRecords& records, QWidget* parent);

}  // namespace quillet::audit
