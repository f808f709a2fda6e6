#include "loggerset/ui/recordingsettingsdialog.h"

#include "loggerset/settingssummary.h"

#include "core/loggermodels.h"

#include "core/catalog.h"
#include "core/context.h"
#include "core/fieldhelpers.h"
#include "core/ui/okcancel.h"
#include "core/uitexts.h"
#include "core/vb.h"
#include "loggerset/ui/settingcharactersdialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace quillet {
namespace {

constexpr int kClockMs = 30000;

QComboBox* combo(const char* name, bool editable, QWidget* parent, const char16_t* tip = nullptr) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(editable);
    if (editable) c->setInsertPolicy(QComboBox::NoInsert);
    if (tip) c->setToolTip(uiText(tip));
    return c;
}

void setItems(QComboBox* c, const QStringList& items) {
    QStringList now;
    for (int i = 0; i < c->count(); ++i) now << c->itemText(i);
    if (now == items) return;
    c->clear();
    c->addItems(items);
}

// An editable box shows its text; a list box selects its item (-1: none).
void showText(QComboBox* c, const QString& text) {
    const int i = c->findText(text, Qt::MatchExactly);
    c->setCurrentIndex(i);
    if (c->isEditable()) c->setEditText(text);
}

// Focus that only leaves for a pop-up list or another window is not a
// "lost focus" of the field.
bool leavesForReal(QEvent* e) {
    if (e->type() != QEvent::FocusOut) return false;
    const auto reason = static_cast<QFocusEvent*>(e)->reason();
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

}  // namespace

RecordingSettingsDialog::RecordingSettingsDialog(AppContext& ctx, const PendingLogger& current, SettingsWriterFn writer,
                                                 QWidget* parent, Shown shown)
    : QDialog(parent), ctx_(ctx), writer_(std::move(writer)) {
    setObjectName(QStringLiteral("LOGSETLIST"));
    setWindowTitle(uiText(ui::kRecordingSettingsTitle));
    setModal(true);
    setFont(parent ? parent->window()->font() : QApplication::font());
    unseen_ = shown == Shown::Unseen;
    build();

    // Loading: lists and bar, number lists, clock and start, interval, the
    // model's values (with the read-alarm box), end, seconds interval.
    const int m = current.loggerModel;
    barsetting->setMaximum(m == 3 ? 8 : 9);
    barsetting->setValue(0);
    fillNumberLists();
    const QDateTime now = ctx_.clock->now();
    const QDateTime start =
        unseen_ ? initialStartTime(now, ctx_.general.usualCommunicationStartTime) : initialStartTime(now);
    LoadedSettings loaded = initialSettings(current, now, start, ctx_.loggerSet->lockChoice);
    state_ = loaded.state;
    heldState_ = heldSettingsState(loaded.state);
    applyVisibility();
    showState();
    if (!loaded.readAlarmText.isEmpty())
        ctx_.messages->show(QString::fromUtf16(kReadAlarmBoxTitle), loaded.readAlarmText, kOkOnly | kIconError);
    for (int ch = 1; ch <= 2; ++ch) {
        keptReference_[size_t(ch)] = state_.referenceText[size_t(ch)];
        keptUpper_[size_t(ch)] = state_.upperText[size_t(ch)];
        keptLower_[size_t(ch)] = state_.lowerText[size_t(ch)];
    }

    Realclock->start(kClockMs);
    HideDefSetButton->setVisible(ctx_.debug.debugMode);
    if (unseen_) onButtonClicked(0);
}

RecordingSettingsDialog::~RecordingSettingsDialog() { stopClock(); }

void RecordingSettingsDialog::build() {
    auto* top = new QVBoxLayout(this);
    auto* form = new QGridLayout;
    top->addLayout(form);
    int row = 0;
    buildNumbersAndTimes(*form, row);
    buildModeAndRange(*form, row);
    top->addLayout(buildChannelFrames());
    buildFoot(*top);
    connectControls();
}

// Card and test numbers, the clock, the start and the end, the interval.
void RecordingSettingsDialog::buildNumbersAndTimes(QGridLayout& form, int& row) {
    auto* ctno = new QHBoxLayout;
    comboCardno = combo("comboCardno", false, this, ui::kCardNumberTip);
    comboTestno = combo("comboTestno", false, this, ui::kTestNumberTip);
    Command2 = new QPushButton(uiText(ui::kNumberSettingsButton), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setToolTip(uiText(ui::kNumberSettingsTip));
    Command2->setAutoDefault(false);
    ctno->addWidget(comboCardno);
    ctno->addWidget(new QLabel(uiText(ui::kCardTestDash), this));
    ctno->addWidget(comboTestno);
    ctno->addWidget(Command2);
    ctno->addStretch(1);
    form.addWidget(new QLabel(uiText(ui::kCardTestNumbersLabel), this), row, 0);
    form.addLayout(ctno, row++, 1);

    Realtime = new QLabel(this);
    Realtime->setObjectName(QStringLiteral("Realtime"));
    Realtime->setToolTip(uiText(ui::kClockTip));
    Realtime->setFrameShape(QFrame::Panel);
    Realtime->setFrameShadow(QFrame::Sunken);
    form.addWidget(new QLabel(uiText(ui::kClockLabel), this), row, 0);
    form.addWidget(Realtime, row++, 1);

    auto* startBox = new QHBoxLayout;
    Starttimeset = new QLineEdit(this);
    Starttimeset->setObjectName(QStringLiteral("Starttimeset"));
    Starttimeset->setToolTip(uiText(ui::kStartTimeFieldTip));
    scStarttimeset = new QScrollBar(Qt::Vertical, this);
    scStarttimeset->setObjectName(QStringLiteral("scStarttimeset"));
    scStarttimeset->setRange(0, 2);
    scStarttimeset->setValue(1);
    scStarttimeset->setFixedHeight(Starttimeset->sizeHint().height());
    startBox->addWidget(Starttimeset);
    startBox->addWidget(scStarttimeset);
    startBox->addStretch(1);
    form.addWidget(new QLabel(uiText(ui::kStartTime), this), row, 0);
    form.addLayout(startBox, row++, 1);

    Logendnoset = new QLineEdit(this);
    Logendnoset->setObjectName(QStringLiteral("Logendnoset"));
    Logendnoset->setToolTip(uiText(ui::kEndTimeFieldTip));
    endLabel_ = new QLabel(uiText(ui::kEndReservation), this);
    form.addWidget(endLabel_, row, 0);
    form.addWidget(Logendnoset, row++, 1);
    for (QLineEdit* e : {Starttimeset, Logendnoset}) {
        e->setAttribute(Qt::WA_InputMethodEnabled, false);  // digits, "-", ":" and blanks only
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00  ")));
        e->installEventFilter(this);
    }

    auto* intervalBox = new QHBoxLayout;
    comboIntervalset = combo("comboIntervalset", false, this);
    intervalSeconds_ = new QGroupBox(this);
    intervalSeconds_->setFlat(true);
    auto* secondsBox = new QHBoxLayout(intervalSeconds_);
    secondsBox->setContentsMargins(0, 0, 0, 0);
    intcheck = new QCheckBox(uiText(ui::kSeconds), intervalSeconds_);
    intcheck->setObjectName(QStringLiteral("intcheck"));
    intcheck->setToolTip(uiText(ui::kSecondsTip));
    comboSecint = combo("comboSecint", false, intervalSeconds_, ui::kSecondsIntervalTip);
    secondsBox->addWidget(intcheck);
    secondsBox->addWidget(comboSecint);
    intervalBox->addWidget(comboIntervalset);
    intervalBox->addWidget(intervalSeconds_);
    intervalBox->addStretch(1);
    form.addWidget(new QLabel(uiText(ui::kInterval), this), row, 0);
    form.addLayout(intervalBox, row++, 1);
}

// The recording mode and the measuring range, side by side.
void RecordingSettingsDialog::buildModeAndRange(QGridLayout& form, int& row) {
    modeFrame_ = new QGroupBox(uiText(ui::kRecordMode), this);
    auto* modeBox = new QHBoxLayout(modeFrame_);
    auto* modeGroup = new QButtonGroup(modeFrame_);
    const struct {
        int index;
        const char16_t *text, *tip;
    } modes[] = {{1, ui::kEndless, ui::kEndlessTip}, {0, ui::kOneTime, ui::kOneTimeTip}};
    for (const auto& md : modes) {
        auto* o = new QRadioButton(uiText(md.text), modeFrame_);
        o->setObjectName(QStringLiteral("Rectypeop"));
        o->setProperty("index", md.index);
        o->setToolTip(uiText(md.tip));
        modeGroup->addButton(o);
        modeBox->addWidget(o);
        Rectypeop[size_t(md.index)] = o;
        connect(o, &QRadioButton::clicked, this, [this, i = md.index] { onRecordModeChosen(i); });
    }
    rangeFrame_ = new QGroupBox(uiText(ui::kMeasuringRange), this);
    auto* rangeBox = new QHBoxLayout(rangeFrame_);
    comboLogrange1 = combo("comboLogrange1", false, rangeFrame_, ui::kRangeTip);
    rangeBox->addWidget(comboLogrange1);
    auto* modeRange = new QHBoxLayout;
    modeRange->addWidget(modeFrame_);
    modeRange->addWidget(rangeFrame_);
    modeRange->addStretch(1);
    form.addLayout(modeRange, row++, 0, 1, 2);
}

// Per logger channel the reference frame (item 0) and the alarm frame (item 1).
QHBoxLayout* RecordingSettingsDialog::buildChannelFrames() {
    auto* channels = new QHBoxLayout;
    for (int ch = 1; ch <= 2; ++ch) {
        const size_t c = size_t(ch);
        const QString frameName = ch == 1 ? QStringLiteral("Logch1set") : QStringLiteral("Logch2set");
        auto* column = new QVBoxLayout;
        for (int item = 0; item < 2; ++item) {
            auto* f = new QGroupBox(this);
            f->setObjectName(frameName);
            f->setProperty("index", item);
            Logchset[c][size_t(item)] = f;
            column->addWidget(f);
        }
        auto* ref = new QGridLayout(Logchset[c][0]);
        comboBasetempset[c] = combo(ch == 1 ? "comboBasetempset1" : "comboBasetempset2", true, Logchset[c][0]);
        ref->addWidget(new QLabel(uiText(ui::kReference), Logchset[c][0]), 0, 0);
        ref->addWidget(comboBasetempset[c], 0, 1);
        ref->addWidget(new QLabel(uiText(ui::kIntegrationSide), Logchset[c][0]), 1, 0);
        auto* sides = new QHBoxLayout;
        auto* sideGroup = new QButtonGroup(Logchset[c][0]);
        const char16_t* const sideTexts[2] = {ui::kUpperSide, ui::kLowerSide};
        for (int i = 0; i < 2; ++i) {
            auto* o = new QRadioButton(uiText(sideTexts[i]), Logchset[c][0]);
            o->setObjectName(ch == 1 ? QStringLiteral("Basehlset1") : QStringLiteral("Basehlset2"));
            o->setProperty("index", i);
            sideGroup->addButton(o);
            sides->addWidget(o);
            Basehlset[c][size_t(i)] = o;
            connect(o, &QRadioButton::clicked, this, [this, c, i] { state_.referenceSide[c] = i == 1 ? 8 : 0; });
        }
        ref->addLayout(sides, 1, 1);

        auto* alarms = new QGridLayout(Logchset[c][1]);
        ComboHalmtempset[c] = combo(ch == 1 ? "ComboHalmtempset1" : "ComboHalmtempset2", true, Logchset[c][1]);
        ComboLalmtempset[c] = combo(ch == 1 ? "ComboLalmtempset1" : "ComboLalmtempset2", true, Logchset[c][1]);
        auto* title = new QLabel(uiText(ui::kAlarmValuesLabel), Logchset[c][1]);
        if (ch == 1) alarmTitle_ = title;
        alarms->addWidget(title, 0, 0, 1, 2);
        alarms->addWidget(ComboHalmtempset[c], 1, 0);
        alarms->addWidget(ComboLalmtempset[c], 1, 1);
        channels->addLayout(column);

        // Kept texts for the restore after a failed check: on entering a
        // box and on picking an item.
        for (QComboBox* box : {comboBasetempset[c], ComboHalmtempset[c], ComboLalmtempset[c]}) {
            box->installEventFilter(this);
            if (box->lineEdit()) box->lineEdit()->installEventFilter(this);
            connect(box, &QComboBox::activated, this, [this, box] { keep(box); });
        }
    }
    channels->addStretch(1);
    return channels;
}

// The lock, the note, the progress bar and the buttons.
void RecordingSettingsDialog::buildFoot(QVBoxLayout& top) {
    chkRock = new QCheckBox(uiText(ui::kLock), this);
    chkRock->setObjectName(QStringLiteral("chkRock"));
    chkRock->setToolTip(uiText(ui::kLockTip));
    top.addWidget(chkRock);

    auto* note = new QLabel(messageText(Msg::WritingErasesMemory), this);
    note->setObjectName(QStringLiteral("note"));
    top.addWidget(note);

    barsetting = new QProgressBar(this);
    barsetting->setObjectName(QStringLiteral("barsetting"));
    barsetting->setTextVisible(false);
    top.addWidget(barsetting);

    auto* buttons = new QHBoxLayout;
    HideDefSetButton = new QPushButton(uiText(ui::kFactorySettings), this);
    HideDefSetButton->setObjectName(QStringLiteral("HideDefSetButton"));
    HideDefSetButton->setAutoDefault(false);
    buttons->addWidget(HideDefSetButton);
    buttons->addStretch(1);
    comOkng = addOkCancel(this, QStringLiteral("comOkng"), buttons, [this](int i) { onButtonClicked(i); });
    top.addLayout(buttons);
    top.setSizeConstraint(QLayout::SetFixedSize);
}

// The clock, the buttons and the lists.
void RecordingSettingsDialog::connectControls() {
    Realclock = new QTimer(this);
    Realclock->setObjectName(QStringLiteral("Realclock"));

    connect(Realclock, &QTimer::timeout, this, [this] { onClockTick(); });
    connect(Command2, &QPushButton::clicked, this, [this] { onNumberSettingsClicked(); });
    connect(HideDefSetButton, &QPushButton::clicked, this, [this] { onFactorySettingsClicked(); });
    // The spin rests at position 1; its upper arrow is position 2 (a minute
    // later), the lower one position 0 (a minute earlier).
    connect(scStarttimeset, &QScrollBar::actionTriggered, this, [this](int action) {
        const int position = action == QAbstractSlider::SliderSingleStepSub   ? 2
                             : action == QAbstractSlider::SliderSingleStepAdd ? 0
                                                                              : 1;
        scStarttimeset->setSliderPosition(1);
        onStartTimeSpun(position);
    });
    connect(comboIntervalset, &QComboBox::activated, this, [this](int i) { onIntervalChosen(i); });
    connect(comboSecint, &QComboBox::activated, this, [this](int i) { onSecondsIntervalChosen(i); });
    connect(comboLogrange1, &QComboBox::activated, this, [this](int i) { onRangeChosen(i); });
    connect(intcheck, &QCheckBox::clicked, this, [this] { onSecondsIntervalToggled(); });
    connect(chkRock, &QCheckBox::clicked, this, [this] { onLockToggled(); });
    connect(comboCardno, &QComboBox::activated, this, [this](int i) { state_.cardNo = i; });
    connect(comboTestno, &QComboBox::activated, this, [this](int i) { state_.testNo = i; });

    comboSecint->addItems(secondsChoices());
    comboIntervalset->addItems(intervalChoices());
    comboLogrange1->addItems(rangeChoices());
}

void RecordingSettingsDialog::fillNumberLists() {
    setItems(comboCardno, numberChoices(ctx_.general.settingCharCard));
    setItems(comboTestno, numberChoices(ctx_.general.settingCharTest));
}

void RecordingSettingsDialog::applyVisibility() {
    const int m = state_.loggerModel();
    const bool modes = m == 3 || m == 4;
    intervalSeconds_->setVisible(modes);
    modeFrame_->setVisible(modes);
    rangeFrame_->setVisible(m == 3);
    chkRock->setVisible(m == 4);
    endLabel_->setVisible(m != 3);
    Logendnoset->setVisible(m != 3);
    for (int ch = 1; ch <= 2; ++ch) {
        const size_t c = size_t(ch);
        const bool channelShown = ch == 1 || m != 3;
        Logchset[c][0]->setVisible(channelShown && m != 4);
        Logchset[c][1]->setVisible(channelShown && m != 3);
        QString caption;
        if (ch == 1)
            caption = m == 4 ? uiText(ui::kTemperatureA) : uiText(ui::kTemperature);
        else
            caption = m == 4 ? uiText(ui::kTemperatureB) : uiText(ui::kHumidity);
        for (QGroupBox* f : Logchset[c]) f->setTitle(caption);
        setItems(ComboHalmtempset[c], upperAlarmChoices(m, ch));
        setItems(ComboLalmtempset[c], lowerAlarmChoices(m, ch));
    }
    // The second channel's caption: &HC0C000 on models 1 and 2, &HC000C0 on
    // model 4 (blue-green-red).
    const QString colour = m == 4 ? QStringLiteral("#c000c0") : QStringLiteral("#00c0c0");
    for (QGroupBox* f : Logchset[2]) f->setStyleSheet(QStringLiteral("QGroupBox::title { color: %1; }").arg(colour));
}

void RecordingSettingsDialog::showState() {
    const SettingsState& s = state_;
    const QSignalBlocker b1(comboCardno), b2(comboTestno), b3(comboIntervalset), b4(comboSecint), b5(comboLogrange1),
        b6(intcheck), b7(chkRock);
    comboCardno->setCurrentIndex(s.cardNo);
    comboTestno->setCurrentIndex(s.testNo);
    Realtime->setText(vb::formatDate(s.now, QStringLiteral("yyyy-mm-dd hh:nn")));
    Starttimeset->setText(s.startText);
    Logendnoset->setText(s.endText);
    comboIntervalset->setCurrentIndex(s.intervalIndex);
    intcheck->setChecked(s.useSecondsInterval);
    comboSecint->setCurrentIndex(s.secondsIndex);
    comboIntervalset->setEnabled(!s.useSecondsInterval);
    comboSecint->setEnabled(s.useSecondsInterval);
    Logendnoset->setEnabled(endReservationEditable(s));

    // No recording mode or range picked (model 3 with an unknown code).
    for (QRadioButton* o : Rectypeop) o->group()->setExclusive(false);
    Rectypeop[oneTime]->setChecked(s.recordMode == oneTime);
    Rectypeop[endless]->setChecked(s.recordMode == endless);
    for (QRadioButton* o : Rectypeop) o->group()->setExclusive(true);
    comboLogrange1->setCurrentIndex(s.measuringRange);
    // The range is the logger's own: no command carries it, so a logger
    // that reported one keeps it, and the reference list counts from it.
    const bool fixedRange = measuringRangeFixed(s);
    comboLogrange1->setEnabled(!fixedRange);
    comboLogrange1->setToolTip(fixedRange ? QString::fromUtf16(kFixedRangeTip) : uiText(ui::kRangeTip));

    for (int ch = 1; ch <= 2; ++ch) {
        const size_t c = size_t(ch);
        const QSignalBlocker r(comboBasetempset[c]), h(ComboHalmtempset[c]), l(ComboLalmtempset[c]);
        setItems(comboBasetempset[c], referenceChoices(s, ch));
        showText(comboBasetempset[c], s.referenceText[c]);
        Basehlset[c][s.referenceSide[c] == 8 ? 1 : 0]->setChecked(true);
        showText(ComboHalmtempset[c], s.upperText[c]);
        showText(ComboLalmtempset[c], s.lowerText[c]);
    }
    chkRock->setChecked(s.lockLogger);
}

void RecordingSettingsDialog::showRule(const RuleOutcome& r, QWidget* focusBack) {
    showState();
    if (r.accepted()) return;
    checking_ = true;
    showMessage(ctx_, Caption::LoggerSettings, Msg(r.messageNo), kOkOnly, r.args);
    checking_ = false;
    if (focusBack && !unseen_) focusBack->setFocus(Qt::OtherFocusReason);
}

void RecordingSettingsDialog::keep(QComboBox* box) {
    for (int ch = 1; ch <= 2; ++ch) {
        const size_t c = size_t(ch);
        if (box == comboBasetempset[c]) keptReference_[c] = box->currentText();
        if (box == ComboHalmtempset[c]) keptUpper_[c] = box->currentText();
        if (box == ComboLalmtempset[c]) keptLower_[c] = box->currentText();
    }
}

bool RecordingSettingsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Starttimeset || watched == Logendnoset) {
        auto check = [this, watched] {
            if (watched == Starttimeset)
                onStartTimeEdited();
            else
                onRecordLimitEdited();
        };
        if (event->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(event);
            const bool separator = k->key() == Qt::Key_Comma && (k->modifiers() & Qt::KeypadModifier);
            if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter || separator) {
                check();
                return true;
            }
            const QString text = k->text();
            if (!text.isEmpty()) {
                const int code = text.at(0).unicode();
                if (code >= 32 && code != 127 && (code > 255 || filterKey(code, KeyFilter::DateTime) == 0)) return true;
            }
        } else if (leavesForReal(event) && !checking_) {
            check();
        }
        return QDialog::eventFilter(watched, event);
    }

    // The reference and alarm boxes (or their line edits).
    for (int ch = 1; ch <= 2; ++ch) {
        const size_t c = size_t(ch);
        for (QComboBox* box : {comboBasetempset[c], ComboHalmtempset[c], ComboLalmtempset[c]}) {
            if (watched != box && watched != box->lineEdit()) continue;
            if (event->type() == QEvent::FocusIn && !checking_) {
                keep(box);
            } else if (leavesForReal(event) && !checking_) {
                const QWidget* to = QApplication::focusWidget();
                if (to == box || to == box->lineEdit()) break;  // between the box and its line edit
                if (box == comboBasetempset[c])
                    onReferenceEdited(ch);
                else
                    onAlarmEdited(box == ComboHalmtempset[c], ch);
            }
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void RecordingSettingsDialog::onStartTimeEdited() {
    showRule(checkStartTime(state_, Starttimeset->text()), Starttimeset);
}

void RecordingSettingsDialog::onRecordLimitEdited() {
    const LoggerModel* m = loggerModel(state_.loggerModel());
    if (!Logendnoset->isEnabled() || !m || !m->hasEndReservation) return;
    showRule(checkEndReservation(state_, Logendnoset->text()), Logendnoset);
}

void RecordingSettingsDialog::onStartTimeSpun(int value) {
    if (value == 1) return;
    state_.startText = Starttimeset->text();
    showRule(spinStartTime(state_, value == 2 ? +1 : -1), Starttimeset);
}

void RecordingSettingsDialog::onIntervalChosen(int index) {
    pickInterval(state_, index);
    showState();
}

void RecordingSettingsDialog::onSecondsIntervalChosen(int index) {
    pickSecondsInterval(state_, index);
    showState();
}

void RecordingSettingsDialog::onSecondsIntervalToggled() {
    setSecondsInterval(state_, intcheck->isChecked());
    showState();
}

void RecordingSettingsDialog::onRecordModeChosen(int index) {
    pickRecordMode(state_, index == 1 ? endless : oneTime);
    showState();
}

void RecordingSettingsDialog::onRangeChosen(int index) {
    state_.referenceText[1] = comboBasetempset[1]->currentText();
    rebuildReferenceList(state_, index);
    showState();
}

void RecordingSettingsDialog::onAlarmEdited(bool upper, int channel) {
    const size_t c = size_t(channel == 2 ? 2 : 1);
    state_.upperText[c] = ComboHalmtempset[c]->currentText();
    state_.lowerText[c] = ComboLalmtempset[c]->currentText();
    QComboBox* box = upper ? ComboHalmtempset[c] : ComboLalmtempset[c];
    const RuleOutcome r =
        upper ? checkUpperAlarm(state_, int(c), keptUpper_[c]) : checkLowerAlarm(state_, int(c), keptLower_[c]);
    showRule(r, box);
    if (r.accepted()) keep(box);
}

void RecordingSettingsDialog::onReferenceEdited(int channel) {
    const size_t c = size_t(channel == 2 ? 2 : 1);
    state_.referenceText[c] = comboBasetempset[c]->currentText();
    const RuleOutcome r = checkReferenceValue(state_, int(c), keptReference_[c]);
    showRule(r, nullptr);  // the focus is not forced back
    if (r.accepted()) keep(comboBasetempset[c]);
}

void RecordingSettingsDialog::onLockToggled() {
    state_.lockLogger = chkRock->isChecked();
    ctx_.loggerSet->lockChoice = state_.lockLogger;
}

void RecordingSettingsDialog::onNumberSettingsClicked() {
    SettingCharactersDialog dialog(ctx_, this);
    para_ = &dialog;
    const int result = dialog.exec();
    para_ = nullptr;
    if (result != QDialog::Accepted) return;
    if (ctx_.view) ctx_.view->refreshDisplay();  // the grid's card and test captions
    // The lists again, and the logger's numbers in them.
    fillNumberLists();
    state_.cardNo = std::clamp<int>(state_.current.ch[1].cardNo, 0, 255);
    state_.testNo = std::clamp<int>(state_.current.ch[1].testNo, 0, 255);
    showState();
}

void RecordingSettingsDialog::onFactorySettingsClicked() {
    applyFactoryChoices(state_);
    showState();
}

void RecordingSettingsDialog::onClockTick() {
    // Only the clock and a start it has overtaken change: whatever the user
    // is typing in another box stays as it is.
    if (clockTick(state_, ctx_.clock->now())) {
        Starttimeset->setText(state_.startText);
        Logendnoset->setText(state_.endText);
    }
    Realtime->setText(vb::formatDate(state_.now, QStringLiteral("yyyy-mm-dd hh:nn")));
    if (sendStatusRequest(ctx_) != PortFault::None) {
        // The reader cannot be reached: both dialogs close.
        if (para_ && para_->isEnabled()) para_->reject();
        ctx_.comm->status = Exchange::Faulty;
        reject();
        return;
    }
    for (QPushButton* b : comOkng) b->setEnabled(true);
    unsetCursor();
}

void RecordingSettingsDialog::onButtonClicked(int index) {
    if (index != 0) {
        reject();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setEnabled(false);
    stopClock();
    const RecordingSettings settings = recordingSettings(state_);
    barsetting->setValue(0);
    if (writer_) writer_(ctx_, settings, state_.loggerModel(), [this](int step) { barsetting->setValue(step); });
    written_ = true;
    setEnabled(true);
    QApplication::restoreOverrideCursor();
    if (ctx_.comm->status != Exchange::Accepted)
        showMessage(ctx_, Caption::LoggerRead, Msg::ReadError, kOkOnly);
    else if (ctx_.loggerSet->settingsWritten)
        ctx_.loggerSet->settingsWritten(heldState_, state_);
    if (!unseen_) accept();
}

void RecordingSettingsDialog::reject() {
    stopClock();
    QDialog::reject();
}

void RecordingSettingsDialog::stopClock() {
    if (Realclock) Realclock->stop();
}

void QtSettingsDialog::run(AppContext& ctx, const PendingLogger& current) {
    RecordingSettingsDialog dialog(ctx, current, writer_, parent_, shown_);
    if (!dialog.unseen()) dialog.exec();
}

}  // namespace quillet
