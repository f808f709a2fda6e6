#include "core/ui/deletechannelsdialog.h"

#include "core/catalog.h"
#include "core/channelops.h"
#include "core/store.h"
#include "core/uitexts.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace quillet {

DeleteChannelsDialog::DeleteChannelsDialog(AppContext& ctx, std::function<void(int)> mark, QWidget* parent)
    : QDialog(parent), ctx_(ctx), mark_(std::move(mark)) {
    setObjectName(QStringLiteral("frmDEL"));
    setWindowTitle(captionText(Caption::DeleteChannels));
    setModal(true);

    Frame1 = new QGroupBox(uiText(ui::kDeleteChannelHeader), this);
    auto* grid = new QGridLayout(Frame1);
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 9; ++i) {
        const QString caption = i < kChannels ? channelLetter(i + 1) : uiText(ui::kDeleteAllEntry);
        Option1[size_t(i)] = new QRadioButton(caption, Frame1);
        Option1[size_t(i)]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        group->addButton(Option1[size_t(i)], i);
        if (i < kChannels)
            grid->addWidget(Option1[size_t(i)], i / 4, i % 4);
        else
            grid->addWidget(Option1[size_t(i)], 2, 0, 1, 4);
        connect(Option1[size_t(i)], &QRadioButton::clicked, this, [this, i] { onChannelChosen(i); });
    }

    auto* buttons = new QHBoxLayout;
    const QString captions[2] = {QStringLiteral("Ok"), QStringLiteral("Cancel")};
    for (int i = 0; i < 2; ++i) {
        delbutton[size_t(i)] = new QPushButton(captions[i], this);
        delbutton[size_t(i)]->setObjectName(QStringLiteral("delbutton_%1").arg(i));
        delbutton[size_t(i)]->setAutoDefault(false);
        buttons->addWidget(delbutton[size_t(i)]);
        connect(delbutton[size_t(i)], &QPushButton::clicked, this, [this, i] { onButtonClicked(i); });
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);

    // Loading: empty channels cannot be chosen; the lowest channel in use is
    // preselected and marked (no button is checked yet).
    for (int ch = 1; ch <= kChannels; ++ch) Option1[size_t(ch - 1)]->setEnabled(ctx_.store.ch[size_t(ch)].inUse == 1);
    const int first = [&] {
        for (int ch = 1; ch <= kChannels; ++ch)
            if (ctx_.store.ch[size_t(ch)].inUse == 1) return ch;
        return 0;
    }();
    deleteSelection_ = first > 0 ? first + 1 : kDeleteAll;
    if (mark_) mark_(deleteSelection_);
}

void DeleteChannelsDialog::onChannelChosen(int index) {
    if (index < 0 || index > 8) return;
    Option1[size_t(index)]->setChecked(true);  // the other buttons uncheck themselves
    deleteSelection_ = index == 8 ? kDeleteAll : index + 2;
    if (mark_) mark_(deleteSelection_);
}

void DeleteChannelsDialog::onButtonClicked(int index) {
    if (index == 0) {
        const int messageNo = deleteSelection_ == kDeleteAll ? 0 : deleteSelection_ - 1;
        if (showMessage(ctx_, Caption::DeleteChannels, Msg(messageNo), kOkCancel) == kOk)
            deleteChannels(ctx_, deleteSelection_);
        if (mark_) mark_(-1);
        accept();
        return;
    }
    reject();
}

void DeleteChannelsDialog::reject() {
    if (mark_) mark_(-1);
    QDialog::reject();
}

}  // namespace quillet
