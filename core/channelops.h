// Operations of the main window on whole channels: deleting, moving a
// channel to another column, the letters of the empty channels and which
// commands need data. Headless: the window forwards its events here and
// is told what to redraw through ctx.view.
#pragma once

#include "core/records.h"

#include <QString>
#include <QStringList>

namespace quillet {

struct AppContext;

// deleteSelection: 0 = all channels, 2..9 = the data-grid column of one
// channel (channel + 1).
constexpr int kDeleteAll = 0;

// Deletes without asking. Only when a channel is in use and the selection
// names all channels or a channel in use; returns whether anything was
// deleted. Afterwards the axis and grids are rebuilt when channels remain,
// otherwise both unsaved flags are cleared; currentFileName goes back to
// test.ql6 in the data folder with the caption, and the command states and
// empty-channel letters are renewed in every case.
bool deleteChannels(AppContext& ctx, int deleteSelection);

// Moves channel from (1..8) to channel to (1..8) in the store: the moved
// channel's record and samples are set aside, the channels in between move
// one place toward from's place, and the set-aside channel becomes channel
// to. Empty channels move like the others. Returns false (and changes
// nothing) for channels outside 1..8 or from == to.
bool shiftChannel(ChannelStore& s, int from, int to);

enum class ColumnMove {
    kMoved,    // the store was changed
    kRefused,  // no channel in use: the column goes back, the unsaved flags are cleared
    kIgnored,  // not a move of one channel column onto another
};
// The user dropped data-grid column a at position c. Columns 2..9 only;
// a move rewrites the empty-channel letters, rebuilds the axis and grids
// and sets unsavedEdit = 1.
ColumnMove moveChannelColumn(AppContext& ctx, int a, int c);

// Object names of the commands that need data (menu entries, sub-menus and
// toolbar buttons); they are enabled exactly when a channel is in use.
const QStringList& dataCommandNames();
bool dataCommandsEnabled(const ChannelStore& s);

// Caption of the header pop-up entry of channel ch: "CH:", letter, " 削除".
QString deletePopupCaption(int channel);

}  // namespace quillet
