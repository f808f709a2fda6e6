#include "comm/ui/usualwindows.h"

#include "comm/link.h"
#include "core/settingsfiles.h"
#include "core/ui/mainwindow.h"
#include "core/uitexts.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace quillet {
namespace {

QRadioButton* option(QGroupBox* frame, const QString& name, const QString& caption, const QString& tip) {
    auto* o = new QRadioButton(caption, frame);
    o->setObjectName(name);
    o->setToolTip(tip);
    frame->layout()->addWidget(o);
    return o;
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, const QString& tip = {}) {
    auto* f = new QGroupBox(caption, parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setToolTip(tip);
    return f;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text = {}) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

}  // namespace

// ---------------------------------------------------------------- UsualCommunicationDialog

UsualCommunicationDialog::UsualCommunicationDialog(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("fMacro"));
    setWindowTitle(uiText(ui::kUsualSettingsTitle));

    fMacroStartTime = frame(this, "fMacroStartTime", uiText(ui::kStartTimeFrame), uiText(ui::kStartTimeTip));
    cMacroSet = new QComboBox(fMacroStartTime);
    cMacroSet->setObjectName(QStringLiteral("cMacroSet"));
    cMacroSet->addItems(usualStartTimes());
    auto* startRow = new QHBoxLayout(fMacroStartTime);
    startRow->addWidget(label(fMacroStartTime, QStringLiteral("Label1"), uiText(ui::kStartLabel)));
    startRow->addWidget(cMacroSet);
    startRow->addStretch();

    fMacroSave = frame(this, "fMacroSave", uiText(ui::kNamingFrame), uiText(ui::kNamingTip));
    new QVBoxLayout(fMacroSave);
    oMacroSave[0] = option(fMacroSave, QStringLiteral("oMacroSave_0"), usualNamingCaption(0), uiText(ui::kByDateTip));
    oMacroSave[1] = option(fMacroSave, QStringLiteral("oMacroSave_1"), usualNamingCaption(1), uiText(ui::kByNumberTip));

    fMacroSel = frame(this, "fMacroSel", uiText(ui::kSettingsFrame), uiText(ui::kTaskTip));
    new QVBoxLayout(fMacroSel);
    oMacroSel[0] = option(fMacroSel, QStringLiteral("oMacroSel_0"), usualTaskCaption(0), uiText(ui::kReadSaveSetTip));
    oMacroSel[1] = option(fMacroSel, QStringLiteral("oMacroSel_1"), usualTaskCaption(1), uiText(ui::kSetOnlyTip));

    OkNg[0] = new QPushButton(QStringLiteral("OK"), this);
    OkNg[1] = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i = 0; i < 2; ++i) {
        OkNg[size_t(i)]->setObjectName(QStringLiteral("OkNg_%1").arg(i));
        connect(OkNg[size_t(i)], &QPushButton::clicked, this, [this, i] { onButtonClicked(i); });
        buttons->addWidget(OkNg[size_t(i)]);
    }
    OkNg[0]->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fMacroStartTime);
    layout->addWidget(fMacroSave);
    layout->addWidget(fMacroSel);
    layout->addLayout(buttons);

    // Values the dialog cannot show select 0, 0 and "12:00".
    const UsualChoices c = usualChoices(ctx_.general);
    oMacroSel[size_t(c.task)]->setChecked(true);
    oMacroSave[size_t(c.naming)]->setChecked(true);
    cMacroSet->setCurrentText(c.startTime);
}

void UsualCommunicationDialog::onButtonClicked(int index) {
    if (index != 0) {
        reject();
        return;
    }
    GeneralSettings& g = ctx_.general;
    g.usualCommunicationTask = oMacroSel[0]->isChecked() ? 0 : 1;
    g.usualCommunicationNaming = oMacroSave[0]->isChecked() ? 0 : 1;
    g.usualCommunicationStartTime = cMacroSet->currentText();
    saveGeneralSettings(g, ctx_.folders.settingsFile);
    accept();
}

// ---------------------------------------------------------------- UsualCommunicationWindow

UsualCommunicationWindow::UsualCommunicationWindow(AppContext& ctx, UsualRun run, UsualSteps steps, QWidget* parent)
    : QDialog(parent), ctx_(ctx), run_(run), steps_(std::move(steps)) {
    setObjectName(QStringLiteral("fMacroView"));
    setWindowTitle(uiText(ui::kUsualRunningTitle));
    setModal(true);

    auto* settings = frame(this, "Frame1", uiText(ui::kSettingsFrame));
    mSetTime = label(settings, QStringLiteral("mSetTime"));
    mSetSave = label(settings, QStringLiteral("mSetSave"));
    mSetMode = label(settings, QStringLiteral("mSetMode"));
    auto* settingsLayout = new QVBoxLayout(settings);
    settingsLayout->addWidget(mSetTime);
    settingsLayout->addWidget(mSetSave);
    settingsLayout->addWidget(mSetMode);

    fPara = frame(this, "fPara", uiText(ui::kCardTestLabel));
    auto* grid = new QGridLayout(fPara);
    const QString titles[5] = {uiText(ui::kStartTimeFrame), uiText(ui::kRecordCount), uiText(ui::kAverage),
                               uiText(ui::kLowest), uiText(ui::kHighest)};
    for (int i = 0; i < 5; ++i) {
        label1[size_t(i)] = label(fPara, QStringLiteral("label1_%1").arg(i), titles[i]);
        grid->addWidget(label1[size_t(i)], i, 0);
    }
    lStart = label(fPara, QStringLiteral("lStart"));
    lData = label(fPara, QStringLiteral("lData"));
    grid->addWidget(lStart, 0, 1, 1, 2);
    grid->addWidget(lData, 1, 1, 1, 2);
    for (int k = 0; k < 2; ++k) {
        lAve[size_t(k)] = label(fPara, QStringLiteral("lAve_%1").arg(k));
        lMin[size_t(k)] = label(fPara, QStringLiteral("lMin_%1").arg(k));
        lMax[size_t(k)] = label(fPara, QStringLiteral("lMax_%1").arg(k));
        grid->addWidget(lAve[size_t(k)], 2, 1 + k);
        grid->addWidget(lMin[size_t(k)], 3, 1 + k);
        grid->addWidget(lMax[size_t(k)], 4, 1 + k);
    }

    lMode = label(this, QStringLiteral("lMode"));
    lMode->setAlignment(Qt::AlignCenter);
    // lMode keeps its place while it blinks.
    QSizePolicy keep = lMode->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    lMode->setSizePolicy(keep);
    barReadout = new QProgressBar(this);
    barReadout->setObjectName(QStringLiteral("barReadout"));
    barReadout->setRange(0, 1);
    barReadout->setValue(0);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, &UsualCommunicationWindow::onCancelClicked);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(settings);
    layout->addWidget(fPara);
    layout->addWidget(lMode);
    layout->addWidget(barReadout);
    layout->addWidget(cmdCancel, 0, Qt::AlignHCenter);

    tMacroStart = new QTimer(this);
    tMacroStart->setObjectName(QStringLiteral("tMacroStart"));
    tMacroStart->setSingleShot(true);
    tMacroStart->setInterval(1);
    connect(tMacroStart, &QTimer::timeout, this, &UsualCommunicationWindow::onStartTimer);
    tTenmetu = new QTimer(this);
    tTenmetu->setObjectName(QStringLiteral("tTenmetu"));
    connect(tTenmetu, &QTimer::timeout, this, &UsualCommunicationWindow::onBlinkTimer);

    // Loading.
    const GeneralSettings& g = ctx_.general;
    mSetTime->setText(g.usualCommunicationStartTime);
    mSetMode->setText(usualTaskCaption(g.usualCommunicationTask));
    mSetSave->setText(usualNamingCaption(g.usualCommunicationNaming));
    const bool reading = run_ != UsualRun::SetOnly;
    fPara->setEnabled(reading);
    for (QLabel* l : label1) l->setEnabled(reading);
    barReadout->setVisible(reading);
    cmdCancel->setVisible(reading);
    lMode->setText(reading ? uiText(ui::kReadLoggerWords) : uiText(ui::kLoggerSettingsMode));
    tTenmetu->setInterval(blink_.intervalMs);
}

void UsualCommunicationWindow::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (started_) return;
    started_ = true;
    tMacroStart->start();
    tTenmetu->start();
}

void UsualCommunicationWindow::onBlinkTimer() {
    blink_.tick();
    lMode->setVisible(blink_.visible);
    tTenmetu->setInterval(blink_.intervalMs);
}

void UsualCommunicationWindow::setMode(const QString& text) {
    lMode->setText(text);
    // The settings are not cancelled half-way.
    if (text != uiText(ui::kReadLoggerWords)) cmdCancel->setEnabled(false);
}

void UsualCommunicationWindow::showSummary(const UsualSummary& s) {
    fPara->setTitle(uiText(ui::kCardTestFrame) + s.cardTest);
    lStart->setText(s.start);
    lData->setText(s.data);
    for (size_t k = 0; k < 2; ++k) {
        lAve[k]->setText(s.ave[k]);
        lMin[k]->setText(s.min[k]);
        lMax[k]->setText(s.max[k]);
    }
}

void UsualCommunicationWindow::onStartTimer() {
    tMacroStart->stop();
    running_ = true;
    auto previous = ctx_.comm->progress;
    ctx_.comm->progress = [this](int maximum, int value) {
        barReadout->setMaximum(std::max(1, maximum));
        barReadout->setValue(std::clamp(value, 0, barReadout->maximum()));
    };
    outcome_ = runUsualCommunication(ctx_, run_, steps_, *this);
    ctx_.comm->progress = previous;
    running_ = false;
    tTenmetu->stop();
    accept();
}

void UsualCommunicationWindow::onCancelClicked() {
    if (running_ && cmdCancel->isEnabled()) requestCancel(ctx_);
}

void UsualCommunicationWindow::reject() {
    if (running_)
        onCancelClicked();
    else
        QDialog::reject();
}

// ---------------------------------------------------------------- wiring

void startUsualCommunication(AppContext& ctx, const UsualSteps& steps, QWidget* parent) {
    if (!clearScreenForUsual(ctx)) return;
    const std::optional<UsualRun> run = beginUsualCommunication(ctx);
    if (!run) return;
    // A window of its own: the run disables the main window, and with it
    // every window that belongs to the main window.
    UsualCommunicationWindow view(ctx, *run, steps, nullptr);
    if (parent) view.setFont(parent->font());
    if (parent) view.move(parent->geometry().center() - view.rect().center());
    view.exec();
    const QString text = usualOutcomeText(view.outcome());
    if (!text.isEmpty()) showUsualOutcome(parent, view.outcome().savedFile, text);
}

void showUsualOutcome(QWidget* parent, const QString& savedFile, const QString& text) {
    // Not modal: the word stays while the user goes on.
    auto* box = new QMessageBox(QMessageBox::Information, uiText(ui::kUsualTitle), text, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("usualOutcome"));
    box->setModal(false);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (parent) box->setFont(parent->font());
    if (!savedFile.isEmpty()) {
        QPushButton* folder = box->addButton(uiText(ui::kOpenFolder), QMessageBox::ActionRole);
        folder->setObjectName(QStringLiteral("openFolder"));
        const QString dir = QFileInfo(savedFile).absolutePath();
        QObject::connect(folder, &QPushButton::clicked, box,
                         [dir] { QDesktopServices::openUrl(QUrl::fromLocalFile(dir)); });
    }
    box->show();
}

void wireUsualCommunication(MainWindow& window, AppContext& ctx, UsualSteps steps) {
    window.setCommand(Command::Usual, [&ctx, &window, steps] { startUsualCommunication(ctx, steps, &window); });
    window.setCommand(Command::UsualSettings, [&ctx, &window] {
        UsualCommunicationDialog dialog(ctx, &window);
        dialog.setFont(window.font());
        dialog.exec();
    });
}

}  // namespace quillet
