#include "loggerset/ui/readoutparameterswindow.h"
#include "core/loggermodels.h"

#include "core/catalog.h"
#include "core/ui/okcancel.h"
#include "core/uitexts.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quillet {
namespace {

// The value labels in the order of the window's rows; a row with two values
// (records / errors, upper / lower alarm) has a second name.
struct ValueRow {
    const char16_t* title;
    const char* name;
    QString ReadoutParameterChannelTexts::*text;
    const char* name2 = nullptr;
    QString ReadoutParameterChannelTexts::*text2 = nullptr;
};

const ValueRow kRows[] = {
    {ui::kCardTestNumbers, "Rctnoval", &ReadoutParameterChannelTexts::ctno},
    {ui::kStartTime, "Rstarttimeval", &ReadoutParameterChannelTexts::startTime},
    {ui::kEndTime, "Rendtimeval", &ReadoutParameterChannelTexts::endTime},
    {ui::kInterval, "Rinterval", &ReadoutParameterChannelTexts::interval},
    {ui::kRecordMode, "Rrectypeval", &ReadoutParameterChannelTexts::recordMode},
    {ui::kMeasuringRange, "Rrangeval", &ReadoutParameterChannelTexts::range},
    {ui::kRecordsErrors, "Rdatacountval", &ReadoutParameterChannelTexts::dataCount, "Rerrorcountval",
     &ReadoutParameterChannelTexts::errorCount},
    {ui::kMaximum, "Rmaxval", &ReadoutParameterChannelTexts::maxValue},
    {ui::kMinimum, "Rminval", &ReadoutParameterChannelTexts::minValue},
    {ui::kAverage, "Ravgval", &ReadoutParameterChannelTexts::averageValue},
    {ui::kIntegrated, "Rsekival", &ReadoutParameterChannelTexts::integrated},
    {ui::kReference, "Rbaseval", &ReadoutParameterChannelTexts::reference},
    {ui::kAlarmValues, "Rhalmval", &ReadoutParameterChannelTexts::upperAlarm, "Rlalmval",
     &ReadoutParameterChannelTexts::lowerAlarm},
};
constexpr int kRecordModeRow = 4;

// OK on a logger that holds no records.
const QString kNothingToRead = uiText(ui::kNothingToReadText);

// The value labels in one flat list: the rows above, second names after
// their first.
struct ValueSlot {
    const char* name;
    QString ReadoutParameterChannelTexts::*text;
};
std::vector<ValueSlot> valueSlots() {
    std::vector<ValueSlot> out;
    for (const ValueRow& r : kRows) {
        out.push_back({r.name, r.text});
        if (r.name2) out.push_back({r.name2, r.text2});
    }
    return out;
}

// A value label; the two labels of a paired row share the width of one.
QLabel* valueLabelFor(const QString& name, int channel, QWidget* parent, bool paired) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setProperty("index", channel);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    const int full = l->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00  "));
    l->setMinimumWidth(paired ? full / 2 : full);
    return l;
}

void setTextColour(QWidget* w, const QColor& colour) {
    if (!colour.isValid()) return;
    // Active and inactive only: disabled options keep their greyed look.
    QPalette pal = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::WindowText, colour);
        pal.setColor(group, QPalette::ButtonText, colour);
    }
    w->setPalette(pal);
}

}  // namespace

ReadoutParametersWindow::ReadoutParametersWindow(AppContext& ctx, std::function<void(Destinations)> startTransfer,
                                                 QWidget* parent)
    : QDialog(parent), ctx_(ctx), startTransfer_(std::move(startTransfer)) {
    setObjectName(QStringLiteral("LOGPARALIST"));
    setWindowTitle(captionText(Caption::LoggerRead));  // ui::kReadLoggerWords
    setModal(true);
    setFont(parent ? parent->window()->font() : QApplication::font());

    texts_ = readoutParameterTexts(ctx_);
    choice_ = initialStorageChoice(ctx_.store, isTwoChannelModel(ctx_.pendingLogger->loggerModel));

    auto* channelsBox = new QHBoxLayout;
    channelsBox->addWidget(buildChannel(1), 0, Qt::AlignTop);
    channelsBox->addWidget(buildChannel(2), 0, Qt::AlignTop);
    channelsBox->addStretch(1);

    auto* storage = new QGroupBox(uiText(ui::kStoreChannel), this);
    storage->setObjectName(QStringLiteral("storageChannels"));
    auto* storageBox = new QVBoxLayout(storage);
    storageBox->addWidget(buildStorageRow(1));
    storageBox->addWidget(buildStorageRow(2));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    commands_ = addOkCancel(this, QStringLiteral("Command1"), buttons, [this](int i) { onButtonClicked(i); });
    commands_[0]->setDefault(true);

    auto* top = new QVBoxLayout(this);
    top->addLayout(channelsBox);
    top->addWidget(storage);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    showTexts();
    showStorageChoice();
}

QGroupBox* ReadoutParametersWindow::buildChannel(int channel) {
    ChannelControls& cc = channels_[size_t(channel)];
    cc.frame = new QGroupBox(this);
    cc.frame->setObjectName(QStringLiteral("Rscale"));
    cc.frame->setProperty("index", channel);
    auto* grid = new QGridLayout(cc.frame);
    int slot = 0;
    int row = 0;
    for (const ValueRow& r : kRows) {
        auto* title = new QLabel(uiText(r.title), cc.frame);
        if (row == kRecordModeRow) {
            title->setObjectName(QStringLiteral("Rrectypetitle"));
            title->setProperty("index", channel);
            cc.recordModeTitle = title;
        }
        grid->addWidget(title, row, 0);
        QLabel* first = valueLabelFor(QString::fromLatin1(r.name), channel, cc.frame, r.name2 != nullptr);
        cc.values[size_t(slot++)] = first;
        if (r.name2) {
            QLabel* second = valueLabelFor(QString::fromLatin1(r.name2), channel, cc.frame, true);
            cc.values[size_t(slot++)] = second;
            grid->addWidget(first, row, 1);
            grid->addWidget(second, row, 2);
        } else {
            grid->addWidget(first, row, 1, 1, 2);
        }
        ++row;
    }
    return cc.frame;
}

QGroupBox* ReadoutParametersWindow::buildStorageRow(int row) {
    StorageRow& sr = rows_[size_t(row)];
    sr.frame = new QGroupBox(this);
    sr.frame->setObjectName(row == 1 ? QStringLiteral("Dropchlist") : QStringLiteral("Dropchlist2"));
    auto* box = new QHBoxLayout(sr.frame);
    // The choice is kept in choice_; the group only keeps one option checked.
    auto* group = new QButtonGroup(sr.frame);
    for (int i = 1; i <= kChannels; ++i) {
        auto* o = new QRadioButton(QString(QChar(u'A' + (i - 1))), sr.frame);
        o->setObjectName(row == 1 ? QStringLiteral("Dropch") : QStringLiteral("Dropch2"));
        o->setProperty("index", i);
        group->addButton(o, i);
        box->addWidget(o);
        sr.options[size_t(i)] = o;
        connect(o, &QRadioButton::clicked, this, [this, row, i] {
            if (row == 1)
                onChannel1StorageChosen(i);
            else
                onChannel2StorageChosen(i);
        });
    }
    box->addStretch(1);
    return sr.frame;
}

void ReadoutParametersWindow::showTexts() {
    const std::vector<ValueSlot> names = valueSlots();
    for (int c = 1; c <= 2; ++c) {
        ChannelControls& cc = channels_[size_t(c)];
        const ReadoutParameterChannelTexts& t = texts_.ch[size_t(c)];
        cc.frame->setTitle(t.frameCaption);
        for (size_t k = 0; k < names.size(); ++k) cc.values[k]->setText(t.*(names[k].text));
        cc.recordModeTitle->setVisible(texts_.recordModeShown);
        cc.values[kRecordModeRow]->setVisible(texts_.recordModeShown);
        rows_[size_t(c)].frame->setTitle(t.storageCaption);
    }
    channels_[2].frame->setVisible(texts_.secondShown);
    rows_[2].frame->setVisible(texts_.secondShown);
    setTextColour(channels_[2].frame, texts_.secondColour);
    setTextColour(rows_[2].frame, texts_.secondColour);
}

void ReadoutParametersWindow::showStorageChoice() {
    for (int row = 1; row <= 2; ++row) {
        const int current = row == 1 ? choice_.first : choice_.second;
        const auto& enabled = row == 1 ? choice_.firstEnabled : choice_.secondEnabled;
        for (int i = 1; i <= kChannels; ++i) {
            QRadioButton* o = rows_[size_t(row)].options[size_t(i)];
            o->setEnabled(enabled[size_t(i)]);
            if (i == current) o->setChecked(true);
        }
    }
}

void ReadoutParametersWindow::onChannel1StorageChosen(int channel) {
    pickStorage(choice_, 1, channel);
    showStorageChoice();
}

void ReadoutParametersWindow::onChannel2StorageChosen(int channel) {
    pickStorage(choice_, 2, channel);
    showStorageChoice();
}

void ReadoutParametersWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (warned_) return;
    warned_ = true;
    const QString warning = readAlarmWarning(ctx_.pendingLogger);
    if (!warning.isEmpty()) ctx_.messages->show(QString::fromUtf16(kReadAlarmTitle), warning, kOkOnly | kIconError);
}

void ReadoutParametersWindow::onButtonClicked(int index) {
    if (transferring_) return;
    // A logger without records: OK says so rather than closing unexplained.
    if (index == 0 && ctx_.pendingLogger->ch[1].sampleCount < 1)
        ctx_.messages->show(captionText(Caption::LoggerRead), kNothingToRead, kOkOnly | kIconInformation);
    if (index != 0 || !readyToTransfer(ctx_.pendingLogger, choice_)) {
        cancel();
        return;
    }
    const Destinations to = destinationsOf(ctx_.pendingLogger, choice_);
    transferring_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setEnabled(false);
    if (startTransfer_) startTransfer_(to);
    setEnabled(true);
    QApplication::restoreOverrideCursor();
    transferring_ = false;
    // The window closes after the transfer whatever its result (a cancelled
    // transfer too: the window must not stay behind disabled).
    QDialog::accept();
}

void ReadoutParametersWindow::cancel() {
    ctx_.comm->status = Exchange::Faulty;
    QDialog::reject();
}

void ReadoutParametersWindow::reject() {
    // The transfer closes the window itself once it returns.
    if (transferring_) return;
    cancel();
}

QLabel* ReadoutParametersWindow::valueLabel(const QString& name, int channel) const {
    if (channel != 1 && channel != 2) return nullptr;
    for (QLabel* l : channels_[size_t(channel)].values)
        if (l && l->objectName() == name) return l;
    return nullptr;
}

QLabel* ReadoutParametersWindow::recordModeTitle(int channel) const {
    return (channel == 1 || channel == 2) ? channels_[size_t(channel)].recordModeTitle : nullptr;
}

QGroupBox* ReadoutParametersWindow::scaleFrame(int channel) const {
    return (channel == 1 || channel == 2) ? channels_[size_t(channel)].frame : nullptr;
}

QGroupBox* ReadoutParametersWindow::storageFrame(int row) const {
    return (row == 1 || row == 2) ? rows_[size_t(row)].frame : nullptr;
}

QRadioButton* ReadoutParametersWindow::storageOption(int row, int channel) const {
    if ((row != 1 && row != 2) || channel < 1 || channel > kChannels) return nullptr;
    return rows_[size_t(row)].options[size_t(channel)];
}

QPushButton* ReadoutParametersWindow::command(int index) const {
    return (index == 0 || index == 1) ? commands_[size_t(index)] : nullptr;
}

}  // namespace quillet
