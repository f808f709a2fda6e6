// Command line of quillet-logger-sim (see docs/simulator.md).
#pragma once

#include "tools/sim/device.h"

#include <QString>
#include <QStringList>

namespace quillet::sim {

struct ServerOptions {
    Config config;
    bool paced = false;  // send at the line's speed instead of at once
    int baud = 4800;
    int delayMs = 20;   // pause between a request and the first character of its answer
    bool echo = false;  // every character received goes straight back, ahead of any answer
    QString link;       // path of a symbolic link to the serial device, or empty
    QString port;       // an existing serial port to serve instead of a pseudo-terminal, or empty
    QString logFile;    // every received frame is logged here, or empty
};

enum class ParseResult { Ok, Help, Error };

// Parses the arguments (arguments[0] is the program). On Help, message is
// the usage text; on Error, a one-line explanation. A records file named by
// --records-file is read here, into config.rawRecords1/2.
ParseResult parseOptions(const QStringList& arguments, ServerOptions& out, QString& message);

}  // namespace quillet::sim
