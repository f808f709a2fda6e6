#include "archive/ui/trendwindow.h"

#include "archive/databinding.h"

#include "analysis/analysissettings.h"
#include "analysis/figuretexts.h"
#include "archive/importer.h"
#include "archive/trendreport.h"
#include "archive/ui/archivewindows.h"
#include "core/catalog.h"
#include "core/context.h"
#include "core/uitexts.h"
#include "print/pdfprinter.h"
#include "print/ui/printpreview.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace quillet::archive {
namespace {

constexpr qint64 kShortestSpan = 60;  // seconds: the closest zoom

double savedDeltaHOverR(const AppContext& ctx) { return loadDeltaHOverR(analysisSettingsFile(ctx.folders)); }

QString localText(qint64 utc, const QTimeZone& zone) {
    return QDateTime::fromSecsSinceEpoch(utc, zone).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

}  // namespace

TrendCanvas::TrendCanvas(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TRENDGRAPH"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(480, 300);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TrendCanvas::setTrend(const std::vector<TrendChannel>* channels, Period span, Period bounds) {
    channels_ = channels;
    view_.span = span;
    view_.zone = QTimeZone::systemTimeZone();
    bounds_ = bounds;
    history_.clear();
    update();
    emit viewChanged();
}

void TrendCanvas::showSpan(Period span) {
    const qint64 room = std::max(bounds_.toUtc - bounds_.fromUtc, kShortestSpan);
    const qint64 length = std::clamp<qint64>(span.toUtc - span.fromUtc, kShortestSpan, room);
    span.fromUtc = std::clamp(span.fromUtc, bounds_.fromUtc, std::max(bounds_.fromUtc, bounds_.toUtc - length));
    span.toUtc = span.fromUtc + length;
    if (span.fromUtc == view_.span.fromUtc && span.toUtc == view_.span.toUtc) return;
    history_.push_back(view_.span);
    view_.span = span;
    update();
    emit viewChanged();
}

bool TrendCanvas::back() {
    if (history_.empty()) return false;
    view_.span = history_.back();
    history_.pop_back();
    update();
    emit viewChanged();
    return true;
}

void TrendCanvas::pan(double fraction) {
    const qint64 shift = qint64(double(view_.span.toUtc - view_.span.fromUtc) * fraction);
    showSpan({view_.span.fromUtc + shift, view_.span.toUtc + shift});
}

void TrendCanvas::zoom(double factor) {
    const qint64 middle = view_.span.fromUtc + (view_.span.toUtc - view_.span.fromUtc) / 2;
    const qint64 half = qint64(double(view_.span.toUtc - view_.span.fromUtc) * factor / 2);
    showSpan({middle - half, middle + half});
}

QRectF TrendCanvas::plotArea() const {
    const QFontMetricsF fm(font());
    return trendPlotArea(QRectF(rect()), fm.horizontalAdvance(QLatin1Char('0')), fm.height());
}

qint64 TrendCanvas::timeAt(double x) const {
    const QRectF plot = plotArea();
    const double share = std::clamp((x - plot.left()) / plot.width(), 0.0, 1.0);
    return view_.span.fromUtc + qint64(share * double(view_.span.toUtc - view_.span.fromUtc));
}

void TrendCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (channels_) paintTrendIn(p, QRectF(rect()), *channels_, view_);
    if (dragFrom_) {
        const QRectF plot = plotArea();
        QColor band = palette().highlight().color();
        band.setAlpha(60);
        p.fillRect(QRectF(QPointF(std::min(*dragFrom_, dragTo_), plot.top()),
                          QPointF(std::max(*dragFrom_, dragTo_), plot.bottom())),
                   band);
    }
}

void TrendCanvas::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !plotArea().contains(e->position())) return;
    dragFrom_ = e->position().x();
    dragTo_ = *dragFrom_;
}

void TrendCanvas::mouseMoveEvent(QMouseEvent* e) {
    if (!dragFrom_) return;
    dragTo_ = e->position().x();
    update();
}

void TrendCanvas::mouseReleaseEvent(QMouseEvent* e) {
    if (!dragFrom_) return;
    const double from = std::min(*dragFrom_, e->position().x());
    const double to = std::max(*dragFrom_, e->position().x());
    dragFrom_.reset();
    update();
    if (to - from >= 3) showSpan({timeAt(from), timeAt(to)});
}

void TrendCanvas::wheelEvent(QWheelEvent* e) {
    const double notches = e->angleDelta().y() / 120.0;
    if (e->modifiers() & Qt::ControlModifier)
        zoom(notches > 0 ? 0.8 : 1.25);
    else
        pan(-notches * 0.1);
    e->accept();
}

void TrendCanvas::keyPressEvent(QKeyEvent* e) {
    if (e->matches(QKeySequence::Undo)) {
        back();
        return;
    }
    switch (e->key()) {
    case Qt::Key_Left: pan(-0.1); break;
    case Qt::Key_Right: pan(0.1); break;
    case Qt::Key_PageUp: pan(-1); break;
    case Qt::Key_PageDown: pan(1); break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: zoom(0.5); break;
    case Qt::Key_Minus: zoom(2); break;
    default: QWidget::keyPressEvent(e); return;
    }
}

TrendWindow::TrendWindow(AppContext& ctx, Archive& archive, const std::vector<SeriesKey>& keys, QWidget* parent)
    : QDialog(parent), ctx_(ctx), archive_(archive) {
    setObjectName(QStringLiteral("ARCHIVETREND"));
    setWindowTitle(uiText(ui::kTrendTitle));
    auto* layout = new QVBoxLayout(this);
    auto* splitter = new QSplitter(this);

    auto* left = new QWidget(splitter);
    left->setMaximumWidth(260);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(new QLabel(uiText(ui::kTrendChannelsLabel), left));
    series = new QListWidget(left);
    ArchiveFailure failure;
    keys_ = archive.series(failure);
    for (const SeriesKey& k : keys_) {
        auto* item = new QListWidgetItem(trendChannelName(ctx, k), series);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(std::find(keys.begin(), keys.end(), k) != keys.end() ? Qt::Checked : Qt::Unchecked);
    }
    leftLayout->addWidget(series, 1);
    leftLayout->addWidget(new QLabel(uiText(ui::kArchivePeriodLabel), left));
    allTime = new QCheckBox(uiText(ui::kTrendAllTime), left);
    allTime->setChecked(true);
    leftLayout->addWidget(allTime);
    period = new PeriodChooser(left);
    period->setEnabled(false);
    leftLayout->addWidget(period);
    auto* show = new QPushButton(uiText(ui::kTrendShow), left);
    leftLayout->addWidget(show);

    canvas = new TrendCanvas(splitter);

    auto* right = new QWidget(splitter);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    figures = new QTableWidget(kFigureRows, 0, right);
    QStringList labels;
    for (int row = 0; row < kFigureRows; ++row) labels << figureRowLabel(row);
    figures->setVerticalHeaderLabels(labels);
    figures->setWordWrap(false);
    rightLayout->addWidget(figures, 3);
    const QStringList heads = uiText(ui::kTrendExcursionColumns).split(QLatin1Char('\t'));
    excursions = new QTableWidget(0, int(heads.size()), right);
    excursions->setHorizontalHeaderLabels(heads);
    excursions->verticalHeader()->hide();
    excursions->horizontalHeader()->setStretchLastSection(true);
    rightLayout->addWidget(excursions, 2);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 700, 380});
    layout->addWidget(splitter, 1);

    shown = new QLabel(this);
    layout->addWidget(shown);
    auto* hint = new QLabel(uiText(ui::kTrendHint), this);
    layout->addWidget(hint);
    auto* buttons = new QDialogButtonBox(this);
    auto* report = buttons->addButton(uiText(ui::kReportEntry), QDialogButtonBox::ActionRole);
    auto* preview = buttons->addButton(uiText(ui::kTrendPreviewButton), QDialogButtonBox::ActionRole);
    auto* pdf = buttons->addButton(uiText(ui::kTrendPdfButton), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);

    connect(show, &QPushButton::clicked, this, &TrendWindow::load);
    connect(allTime, &QCheckBox::toggled, period, [this](bool all) { period->setEnabled(!all); });
    connect(canvas, &TrendCanvas::viewChanged, this, &TrendWindow::refreshFigures);
    connect(report, &QPushButton::clicked, this, &TrendWindow::printReport);
    connect(preview, &QPushButton::clicked, this, &TrendWindow::previewReport);
    connect(pdf, &QPushButton::clicked, this, &TrendWindow::saveReportPdf);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(1280, 680);
    load();
}

void TrendWindow::load() {
    std::vector<SeriesKey> checked;
    for (int i = 0; i < series->count(); ++i)
        if (series->item(i)->checkState() == Qt::Checked) checked.push_back(keys_[size_t(i)]);
    if (checked.size() > size_t(kTrendChannels)) {
        ctx_.messages->show(uiText(ui::kTrendTitle), uiText(ui::kTrendTooMany), kOkOnly | kIconExclamation);
        return;
    }
    const Period p =
        allTime->isChecked() ? periodOfDays(std::nullopt, std::nullopt, QTimeZone::systemTimeZone()) : period->period();
    ArchiveFailure failure;
    std::vector<TrendChannel> loaded = loadTrend(archive_, checked, p, failure);
    if (failure) {
        ctx_.messages->show(uiText(ui::kTrendTitle), failureText(failure, archive_.location()),
                            kOkOnly | kIconExclamation);
        return;
    }
    for (TrendChannel& c : loaded) c.name = trendChannelName(ctx_, c.key);
    channels_ = std::move(loaded);
    const std::optional<Period> extent = trendExtent(channels_);
    Period span = allTime->isChecked() ? extent.value_or(Period{}) : p;
    if (!extent && allTime->isChecked()) {
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        span = {now - 86400, now};
    }
    canvas->setTrend(&channels_, span, span);
}

void TrendWindow::refreshFigures() {
    const TrendView& view = canvas->view();
    const std::vector<ChannelFigures> f = trendFigures(channels_, view.span, savedDeltaHOverR(ctx_), view.zone);
    figures->setColumnCount(int(f.size()));
    QStringList heads;
    for (const TrendChannel& c : channels_) heads << c.name;
    figures->setHorizontalHeaderLabels(heads);
    for (int col = 0; col < int(f.size()); ++col)
        for (int row = 0; row < kFigureRows; ++row) figures->setItem(row, col, cell(figureText(f[size_t(col)], row)));
    figures->resizeColumnsToContents();
    const std::vector<TrendExcursion> found = trendExcursions(channels_, view.span);
    excursions->setRowCount(int(found.size()));
    for (int row = 0; row < int(found.size()); ++row) {
        const TrendExcursion& e = found[size_t(row)];
        const QStringList cells = {channels_[size_t(e.channel - 1)].name,
                                   uiText(e.above ? ui::kTrendAbove : ui::kTrendBelow),
                                   localText(e.startUtc, view.zone), durationText(e.seconds)};
        for (int col = 0; col < int(cells.size()); ++col) excursions->setItem(row, col, cell(cells[col]));
    }
    excursions->resizeColumnsToContents();
    shown->setText(channels_.empty() || !trendExtent(channels_)
                       ? uiText(ui::kTrendNothing)
                       : uiText(ui::kTrendShown)
                             .arg(localText(view.span.fromUtc, view.zone), localText(view.span.toUtc, view.zone),
                                  QString::fromUtf8(view.zone.id())));
}

std::optional<QString> TrendWindow::askTitle() {
    bool ok = false;
    const QString title = QInputDialog::getText(this, captionText(Caption::Report), messageText(Msg::ReportTitle),
                                                QLineEdit::Normal, defaultTrendTitle(channels_), &ok);
    if (!ok) return std::nullopt;
    return title;
}

bool TrendWindow::signedPage(ReportPageContent& page, bool preview) {
    if (!signOff || !signOff->bound) return true;
    // Bound to each channel's samples over the span shown.
    const TrendView view = canvas->view();
    QStringList bindings;
    ArchiveFailure failure;
    for (const TrendChannel& c : channels_)
        bindings << seriesBinding(archive_, c.key, view.span.fromUtc, view.span.toUtc, failure);
    if (failure) bindings.clear();
    return signOff->bound(page, bindings, preview);
}

void TrendWindow::printReport() {
    if (!printerChecks(ctx_)) return;
    const std::optional<QString> title = askTitle();
    if (!title) return;
    if (const PrintFault f = ctx_.printer->printerDialog()) {
        printFailed(ctx_, f);
        return;
    }
    ReportPageContent content = trendReportContent(ctx_, channels_, canvas->view(), savedDeltaHOverR(ctx_), *title);
    if (!signedPage(content, false)) return;
    printTrendReport(ctx_, *ctx_.printer, content);
}

void TrendWindow::previewReport() {
    ReportPageContent content =
        trendReportContent(ctx_, channels_, canvas->view(), savedDeltaHOverR(ctx_), defaultTrendTitle(channels_));
    signedPage(content, true);
    QtPrintPreview preview(this);
    preview.show(uiText(ui::kTrendReportJob), reportPageLayout(),
                 [&](PrintControl& printer) { return printTrendReport(ctx_, printer, content); });
}

void TrendWindow::saveReportPdf() {
    const std::optional<QString> title = askTitle();
    if (!title) return;
    FileDialogRequest request;
    request.title = uiText(ui::kSavePdfTitle);
    request.filter = uiText(ui::kPdfFilter);
    request.defaultExtension = QStringLiteral("pdf");
    request.initialName = *title + QStringLiteral(".pdf");
    const std::optional<QString> file = ctx_.dialogs->saveFile(request);
    if (!file || file->isEmpty()) return;
    ReportPageContent content = trendReportContent(ctx_, channels_, canvas->view(), savedDeltaHOverR(ctx_), *title);
    if (!signedPage(content, false)) return;
    PdfPrintControl pdf(*file);
    printTrendReport(ctx_, pdf, content);
}

}  // namespace quillet::archive
