// The main window's chart step: the marked results of the selected animal
// in the chart window.
#include "MainUniQEV.h"

#include "DatabaseError.h"
#include "Dataset.h"
#include "UnChart.h"

#include <QImage>

void TMainUniQEVForm::actChartExecute()
{
    WykresForm->setDataSources(FDQObiekty, FDQWyniki);
    WykresForm->ClearChart();

    // A photo that cannot be read or decoded shows the placeholder, silently.
    QByteArray photo;
    if (currentObjectId() != 0) {
        try {
            photo = FDQObiekty->blob(QStringLiteral("OBRAZEK"));
        } catch (const store::DatabaseError &) {
            // Left empty: the placeholder is shown.
        }
    }
    WykresForm->ShowPhoto(photo, JpegImagePuste ? *JpegImagePuste : QImage());

    // The chart's print-out reads the charted animal through the report's
    // object query; an unmarked animal is not in it, and the query then
    // stays on its first row.
    const int selectedObject = currentObjectId();
    FDQfrxObiekty->close();
    FDQfrxObiekty->setParam(QStringLiteral("IDDEV"), currentDeviceId());
    FDQfrxObiekty->open();
    FDQfrxObiekty->locate(QStringLiteral("IDOB"), selectedObject);

    if (FDQWyniki->isActive())
        WykresForm->AddMarkedResults(*FDQWyniki);
    WykresForm->RescaleAxis();
    WykresForm->exec();
}
