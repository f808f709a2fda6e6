// The graph options shared by quillet-cli graph and print --graph: ranges,
// labels, line width and reference lines, checked as the range and
// reference-line dialogs check them.
#pragma once

#include "core/records.h"
#include "graph/graphfile.h"
#include "graph/graphstate.h"
#include "tools/cli/cli.h"

namespace quillet::cli {

// "--x", "--temp", "--humid", "--ref-temp", "--ref-humid"; "--labels", "--thick".
QStringList graphValueOptions();
QStringList graphFlagOptions();
// The options' part of --help.
QString graphOptionsSynopsis();

// "LOW..HIGH" or "WIDTHxHEIGHT": two whole numbers, either may be negative
// ("NaN", "inf", "1.5" and "1e3" are none).
bool parsePair(const QString& text, const QString& separator, int& low, int& high);

// The range of option (given) as two whole numbers LOW..HIGH, in any order.
// False, after saying so on stderr (exitCode set), for any other text.
bool wholeRange(const Arguments& a, const char* option, int& low, int& high, int& exitCode);

// The graph as a new graph window starts it (automatic ranges) with the
// options applied, before any file is read. False after a refused option
// (reported, exitCode set).
bool graphStateFromOptions(const Arguments& a, const GraphState& current, GraphState& g, int& exitCode);

// A picture that was not written, on stderr naming target; kExitFailed.
int pictureFailed(const PictureWritten& written, const QString& target);

// --size WIDTHxHEIGHT (given) of graph and archive trend; false after the
// reason on stderr.
bool pictureSize(const Arguments& a, QSize& size);

}  // namespace quillet::cli
