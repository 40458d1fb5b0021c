#pragma once

#include "ChartAxes.h"
#include "ChartPointList.h"

#include <QDialog>
#include <QImage>

class QChart;
class QDateTimeAxis;
class QFileDialog;
class QFrame;
class QGraphicsRectItem;
class QLabel;
class QLineSeries;
class QPicture;
class QPushButton;
class QValueAxis;
class ChartView;
class GradientBand;
class PointMarkers;

namespace platform
{
class LanguageClient;
} // namespace platform

namespace store
{
class Dataset;
}

// The chart window: the marked results of one animal over time, one point
// per result at the moment of the measurement and its reading, green for
// afternoon readings and blue for morning ones. The breeder zooms and pans
// it with the buttons and the mouse, hovers over a point to read its date,
// value and comment, and prints it or saves it as a picture. The window is
// created once and keeps its chart after it closes: reports draw the chart
// as the window last left it.
class TWykresForm : public QDialog
{
    Q_OBJECT
public:
    explicit TWykresForm(QWidget *mainWindow = nullptr);
    ~TWykresForm() override;

    // --- Button band
    GradientBand *JvGradient1;
    QPushButton *BitBtn2;
    QPushButton *BitBtn3;
    QPushButton *BitBtn4;
    QPushButton *BitBtn5;
    QPushButton *BitBtn6;
    QPushButton *BitBtn7;
    QPushButton *BitBtn8;
    QPushButton *btnPrint;
    QPushButton *BitBtn1;

    // --- Object strip
    QFrame *Panel1;
    QLabel *DBText2;
    QLabel *DBText1;
    QLabel *Image1;

    // --- Chart
    ChartView *Chart1;
    QLineSeries *SeriesT;
    QFileDialog *SavePictureDialog1;
    platform::LanguageClient *LangManClient1;

    // The objects list whose current row the strip shows, and the results
    // list whose rows the chart plots and whose comments the hover shows.
    void setDataSources(store::Dataset *objects, store::Dataset *results);

    // Filling the window, in the order the opening runs these steps.
    void ClearChart();
    void ShowPhoto(const QByteArray &jpeg, const QImage &placeholder);
    // Adds every result of the list whose mark is set; walks the list to its
    // end.
    void AddMarkedResults(store::Dataset &results);
    void AddChartPoint(const QDateTime &when, double reading, const QColor &colour);
    void RescaleAxis();

    const ChartPointList &points() const { return pointList; }
    const ChartAxes &axes() const { return chartAxes; }
    QChart *chart() const { return theChart; }

    // The chart laid out at `size` (pixels of 1/96 inch) as a vector
    // picture, for the reports.
    QPicture chartPicture(const QSize &size);

signals:
    void printChartRequested();
    void exportPictureRequested(const QString &fileName);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // --- Handlers
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void BitBtn7Click();
    void BitBtn8Click();
    void btnPrintClick();
    void BitBtn1Click();
    void Chart1Zoom();
    void Chart1Scroll();
    void Chart1MouseWheel(double notches);
    void SeriesTMouseEnter(qsizetype index, const QPoint &cursor);
    void SeriesTMouseLeave();

    // --- Mouse on the chart
    void zoomToArea(const QRectF &area);
    void scrollByPixels(const QPointF &pixels);
    void trackMouse(const QPointF &chartPosition, const QPoint &globalPosition);

    // --- Layout
    void createButtonBand();
    QPushButton *addPictureButton(const QString &objectName, const QString &picture, const QRect &place);
    QPushButton *addTextButton(const QString &objectName, const QString &text, const QRect &place);
    void createObjectStrip();
    void createChart();
    void createDesignChart();
    void keepButtonsAtRightEdge();
    void centreOnMainWindow();
    void showObjectOfCurrentRow();
    void updatePhotoView();
    QString commentOfResultTakenAt(const QDateTime &when);

    // --- Chart state to screen
    void applyAxes();
    void fitAxisLabelsToPlotArea();
    void updateWallShadow();
    void refreshSeriesIfOutdated();
    void layOutChart(const QSizeF &size);

    QChart *theChart;
    PointMarkers *pointMarkers;
    QDateTimeAxis *bottomAxis;
    QValueAxis *leftAxis;
    QGraphicsRectItem *wallShadow;

    store::Dataset *objectSource = nullptr;
    store::Dataset *resultSource = nullptr;
    QImage photo;
    ChartPointList pointList;
    ChartAxes chartAxes;
    bool seriesOutdated = false;
    qsizetype hoveredIndex = -1;
};

extern TWykresForm *WykresForm;
