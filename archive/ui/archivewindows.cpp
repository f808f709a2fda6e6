#include "archive/ui/archivewindows.h"

#include "analysis/analysissettings.h"
#include "analysis/figuretexts.h"
#include "archive/archivesettings.h"
#include "archive/importer.h"
#include "archive/readoutfile.h"
#include "archive/ui/trendwindow.h"
#include "core/context.h"
#include "core/ui/mainwindow.h"
#include "core/uitexts.h"
#include "core/vb.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quillet::archive {
namespace {

void tell(AppContext& ctx, const char16_t* title, const QString& text) {
    ctx.messages->show(uiText(title), text, kOkOnly | kIconExclamation);
}

QString localText(qint64 utc) {
    return QDateTime::fromSecsSinceEpoch(utc, QTimeZone::systemTimeZone()).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString zoneName() { return QString::fromUtf8(QTimeZone::systemTimeZone().id()); }

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

}  // namespace

std::unique_ptr<Archive> openConfiguredArchive(AppContext& ctx) {
    const QString location = archiveLocation(loadArchiveSettings(archiveSettingsFile(ctx.folders)), ctx.folders);
    ArchiveFailure failure;
    std::unique_ptr<Archive> archive = openArchive(location, failure);
    if (!archive) tell(ctx, ui::kArchiveSearchTitle, failureText(failure, location));
    return archive;
}

PeriodChooser::PeriodChooser(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    choice = new QComboBox(this);
    choice->addItems(uiText(ui::kArchivePeriods).split(QLatin1Char('\n')));
    choice->setCurrentIndex(3);  // this quarter
    from = new QDateEdit(QDate::currentDate().addMonths(-3), this);
    to = new QDateEdit(QDate::currentDate(), this);
    for (QDateEdit* d : {from, to}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    row->addWidget(choice);
    row->addWidget(new QLabel(uiText(ui::kArchiveFromLabel), this));
    row->addWidget(from);
    row->addWidget(new QLabel(uiText(ui::kArchiveToLabel), this));
    row->addWidget(to);
    auto sync = [this] {
        const bool own = choice->currentIndex() == 5;
        from->setEnabled(own);
        to->setEnabled(own);
        if (!own) {
            const Period p = period();
            const QTimeZone zone = QTimeZone::systemTimeZone();
            from->setDate(QDateTime::fromSecsSinceEpoch(p.fromUtc, zone).date());
            to->setDate(QDateTime::fromSecsSinceEpoch(p.toUtc, zone).date());
        }
        emit changed();
    };
    connect(choice, &QComboBox::currentIndexChanged, this, sync);
    connect(from, &QDateEdit::dateChanged, this, [this] {
        if (choice->currentIndex() == 5) emit changed();
    });
    connect(to, &QDateEdit::dateChanged, this, [this] {
        if (choice->currentIndex() == 5) emit changed();
    });
    sync();
}

Period PeriodChooser::period() const {
    const QDateTime now = QDateTime::currentDateTime();
    switch (choice->currentIndex()) {
    case 0: return usualPeriod(UsualPeriod::Days7, now);
    case 1: return usualPeriod(UsualPeriod::Days30, now);
    case 2: return usualPeriod(UsualPeriod::Days90, now);
    case 3: return usualPeriod(UsualPeriod::Quarter, now);
    case 4: return usualPeriod(UsualPeriod::Year, now);
    default: return periodOfDays(from->date(), to->date(), QTimeZone::systemTimeZone());
    }
}

ArchiveSearchWindow::ArchiveSearchWindow(AppContext& ctx, Archive& archive, QWidget* parent)
    : QDialog(parent), ctx_(ctx), archive_(archive) {
    setObjectName(QStringLiteral("ARCHIVESEARCH"));
    setWindowTitle(uiText(ui::kArchiveSearchTitle));
    auto* layout = new QVBoxLayout(this);
    auto* filters = new QHBoxLayout;
    logger = new QComboBox(this);
    logger->addItem(uiText(ui::kArchiveAllLoggers));
    ArchiveFailure failure;
    std::vector<std::pair<int, int>> loggers;
    for (const SeriesKey& s : archive.series(failure))
        if (loggers.empty() || loggers.back() != std::pair{s.card, s.test}) loggers.emplace_back(s.card, s.test);
    for (const auto& [card, test] : loggers) logger->addItem(loggerText(ctx, card, test), QList<QVariant>{card, test});
    wholeTime = new QCheckBox(uiText(ui::kArchiveWholeTime), this);
    wholeTime->setChecked(true);
    period = new PeriodChooser(this);
    site = new QLineEdit(this);
    filters->addWidget(new QLabel(uiText(ui::kArchiveLoggerLabel), this));
    filters->addWidget(logger);
    filters->addWidget(new QLabel(uiText(ui::kArchivePeriodLabel), this));
    filters->addWidget(wholeTime);
    filters->addWidget(period);
    filters->addWidget(new QLabel(uiText(ui::kArchiveSiteLabel), this));
    filters->addWidget(site);
    auto* searchButton = new QPushButton(uiText(ui::kArchiveSearchButton), this);
    filters->addWidget(searchButton);
    layout->addLayout(filters);

    const QStringList heads = uiText(ui::kArchiveColumns).split(QLatin1Char('\n'));
    table = new QTableWidget(0, int(heads.size()), this);
    table->setHorizontalHeaderLabels(heads);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setWordWrap(false);
    layout->addWidget(table, 1);
    found = new QLabel(this);
    layout->addWidget(found);

    auto* buttons = new QDialogButtonBox(this);
    auto* open = buttons->addButton(uiText(ui::kArchiveOpenButton), QDialogButtonBox::AcceptRole);
    auto* add = buttons->addButton(uiText(ui::kArchiveAddButton), QDialogButtonBox::ActionRole);
    auto* trend = buttons->addButton(uiText(ui::kTrendButton), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);
    connect(searchButton, &QPushButton::clicked, this, &ArchiveSearchWindow::search);
    connect(open, &QPushButton::clicked, this, [this] { openSelected(StoreEntry::Replace); });
    connect(add, &QPushButton::clicked, this, [this] { openSelected(StoreEntry::Add); });
    connect(trend, &QPushButton::clicked, this, &ArchiveSearchWindow::showTrend);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table, &QTableWidget::cellDoubleClicked, this, [this] { openSelected(StoreEntry::Replace); });
    connect(wholeTime, &QCheckBox::toggled, period, [this](bool all) { period->setEnabled(!all); });
    period->setEnabled(false);
    resize(980, 520);
    search();
}

void ArchiveSearchWindow::search() {
    ReadoutFilter f;
    if (logger->currentIndex() > 0) {
        const QList<QVariant> ct = logger->currentData().toList();
        f.card = ct.value(0).toInt();
        f.test = ct.value(1).toInt();
    }
    if (!wholeTime->isChecked()) {
        const Period p = period->period();
        f.fromUtc = p.fromUtc;
        f.toUtc = p.toUtc;
    }
    if (!site->text().trimmed().isEmpty()) f.site = site->text().trimmed();
    ArchiveFailure failure;
    shown_ = archive_.readouts(f, failure);
    if (failure) tell(ctx_, ui::kArchiveSearchTitle, failureText(failure, archive_.location()));
    table->setRowCount(int(shown_.size()));
    for (int row = 0; row < int(shown_.size()); ++row) {
        const Readout& r = shown_[size_t(row)];
        const ReadoutLine line = readoutLine(ctx_, r);
        const QStringList cells = {line.loggers,
                                   localText(r.firstUtc),
                                   localText(r.lastUtc),
                                   QString::number(line.samples),
                                   line.upper,
                                   line.lower,
                                   QString::number(r.counts.conflicts),
                                   r.path,
                                   r.site,
                                   localText(r.importedUtc) + QLatin1Char(' ') +
                                       (r.user.isEmpty() ? r.host : r.user + QLatin1Char('@') + r.host)};
        for (int col = 0; col < int(cells.size()); ++col) table->setItem(row, col, cell(cells[col]));
        if (r.counts.conflicts > 0) table->item(row, 6)->setForeground(Qt::red);
    }
    table->resizeColumnsToContents();
    found->setText(uiText(ui::kArchiveFound).arg(shown_.size()).arg(zoneName()));
}

std::vector<qint64> ArchiveSearchWindow::selectedIds() const {
    std::vector<qint64> ids;
    for (const QModelIndex& i : table->selectionModel()->selectedRows())
        if (i.row() < int(shown_.size())) ids.push_back(shown_[size_t(i.row())].id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

void ArchiveSearchWindow::showTrend() {
    // The selected read-out's logger, else the logger chosen above.
    std::optional<std::pair<int, int>> chosen;
    const QModelIndexList rows = table->selectionModel()->selectedRows();
    if (!rows.isEmpty() && rows.first().row() < int(shown_.size()) &&
        !shown_[size_t(rows.first().row())].channels.empty()) {
        const SeriesKey& s = shown_[size_t(rows.first().row())].channels.front().series;
        chosen = std::pair{s.card, s.test};
    } else if (logger->currentIndex() > 0) {
        const QList<QVariant> ct = logger->currentData().toList();
        chosen = std::pair{ct.value(0).toInt(), ct.value(1).toInt()};
    }
    TrendWindow w(ctx_, archive_,
                  chosen ? loggerSeries(archive_, chosen->first, chosen->second) : std::vector<SeriesKey>{}, this);
    w.signOff = signOff;
    w.exec();
}

void ArchiveSearchWindow::openSelected(StoreEntry entry) {
    const std::vector<qint64> ids = selectedIds();
    if (ids.empty()) return;
    StoreFit fit = StoreFit::Fits;
    ArchiveFailure failure;
    switch (openReadoutsInWindow(ctx_, archive_, ids, entry, fit, failure)) {
    case WindowOpen::Opened: accept(); break;
    case WindowOpen::Cancelled: break;
    case WindowOpen::DoesNotFit: tell(ctx_, ui::kArchiveSearchTitle, storeFitText(fit)); break;
    case WindowOpen::Failed: tell(ctx_, ui::kArchiveSearchTitle, failureText(failure, archive_.location())); break;
    }
}

PeriodStatsWindow::PeriodStatsWindow(AppContext& ctx, Archive& archive, QWidget* parent)
    : QDialog(parent), ctx_(ctx), archive_(archive) {
    setObjectName(QStringLiteral("ARCHIVEPERIOD"));
    setWindowTitle(uiText(ui::kArchivePeriodTitle));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    series = new QComboBox(this);
    ArchiveFailure failure;
    keys_ = archive.series(failure);
    for (const SeriesKey& k : keys_)
        series->addItem(uiText(ui::kArchiveChannelItem)
                            .arg(loggerText(ctx, k.card, k.test))
                            .arg(k.loggerChannel)
                            .arg(isHumidity(k.kind) ? QStringLiteral("[%RH]") : QStringLiteral("[℃]")));
    period = new PeriodChooser(this);
    form->addRow(uiText(ui::kArchiveChannelLabel), series);
    form->addRow(uiText(ui::kArchivePeriodLabel), period);
    layout->addLayout(form);
    head = new QLabel(this);
    layout->addWidget(head);
    table = new QTableWidget(kFigureRows, 1, this);
    table->horizontalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    QStringList labels;
    for (int row = 0; row < kFigureRows; ++row) labels << figureRowLabel(row);
    table->setVerticalHeaderLabels(labels);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setWordWrap(false);
    layout->addWidget(table, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(series, &QComboBox::currentIndexChanged, this, &PeriodStatsWindow::refill);
    connect(period, &PeriodChooser::changed, this, &PeriodStatsWindow::refill);
    resize(560, 620);
    refill();
}

void PeriodStatsWindow::refill() {
    const int i = series->currentIndex();
    if (i < 0 || i >= int(keys_.size())) return;
    const Period p = period->period();
    ArchiveFailure failure;
    const double dhr = loadDeltaHOverR(analysisSettingsFile(ctx_.folders));
    const std::optional<ChannelFigures> f =
        periodFigures(archive_, keys_[size_t(i)], p, dhr, QTimeZone::systemTimeZone(), failure);
    if (!f) {
        tell(ctx_, ui::kArchivePeriodTitle, failureText(failure, archive_.location()));
        return;
    }
    ReadoutFilter filter;
    filter.card = keys_[size_t(i)].card;
    filter.test = keys_[size_t(i)].test;
    filter.fromUtc = p.fromUtc;
    filter.toUtc = p.toUtc;
    const size_t readouts = archive_.readouts(filter, failure).size();
    head->setText(f->samples ? uiText(ui::kArchivePeriodHead)
                                   .arg(dateTimeText(f->firstTime), dateTimeText(f->lastTime), zoneName())
                                   .arg(readouts)
                             : uiText(ui::kArchiveNothingThere));
    for (int row = 0; row < kFigureRows; ++row) table->setItem(row, 0, cell(figureText(*f, row)));
}

ArchiveSettingsDialog::ArchiveSettingsDialog(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("ARCHIVESETTINGS"));
    setWindowTitle(uiText(ui::kArchiveSettingsTitle));
    const ArchiveSettings s = loadArchiveSettings(archiveSettingsFile(ctx.folders));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    location = new QLineEdit(archiveLocation(s, ctx.folders), this);
    location->setMinimumWidth(420);
    auto* browse = new QPushButton(uiText(ui::kArchiveBrowse), this);
    auto* where = new QHBoxLayout;
    where->addWidget(location, 1);
    where->addWidget(browse);
    form->addRow(uiText(ui::kArchiveLocationLabel), where);
    site = new QLineEdit(s.site, this);
    form->addRow(uiText(ui::kArchiveSiteLabel), site);
    importOnSave = new QCheckBox(uiText(ui::kArchiveImportOnSaveLabel), this);
    importOnSave->setChecked(s.importOnSave);
    form->addRow(importOnSave);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen =
            QFileDialog::getSaveFileName(this, uiText(ui::kArchiveSettingsTitle), location->text(),
                                         uiText(ui::kArchiveFileFilter), nullptr, QFileDialog::DontConfirmOverwrite);
        if (!chosen.isEmpty()) location->setText(chosen);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (apply()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool ArchiveSettingsDialog::apply() {
    ArchiveSettings s;
    const QString chosen = location->text().trimmed();
    s.location = chosen == defaultArchiveLocation(ctx_.folders) ? QString() : chosen;
    s.site = site->text().trimmed();
    s.importOnSave = importOnSave->isChecked();
    const QString where = archiveLocation(s, ctx_.folders);
    if (holdsPassword(where)) {
        tell(ctx_, ui::kArchiveSettingsTitle, uiText(ui::kArchivePasswordRefused));
        return false;
    }
    ArchiveFailure failure;
    if (!openArchive(where, failure)) {
        tell(ctx_, ui::kArchiveSettingsTitle, failureText(failure, where));
        return false;
    }
    const QString file = archiveSettingsFile(ctx_.folders);
    // Electronic records mode: a change with its reason in the trail.
    const ArchiveSettings before = loadArchiveSettings(file);
    const auto line = [this](const ArchiveSettings& a) {
        return QStringLiteral("%1 / %2 / %3")
            .arg(archiveLocation(a, ctx_.folders), a.site,
                 a.importOnSave ? QStringLiteral("on") : QStringLiteral("off"));
    };
    if (ctx_.changes && line(before) != line(s) &&
        !ctx_.changes->settingChanging(uiText(ui::kArchiveSettingsTitle), line(before), line(s)))
        return false;
    if (const Saved saved = saveArchiveSettings(s, file); saved.error != SaveError::None) {
        tell(ctx_, ui::kArchiveSettingsTitle,
             runtimeErrorText(runtimeErrorOf(saved.error)) + QStringLiteral(": ") + file);
        return false;
    }
    return true;
}

namespace {

void importCommand(MainWindow& window, AppContext& ctx, bool folder) {
    QStringList paths;
    if (folder) {
        const QString chosen =
            QFileDialog::getExistingDirectory(&window, uiText(ui::kArchiveImportTitle), ctx.folders.documentsFolder);
        if (!chosen.isEmpty()) paths << chosen;
    } else {
        paths = QFileDialog::getOpenFileNames(&window, uiText(ui::kArchiveImportTitle), ctx.folders.documentsFolder,
                                              uiText(ui::kArchiveDataFilter));
    }
    if (paths.isEmpty()) return;
    const std::unique_ptr<Archive> archive = openConfiguredArchive(ctx);
    if (!archive) return;
    const QStringList files = dataFilesUnder(paths);
    QProgressDialog progress(uiText(ui::kArchiveImportTitle), uiText(ui::kArchiveCancel), 0, int(files.size()),
                             &window);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const ArchiveSettings settings = loadArchiveSettings(archiveSettingsFile(ctx.folders));
    const ImportSummary s =
        importFiles(*archive, files, thisComputer(settings.site), [&progress](int done, int total, const QString&) {
            progress.setValue(done);
            progress.setLabelText(uiText(ui::kArchiveImportProgress).arg(done).arg(total));
            return !progress.wasCanceled();
        });
    progress.close();
    if (ctx.changes) ctx.changes->imported(paths.join(QStringLiteral(", ")), summaryText(s));
    ctx.messages->show(uiText(ui::kArchiveImportTitle), summaryText(s),
                       kOkOnly | (s.filesFailed ? kIconExclamation : kIconInformation));
}

}  // namespace

void wireArchive(MainWindow& window, AppContext& ctx, std::shared_ptr<const ReportSignOff> signOff) {
    window.setCommand(Command::ArchiveSearch, [&window, &ctx, signOff] {
        const std::unique_ptr<Archive> archive = openConfiguredArchive(ctx);
        if (!archive) return;
        ArchiveSearchWindow w(ctx, *archive, &window);
        w.signOff = signOff;
        w.exec();
    });
    window.setCommand(Command::ArchivePeriod, [&window, &ctx] {
        const std::unique_ptr<Archive> archive = openConfiguredArchive(ctx);
        if (!archive) return;
        PeriodStatsWindow w(ctx, *archive, &window);
        w.exec();
    });
    window.setCommand(Command::ArchiveTrend, [&window, &ctx, signOff] {
        const std::unique_ptr<Archive> archive = openConfiguredArchive(ctx);
        if (!archive) return;
        // The first logger's channels to begin with.
        ArchiveFailure failure;
        const std::vector<SeriesKey> all = archive->series(failure);
        TrendWindow w(ctx, *archive, all.empty() ? all : loggerSeries(*archive, all.front().card, all.front().test),
                      &window);
        w.signOff = signOff;
        w.exec();
    });
    window.setCommand(Command::ArchiveImport, [&window, &ctx] {
        QMessageBox box(QMessageBox::Question, uiText(ui::kArchiveImportTitle), uiText(ui::kArchiveImportTitle),
                        QMessageBox::Cancel, &window);
        QPushButton* files = box.addButton(uiText(ui::kArchiveImportFiles), QMessageBox::AcceptRole);
        QPushButton* folder = box.addButton(uiText(ui::kArchiveImportFolder), QMessageBox::AcceptRole);
        box.exec();
        if (box.clickedButton() == files) importCommand(window, ctx, false);
        if (box.clickedButton() == folder) importCommand(window, ctx, true);
    });
    window.setCommand(Command::ArchiveSettings, [&window, &ctx] {
        ArchiveSettingsDialog d(ctx, &window);
        d.exec();
    });
}

}  // namespace quillet::archive
