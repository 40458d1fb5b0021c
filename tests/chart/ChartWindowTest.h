#pragma once

#include <QObject>

#include <memory>

class TestDatabase;
class TViewForm;
class TWykresForm;

namespace store
{
class Dataset;
}

class ChartWindowTest : public QObject
{
    Q_OBJECT
public:
    ChartWindowTest();
    ~ChartWindowTest() override;

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void designStateBeforeTheFirstOpening();
    void chartsMarkedResultsInTimeOrder();
    void colourFollowsTheTimeOfDay_data();
    void colourFollowsTheTimeOfDay();
    void pointsAreDrawnInTheirOwnColours();
    void objectWithoutMarkedResultsGivesAnEmptyChart();
    void opensOnTheLastFifteenDays();
    void buttonsMoveTheAxes();
    void draggingARectangleZoomsIntoIt();
    void aClickWithoutDragZoomsNothing();
    void rightDragScrollsAndStaysWithinBounds();
    void wheelScrollsTheReadingsWithinBounds();
    void hoverShowsDateReadingAndComment();
    void hoverOnResultsAtTheSameMomentShowsTheFirstInListOrder();
    void stripFollowsTheSelectedObject();
    void photoOrPlaceholder();
    void exportAsksForAFileAndCancelDoesNothing();
    void chartStaysAsLeftAfterClosing();

private:
    int addObject(const QString &name, const QString &description);
    void addResult(int object, const QDateTime &when, double reading, int mark, const QString &comment = {});
    void openResultsOf(int object, const QString &order = QStringLiteral("DATACZAS"));
    QPoint viewportPositionOf(qsizetype pointIndex) const;

    std::unique_ptr<TestDatabase> database;
    std::unique_ptr<store::Dataset> objects;
    std::unique_ptr<store::Dataset> results;
    std::unique_ptr<TWykresForm> window;
    std::unique_ptr<TViewForm> popup;
};
