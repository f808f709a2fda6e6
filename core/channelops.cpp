#include "core/channelops.h"

#include "core/context.h"
#include "core/store.h"
#include "core/uitexts.h"

#include <algorithm>

namespace quillet {

bool deleteChannels(AppContext& ctx, int deleteSelection) {
    ChannelStore& s = ctx.store;
    bool deleted = false;
    if (s.channelsInUse > 0) {
        if (deleteSelection == kDeleteAll) {
            clearAllChannels(ctx);
            deleted = true;
        } else if (deleteSelection >= 2 && deleteSelection <= kChannels + 1 &&
                   s.ch[size_t(deleteSelection - 1)].inUse == 1) {
            emptyChannel(ctx, deleteSelection - 1);
            deleted = true;
        }
    }
    if (deleted) {
        if (countChannelsInUse(s) > 0) {
            rebuildAxisAndDisplay(ctx);
        } else {
            s.unsavedRead = 0;
            s.unsavedEdit = 0;
            ctx.view->refreshDisplay();  // empties the time column
        }
        s.currentFileName = defaultFileName(ctx);
        ctx.view->updateCaption();
    }
    ctx.view->updateCommandStates();
    return deleted;
}

bool shiftChannel(ChannelStore& s, int from, int to) {
    if (from < 1 || from > kChannels || to < 1 || to > kChannels || from == to) return false;
    auto first = s.ch.begin();
    auto samples = s.samples.begin();
    if (from < to) {
        // Channels from+1..to each move one place down; from lands on to.
        std::rotate(first + from, first + from + 1, first + to + 1);
        std::rotate(samples + from, samples + from + 1, samples + to + 1);
    } else {
        // Channels to..from-1 each move one place up; from lands on to.
        std::rotate(first + to, first + from, first + from + 1);
        std::rotate(samples + to, samples + from, samples + from + 1);
    }
    return true;
}

ColumnMove moveChannelColumn(AppContext& ctx, int a, int c) {
    ChannelStore& s = ctx.store;
    if (s.channelsInUse <= 0) {
        s.unsavedRead = 0;
        s.unsavedEdit = 0;
        return ColumnMove::kRefused;
    }
    if (a < 2 || a > kChannels + 1 || c < 2 || c > kChannels + 1 || a == c) return ColumnMove::kIgnored;
    shiftChannel(s, a - 1, c - 1);
    rebuildAxisAndDisplay(ctx);  // the refill rewrites the empty-channel letters too
    s.unsavedEdit = 1;
    return ColumnMove::kMoved;
}

const QStringList& dataCommandNames() {
    static const QStringList names = {
        QStringLiteral("mGRAPH"),    QStringLiteral("mFSAVE"),     QStringLiteral("mFSAVEAS"),
        QStringLiteral("mFTEXT"),    QStringLiteral("mFTEXTSAVE"), QStringLiteral("mFCSVSAVE"),
        QStringLiteral("mFPRINT"),   QStringLiteral("mFPREVIEW"),  QStringLiteral("mFPDF"),
        QStringLiteral("mFINSERT"),  QStringLiteral("mCHANNEL"),   QStringLiteral("btnGraph"),
        QStringLiteral("btnSave"),   QStringLiteral("btnPrint"),   QStringLiteral("btnAddCh"),
        QStringLiteral("btnDelCh"),  QStringLiteral("mFTIDYSAVE"), QStringLiteral("mFXLSXSAVE"),
        QStringLiteral("mANALYSIS"), QStringLiteral("mASTATS"),    QStringLiteral("mAREPORT"),
        QStringLiteral("mAPREVIEW"), QStringLiteral("mAPDF"),
    };
    return names;
}

bool dataCommandsEnabled(const ChannelStore& s) { return s.channelsInUse > 0; }

QString deletePopupCaption(int channel) {
    return QStringLiteral("CH:") + channelLetter(channel) + uiText(ui::kDeleteSuffix);
}

}  // namespace quillet
