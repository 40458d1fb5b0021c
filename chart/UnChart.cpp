#include "UnChart.h"

#include "ChartView.h"
#include "Dataset.h"
#include "GradientBand.h"
#include "LanguageClient.h"
#include "PointMarkers.h"
#include "PopupPlacement.h"
#include "TimeOfDayColour.h"
#include "UnViewForm.h"

#include <QApplication>
#include <QChart>
#include <QDateTimeAxis>
#include <QFileDialog>
#include <QFrame>
#include <QGraphicsLayout>
#include <QGraphicsRectItem>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QPicture>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QValueAxis>

TWykresForm *WykresForm = nullptr;

namespace
{

constexpr double millisecondsPerDay = 24.0 * 60 * 60 * 1000;
// The chart opens on the last fifteen days up to the latest measurement.
constexpr double openingDays = 15;
constexpr int bandHeight = 112;
constexpr int stripHeight = 128;
// Points are squares reaching this many pixels from their centre each way.
constexpr int pointHalfSize = 6;
constexpr int labelPixels = 16;
constexpr QPoint wallShadowOffset(3, 3);
// The chart stacks its series at 5 and its legend at 6: the point squares go
// between, above the line.
constexpr double seriesAndLegendZ = 5.5;

const QColor windowColour(218, 241, 255);
const QColor stripFrameColour(162, 221, 255);
const QColor lineColour(0, 0, 255);
const QColor seriesColour(0, 135, 218);
const QColor wallShadowColour(129, 129, 129);

QFont tahoma(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

double toChartX(const QDateTime &when)
{
    return double(when.toMSecsSinceEpoch());
}

QDateTime fromChartX(double x)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(x));
}

// The user's short date followed by the time with its seconds, as the
// readings are taken to the second.
QString userDateTimeText(const QDateTime &when)
{
    const QLocale locale = QLocale::system();
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), timeFormat.trimmed());
}

// The left axis labels every 50, or every multiple of 50 that leaves room
// for the labels when the axis is short on the screen.
double leftLabelStep(double span, double plotHeight)
{
    static constexpr double steps[] = {50, 100, 250, 500, 1000, 2000};
    const double roomPerLabel = labelPixels * 1.5;
    for (double step : steps) {
        if (span / step * roomPerLabel <= plotHeight)
            return step;
    }
    return steps[std::size(steps) - 1];
}

} // namespace

// The button pictures are compiled into this library; a static library's
// resources must be registered by name.
static void registerButtonPictures()
{
    Q_INIT_RESOURCE(ChartPictures);
}

TWykresForm::TWykresForm(QWidget *mainWindow) : QDialog(mainWindow)
{
    registerButtonPictures();
    setObjectName(QStringLiteral("WykresForm"));
    setWindowTitle(tr("Chart"));
    setModal(true);
    setFont(tahoma(16));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, windowColour);
    setPalette(colours);
    setAutoFillBackground(true);

    createButtonBand();
    createObjectStrip();
    createChart();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(JvGradient1);
    layout->addWidget(Panel1);
    layout->addWidget(Chart1, 1);
    resize(897, 674);

    SavePictureDialog1 = new QFileDialog(this, QString(), QString(), tr("JPEG Image File (*.jpg)"));
    SavePictureDialog1->setObjectName(QStringLiteral("SavePictureDialog1"));
    SavePictureDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SavePictureDialog1->setDefaultSuffix(QStringLiteral("jpg"));
    SavePictureDialog1->setOption(QFileDialog::DontConfirmOverwrite);

    createDesignChart();
    LangManClient1 = new platform::LanguageClient(*this);
}

TWykresForm::~TWykresForm() = default;

// --- Layout

void TWykresForm::createButtonBand()
{
    JvGradient1 = new GradientBand(QColor(204, 231, 248), QColor(233, 245, 252), this);
    JvGradient1->setObjectName(QStringLiteral("JvGradient1"));
    JvGradient1->setFixedHeight(bandHeight);

    BitBtn2 = addPictureButton(QStringLiteral("BitBtn2"), QStringLiteral("zoom-in"), {24, 25, 50, 50});
    BitBtn3 = addPictureButton(QStringLiteral("BitBtn3"), QStringLiteral("zoom-out"), {80, 25, 50, 50});
    BitBtn4 = addPictureButton(QStringLiteral("BitBtn4"), QStringLiteral("zoom-reset"), {136, 25, 50, 50});
    BitBtn5 = addPictureButton(QStringLiteral("BitBtn5"), QStringLiteral("arrow-left"), {242, 30, 40, 40});
    BitBtn6 = addPictureButton(QStringLiteral("BitBtn6"), QStringLiteral("arrow-up"), {288, 8, 40, 40});
    BitBtn7 = addPictureButton(QStringLiteral("BitBtn7"), QStringLiteral("arrow-right"), {334, 30, 40, 40});
    BitBtn8 = addPictureButton(QStringLiteral("BitBtn8"), QStringLiteral("arrow-down"), {288, 54, 40, 40});
    btnPrint = addTextButton(QStringLiteral("btnPrint"), tr("Print chart"), {456, 30, 193, 40});
    BitBtn1 = addTextButton(QStringLiteral("BitBtn1"), tr("Export to picture"), {672, 30, 193, 40});

    connect(BitBtn2, &QPushButton::clicked, this, &TWykresForm::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TWykresForm::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TWykresForm::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TWykresForm::BitBtn5Click);
    connect(BitBtn6, &QPushButton::clicked, this, &TWykresForm::BitBtn6Click);
    connect(BitBtn7, &QPushButton::clicked, this, &TWykresForm::BitBtn7Click);
    connect(BitBtn8, &QPushButton::clicked, this, &TWykresForm::BitBtn8Click);
    connect(btnPrint, &QPushButton::clicked, this, &TWykresForm::btnPrintClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TWykresForm::BitBtn1Click);
}

QPushButton *TWykresForm::addPictureButton(const QString &objectName, const QString &picture,
                                           const QRect &place)
{
    auto *button = new QPushButton(JvGradient1);
    button->setObjectName(objectName);
    button->setIcon(QIcon(QStringLiteral(":/chart/%1.png").arg(picture)));
    button->setIconSize(place.size() * 3 / 4);
    button->setGeometry(place);
    button->setAutoDefault(false);
    return button;
}

QPushButton *TWykresForm::addTextButton(const QString &objectName, const QString &text, const QRect &place)
{
    auto *button = new QPushButton(text, JvGradient1);
    button->setObjectName(objectName);
    button->setGeometry(place);
    button->setAutoDefault(false);
    return button;
}

void TWykresForm::createObjectStrip()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(stripHeight);
    Panel1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Panel1->setLineWidth(2);
    QPalette frameColours = Panel1->palette();
    frameColours.setColor(QPalette::WindowText, stripFrameColour);
    Panel1->setPalette(frameColours);

    auto *textPanel = new QFrame(Panel1);
    textPanel->setObjectName(QStringLiteral("Panel2"));
    textPanel->setAutoFillBackground(true);
    QPalette white = textPanel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    textPanel->setPalette(white);

    DBText2 = new QLabel(textPanel);
    DBText2->setObjectName(QStringLiteral("DBText2"));
    DBText2->setFont(tahoma(21, true));
    DBText2->setFixedHeight(32);
    DBText2->setTextFormat(Qt::PlainText);

    DBText1 = new QLabel(textPanel);
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText1->setWordWrap(true);
    DBText1->setTextFormat(Qt::PlainText);
    DBText1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    DBText1->setAutoFillBackground(true);
    QPalette buttonFace = DBText1->palette();
    buttonFace.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    DBText1->setPalette(buttonFace);

    auto *texts = new QVBoxLayout(textPanel);
    texts->setContentsMargins(4, 0, 4, 4);
    texts->setSpacing(0);
    texts->addWidget(DBText2);
    texts->addWidget(DBText1, 1);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(203, 126 - 2);
    Image1->setAlignment(Qt::AlignCenter);

    auto *strip = new QHBoxLayout(Panel1);
    strip->setContentsMargins(2, 2, 2, 2);
    strip->setSpacing(2);
    strip->addWidget(textPanel, 1);
    strip->addWidget(Image1);
}

void TWykresForm::createChart()
{
    theChart = new QChart;
    theChart->setBackgroundBrush(windowColour);
    theChart->setBackgroundRoundness(0);
    theChart->setPlotAreaBackgroundBrush(Qt::white);
    theChart->setPlotAreaBackgroundVisible(true);
    theChart->setTitle(QStringLiteral("    "));
    theChart->setTitleFont(tahoma(21));
    theChart->setTitleBrush(Qt::black);
    theChart->legend()->hide();
    theChart->setAnimationOptions(QChart::NoAnimation);

    wallShadow = new QGraphicsRectItem(theChart);
    wallShadow->setBrush(wallShadowColour);
    wallShadow->setPen(Qt::NoPen);
    wallShadow->setZValue(-0.5);

    SeriesT = new QLineSeries(theChart);
    SeriesT->setObjectName(QStringLiteral("SeriesT"));
    SeriesT->setPen(QPen(lineColour, 2));
    theChart->addSeries(SeriesT);
    pointMarkers = new PointMarkers(*theChart, *SeriesT, pointList, pointHalfSize);
    pointMarkers->setZValue(seriesAndLegendZ);

    bottomAxis = new QDateTimeAxis(theChart);
    bottomAxis->setObjectName(QStringLiteral("BottomAxis"));
    bottomAxis->setLabelsFont(tahoma(labelPixels));
    leftAxis = new QValueAxis(theChart);
    leftAxis->setObjectName(QStringLiteral("LeftAxis"));
    leftAxis->setLabelsFont(tahoma(labelPixels));
    leftAxis->setLabelFormat(QStringLiteral("%.0f"));
    leftAxis->setTickType(QValueAxis::TicksDynamic);
    leftAxis->setTickAnchor(0);
    theChart->addAxis(bottomAxis, Qt::AlignBottom);
    theChart->addAxis(leftAxis, Qt::AlignLeft);
    SeriesT->attachAxis(bottomAxis);
    SeriesT->attachAxis(leftAxis);

    Chart1 = new ChartView(theChart, this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setMinimumHeight(200);
    connect(Chart1, &ChartView::zoomRequested, this, &TWykresForm::zoomToArea);
    connect(Chart1, &ChartView::scrollRequested, this, &TWykresForm::scrollByPixels);
    connect(Chart1, &ChartView::wheelTurned, this, &TWykresForm::Chart1MouseWheel);
    connect(Chart1, &ChartView::mouseMovedTo, this, &TWykresForm::trackMouse);
    connect(Chart1, &ChartView::mouseLeft, this, &TWykresForm::SeriesTMouseLeave);
    connect(theChart, &QChart::plotAreaChanged, this, &TWykresForm::updateWallShadow);
    connect(theChart, &QChart::plotAreaChanged, this, [this] { pointMarkers->plotAreaChanged(); });
    // Label spacing follows the size of the plot area; changing it while the
    // chart lays itself out would be lost, so it waits for the layout to end.
    connect(theChart, &QChart::plotAreaChanged, this, &TWykresForm::fitAxisLabelsToPlotArea,
            Qt::QueuedConnection);
}

// Until the window is first opened the chart shows a sample, so that a
// report printed before then shows what the chart will look like.
void TWykresForm::createDesignChart()
{
    const QDateTime sample(QDate(2018, 11, 20), QTime(0, 0));
    AddChartPoint(sample, 300, seriesColour);
    chartAxes.left = {150, 650};
    chartAxes.bottom = {toChartX(sample) - millisecondsPerDay, toChartX(sample) + millisecondsPerDay};
    applyAxes();
}

void TWykresForm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    keepButtonsAtRightEdge();
}

void TWykresForm::keepButtonsAtRightEdge()
{
    static constexpr int printFromRight = 897 - 456;
    static constexpr int exportFromRight = 897 - 672;
    btnPrint->move(width() - printFromRight, btnPrint->y());
    BitBtn1->move(width() - exportFromRight, BitBtn1->y());
}

void TWykresForm::showEvent(QShowEvent *event)
{
    centreOnMainWindow();
    showObjectOfCurrentRow();
    QDialog::showEvent(event);
}

void TWykresForm::hideEvent(QHideEvent *event)
{
    SeriesTMouseLeave();
    QDialog::hideEvent(event);
}

void TWykresForm::centreOnMainWindow()
{
    const QWidget *mainWindow = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = mainWindow ? mainWindow->frameGeometry() : screen()->availableGeometry();
    move(area.center() - rect().center());
}

// --- Data of the main window

void TWykresForm::setDataSources(store::Dataset *objects, store::Dataset *results)
{
    if (objectSource)
        disconnect(objectSource, nullptr, this, nullptr);
    objectSource = objects;
    resultSource = results;
    if (objectSource)
        connect(objectSource, &store::Dataset::afterScroll, this, &TWykresForm::showObjectOfCurrentRow);
    showObjectOfCurrentRow();
}

void TWykresForm::showObjectOfCurrentRow()
{
    const bool onRow = objectSource && objectSource->isActive() && objectSource->recNo() >= 0;
    DBText2->setText(onRow ? objectSource->asString(QStringLiteral("NAZWA_DEV")) : QString());
    DBText1->setText(onRow ? objectSource->asString(QStringLiteral("OPIS")) : QString());
}

void TWykresForm::AddMarkedResults(store::Dataset &results)
{
    for (results.first(); !results.eof(); results.next()) {
        if (results.asInteger(QStringLiteral("REZI1")) <= 0)
            continue;
        // A result without a moment or a reading has no place on the chart.
        const QVariant when = results.value(QStringLiteral("DATACZAS"));
        const QVariant reading = results.value(QStringLiteral("DANE2"));
        if (when.isNull() || reading.isNull())
            continue;
        const QDateTime moment = when.toDateTime();
        AddChartPoint(moment, reading.toDouble(), timeOfDayColour(moment.time()));
    }
}

// Makes the first result of the list taken at `when` the current one, as
// the list shows the hovered result, and gives its comment. When no result
// matches, the list stays where it is and its current row's comment is
// given.
QString TWykresForm::commentOfResultTakenAt(const QDateTime &when)
{
    if (!resultSource || !resultSource->isActive() || resultSource->isEmpty())
        return {};
    const QString moment = QStringLiteral("DATACZAS");
    for (int row = 0; row < resultSource->recordCount(); ++row) {
        if (resultSource->valueAt(row, moment).toDateTime() == when) {
            resultSource->setRecNo(row);
            break;
        }
    }
    if (resultSource->recNo() < 0)
        return {};
    return resultSource->asString(QStringLiteral("REZC"));
}

// --- Filling

void TWykresForm::ClearChart()
{
    pointList.clear();
    seriesOutdated = true;
    theChart->legend()->hide();
    SeriesTMouseLeave();
}

void TWykresForm::ShowPhoto(const QByteArray &jpeg, const QImage &placeholder)
{
    QImage decoded;
    if (!jpeg.isEmpty() && decoded.loadFromData(jpeg, "JPEG"))
        photo = decoded;
    else
        photo = placeholder;
    updatePhotoView();
}

void TWykresForm::updatePhotoView()
{
    if (photo.isNull()) {
        Image1->clear();
        return;
    }
    Image1->setPixmap(
        QPixmap::fromImage(photo.scaled(Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void TWykresForm::AddChartPoint(const QDateTime &when, double reading, const QColor &colour)
{
    pointList.add({toChartX(when), reading, colour, when});
    seriesOutdated = true;
}

void TWykresForm::RescaleAxis()
{
    const double latest = pointList.isEmpty() ? toChartX(QDateTime::currentDateTime()) : pointList.latestX();
    chartAxes.reset(latest, openingDays * millisecondsPerDay);
    applyAxes();
}

// --- Buttons

void TWykresForm::BitBtn2Click()
{
    chartAxes.zoomPercent(110);
    applyAxes();
    Chart1Zoom();
}

void TWykresForm::BitBtn3Click()
{
    chartAxes.zoomPercent(90);
    applyAxes();
    Chart1Zoom();
}

void TWykresForm::BitBtn4Click()
{
    RescaleAxis();
}

void TWykresForm::BitBtn5Click()
{
    chartAxes.panLeft();
    applyAxes();
}

void TWykresForm::BitBtn6Click()
{
    chartAxes.panUp();
    applyAxes();
}

void TWykresForm::BitBtn7Click()
{
    chartAxes.panRight();
    applyAxes();
}

void TWykresForm::BitBtn8Click()
{
    chartAxes.panDown();
    applyAxes();
}

void TWykresForm::btnPrintClick()
{
    emit printChartRequested();
}

void TWykresForm::BitBtn1Click()
{
    if (SavePictureDialog1->exec() != QDialog::Accepted || SavePictureDialog1->selectedFiles().isEmpty())
        return;
    emit exportPictureRequested(SavePictureDialog1->selectedFiles().constFirst());
}

// --- Mouse

void TWykresForm::Chart1Zoom()
{
    chartAxes.clampLeft();
    applyAxes();
}

void TWykresForm::Chart1Scroll()
{
    chartAxes.clampLeft();
    applyAxes();
}

// The wheel scrolls the left axis by a tenth of its span per notch, away
// from the user towards higher readings.
void TWykresForm::Chart1MouseWheel(double notches)
{
    chartAxes.scroll(0, notches * chartAxes.left.span() / 10);
    chartAxes.clampLeft();
    applyAxes();
}

void TWykresForm::zoomToArea(const QRectF &area)
{
    const QPointF topLeft = theChart->mapToValue(area.topLeft(), SeriesT);
    const QPointF bottomRight = theChart->mapToValue(area.bottomRight(), SeriesT);
    chartAxes.bottom = {topLeft.x(), bottomRight.x()};
    chartAxes.left = {bottomRight.y(), topLeft.y()};
    applyAxes();
    Chart1Zoom();
}

// The view follows the mouse: dragging to the right brings earlier dates
// in from the left, dragging down brings higher readings in from the top.
void TWykresForm::scrollByPixels(const QPointF &pixels)
{
    const QRectF plot = theChart->plotArea();
    if (plot.isEmpty())
        return;
    chartAxes.scroll(-pixels.x() * chartAxes.bottom.span() / plot.width(),
                     pixels.y() * chartAxes.left.span() / plot.height());
    applyAxes();
    Chart1Scroll();
}

void TWykresForm::trackMouse(const QPointF &chartPosition, const QPoint &globalPosition)
{
    refreshSeriesIfOutdated();
    const QRectF plot = theChart->plotArea();
    qsizetype index = -1;
    if (!plot.isEmpty() && !pointList.isEmpty()) {
        const QPointF value = theChart->mapToValue(chartPosition, SeriesT);
        const double reach = pointHalfSize + 1;
        index = pointList.indexNear(value.x(), value.y(), reach * chartAxes.bottom.span() / plot.width(),
                                    reach * chartAxes.left.span() / plot.height());
    }
    if (index == hoveredIndex)
        return;
    SeriesTMouseLeave();
    if (index >= 0)
        SeriesTMouseEnter(index, globalPosition);
}

void TWykresForm::SeriesTMouseEnter(qsizetype index, const QPoint &cursor)
{
    hoveredIndex = index;
    const ChartPoint &point = pointList.at(index);
    ViewForm->Label1->setText(userDateTimeText(point.when));
    QLocale numbers = QLocale::system();
    numbers.setNumberOptions(QLocale::OmitGroupSeparator);
    ViewForm->Label2->setText(numbers.toString(point.y, 'g', 15));
    ViewForm->Memo1->setPlainText(commentOfResultTakenAt(point.when));
    // The pop-up must not take the mouse from the chart, or the chart would
    // see the mouse leave the point the moment the pop-up opens under it.
    if (!ViewForm->windowFlags().testFlag(Qt::WindowTransparentForInput))
        ViewForm->setWindowFlag(Qt::WindowTransparentForInput);
    const QScreen *screen = QApplication::screenAt(cursor);
    const QRect screenArea = (screen ? screen : this->screen())->geometry();
    ViewForm->move(popupTopLeft(cursor, ViewForm->size(), screenArea));
    ViewForm->show();
}

void TWykresForm::SeriesTMouseLeave()
{
    hoveredIndex = -1;
    if (ViewForm)
        ViewForm->hide();
}

// --- Chart state to screen

void TWykresForm::applyAxes()
{
    refreshSeriesIfOutdated();
    leftAxis->setRange(chartAxes.left.minimum, chartAxes.left.maximum);
    bottomAxis->setRange(fromChartX(chartAxes.bottom.minimum), fromChartX(chartAxes.bottom.maximum));
    fitAxisLabelsToPlotArea();
    pointMarkers->update();
}

void TWykresForm::fitAxisLabelsToPlotArea()
{
    const QRectF plot = theChart->plotArea();
    const double step = leftLabelStep(chartAxes.left.span(), plot.height());
    if (leftAxis->tickInterval() != step)
        leftAxis->setTickInterval(step);

    // Dates need about 110 pixels each; over more than a few days the
    // time of day says nothing at this scale.
    const bool longSpan = chartAxes.bottom.span() > 3 * millisecondsPerDay;
    const QLocale locale = QLocale::system();
    const QString format = longSpan ? locale.dateFormat(QLocale::ShortFormat)
                                    : locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ') +
                                          locale.timeFormat(QLocale::ShortFormat);
    if (bottomAxis->format() != format)
        bottomAxis->setFormat(format);
    const int ticks = std::clamp(int(plot.width() / (longSpan ? 110 : 150)) + 1, 2, 12);
    if (bottomAxis->tickCount() != ticks)
        bottomAxis->setTickCount(ticks);
}

void TWykresForm::updateWallShadow()
{
    wallShadow->setRect(theChart->plotArea().translated(wallShadowOffset));
}

void TWykresForm::refreshSeriesIfOutdated()
{
    if (!seriesOutdated)
        return;
    seriesOutdated = false;
    SeriesT->replace(pointList.positions());
    pointMarkers->update();
}

QPicture TWykresForm::chartPicture(const QSize &size)
{
    refreshSeriesIfOutdated();
    const QSizeF shownSize = theChart->size();
    layOutChart(size);
    QPicture picture;
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(QRect(QPoint(0, 0), size), windowColour);
        theChart->scene()->render(&painter, QRectF(QPointF(0, 0), size), theChart->geometry());
    }
    layOutChart(shownSize);
    return picture;
}

void TWykresForm::layOutChart(const QSizeF &size)
{
    theChart->resize(size);
    theChart->layout()->activate();
    fitAxisLabelsToPlotArea();
    theChart->layout()->activate();
}
