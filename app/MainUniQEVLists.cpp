// The object and result lists: how they are filled, sorted, marked, and
// how the object list shows and takes photos.
#include "Connection.h"
#include "Dataset.h"
#include "DbGrid.h"
#include "MainUniQEV.h"
#include "PhotoCellCache.h"
#include "StoredProcedure.h"

#include <QAction>
#include <QFileDialog>
#include <QPainter>

namespace
{

// Fields whose tag is 4 are shown as check boxes: the marks of the two
// lists.
constexpr int checkBoxTag = 4;

const QString objectsSql = QStringLiteral(" select * from OBIEKTY where IDDEV = :IDdev");
const QString resultsSql = QStringLiteral("select * from WYNIKI where IDOB = :IDobj");
const QString orderBy = QStringLiteral(" order by ");

constexpr int objectSortSlot = 0;
constexpr int resultSortSlot = 2;

QString withOrder(const QString &sql, const QString &clause)
{
    return clause.isEmpty() ? sql : sql + orderBy + clause;
}

QString sortClause(const QString &fieldName, bool ascending)
{
    return fieldName + (ascending ? QStringLiteral(" asc ") : QStringLiteral(" desc "));
}

} // namespace

void TMainUniQEVForm::setUpGrids()
{
    using Kind = GridColumn::Kind;
    JvDBUGTempObjects->setColumns({{QStringLiteral("OBRAZEK"), tr("Foto"), 47, Kind::Photo},
                                   {QStringLiteral("REZI2"), QStringLiteral("√"), 28, Kind::Mark},
                                   {QStringLiteral("NAZWA_DEV"), tr("Name entered in QEV"), 173, Kind::Text},
                                   {QStringLiteral("OPIS"), tr("Description"), 322, Kind::SmallText}});
    JvDBUGTemp_details->setColumns({{QStringLiteral("REZI1"), QStringLiteral("√"), 23, Kind::Mark},
                                    {QStringLiteral("DATACZAS"), tr("Measurement date"), 145, Kind::DateTime},
                                    {QStringLiteral("DANE2"), tr("Result"), 82, Kind::CenteredNumber},
                                    {QStringLiteral("REZC"), tr("Result comment"), 301, Kind::SmallText}});
    JvDBUGTempObjects->setDataset(FDQObiekty);
    JvDBUGTemp_details->setDataset(FDQWyniki);

    JvDBUGTempObjects->OnUserSort = [this](const QString &f, bool asc) {
        return jvdbGrHobjectsUserSort(f, asc);
    };
    JvDBUGTemp_details->OnUserSort = [this](const QString &f, bool asc) {
        return jvdbWynikiUserSort(f, asc);
    };
    JvDBUGTempObjects->OnTitleBtnClick = [this](int column) { JvDBUGTempObjectsTitleBtnClick(column); };
    JvDBUGTemp_details->OnTitleBtnClick = [this](int column) { JvDBUGTemp_detailsTitleBtnClick(column); };
    JvDBUGTempObjects->OnCellClick = [this](int column) { jvdbGrHobjectsCellClick(column); };
    JvDBUGTemp_details->OnCellClick = [this](int column) { jvdbGrHresultsCellClick(column); };
    JvDBUGTempObjects->OnCheckIfBooleanField = [this](const QString &field) {
        return jvdbGrHresultsCheckIfBooleanField(*FDQObiekty, field);
    };
    JvDBUGTemp_details->OnCheckIfBooleanField = [this](const QString &field) {
        return jvdbGrHresultsCheckIfBooleanField(*FDQWyniki, field);
    };
    JvDBUGTempObjects->OnDrawColumnCell = [this](QPainter &painter, const QRect &cell, int row,
                                                 const GridColumn &column) {
        JvDBUGTempObjectsDrawColumnCell(painter, cell, row, column);
    };

    connect(FDQObiekty, &store::Dataset::afterScroll, this, &TMainUniQEVForm::FDQObiektyAfterScroll);
    connect(FDQfrxObiekty, &store::Dataset::afterScroll, this, &TMainUniQEVForm::FDQObiektyAfterScroll);

    OpenPictureDialog1 = new QFileDialog(this);
    OpenPictureDialog1->setObjectName(QStringLiteral("OpenPictureDialog1"));
    OpenPictureDialog1->setNameFilter(tr("JPEG Image File (*.jpg *.jpeg)"));
    OpenPictureDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenPictureDialog1->setAcceptMode(QFileDialog::AcceptOpen);
}

// Before start-up has opened the database (or when it failed) there are no
// lists to work on, and the handlers below leave everything as it is.
bool TMainUniQEVForm::listsAreOpen() const
{
    return FDConnection1->isOpen() && FDQObiekty->isActive();
}

int TMainUniQEVForm::currentDeviceId() const
{
    if (!FDTableDevices->isActive() || FDTableDevices->isEmpty())
        return 0;
    return FDTableDevices->asInteger(QStringLiteral("IDDEV"));
}

int TMainUniQEVForm::currentObjectId() const
{
    if (!FDQObiekty->isActive() || FDQObiekty->isEmpty())
        return 0;
    return FDQObiekty->asInteger(QStringLiteral("IDOB"));
}

void TMainUniQEVForm::RefreshObjects(const QString &sortClause)
{
    if (!FDConnection1->isOpen())
        return;
    FDQObiekty->close();
    FDQObiekty->setSql({});
    JvDBUGTempObjects->reload();
    const QString clause = sortClause.isEmpty() ? LastSortString[objectSortSlot] : sortClause;
    FDQObiekty->setSql(withOrder(objectsSql, clause));
    FDQObiekty->setParam(QStringLiteral("IDDEV"), currentDeviceId());
    FDQObiekty->open();
    JvDBUGTempObjects->reload();
    LastSortString[objectSortSlot] = clause;
    RefreshResults({});
}

void TMainUniQEVForm::RefreshResults(const QString &sortClause)
{
    if (!FDConnection1->isOpen())
        return;
    FDQWyniki->close();
    FDQWyniki->setSql({});
    JvDBUGTemp_details->reload();
    const QString clause = sortClause.isEmpty() ? LastSortString[resultSortSlot] : sortClause;
    FDQWyniki->setSql(withOrder(resultsSql, clause));
    FDQWyniki->setParam(QStringLiteral("IDOBJ"), currentObjectId());
    FDQWyniki->open();
    JvDBUGTemp_details->reload();
    LastSortString[resultSortSlot] = clause;
}

void TMainUniQEVForm::FDQObiektyAfterScroll()
{
    RefreshResults({});
}

bool TMainUniQEVForm::jvdbGrHobjectsUserSort(const QString &fieldName, bool ascending)
{
    if (fieldName == QLatin1String("REZI2") || !listsAreOpen())
        return false;
    RefreshObjects(sortClause(fieldName, ascending));
    return true;
}

bool TMainUniQEVForm::jvdbWynikiUserSort(const QString &fieldName, bool ascending)
{
    if (fieldName == QLatin1String("REZI1") || !listsAreOpen())
        return false;
    RefreshResults(sortClause(fieldName, ascending));
    return true;
}

// A click on the mark title sets every object of the device to the same
// mark, cleared and set in turn.
void TMainUniQEVForm::JvDBUGTempObjectsTitleBtnClick(int column)
{
    if (column != 1 || !listsAreOpen())
        return;
    store::StoredProcedure FDSP_SelectObj(*FDConnection1, QStringLiteral("P_SELECT_OBJECTS"));
    FDSP_SelectObj.setParam(1, currentDeviceId());
    FDSP_SelectObj.setParam(2, FlSelect_OT ? 1 : 0);
    FDSP_SelectObj.execute();
    RefreshObjects({});
    FlSelect_OT = !FlSelect_OT;
}

void TMainUniQEVForm::JvDBUGTemp_detailsTitleBtnClick(int column)
{
    if (column != 0 || !listsAreOpen() || !FDQWyniki->isActive())
        return;
    const int objectId = FDQWyniki->isEmpty() ? 0 : FDQWyniki->asInteger(QStringLiteral("IDOB"));
    store::StoredProcedure FDSP_SelectWyn(*FDConnection1, QStringLiteral("P_SELECT_WYNIKI"));
    FDSP_SelectWyn.setParam(1, objectId);
    FDSP_SelectWyn.setParam(2, FlSelect_WT ? 1 : 0);
    FDSP_SelectWyn.execute();
    RefreshResults({});
    FlSelect_WT = !FlSelect_WT;
}

void TMainUniQEVForm::jvdbGrHobjectsCellClick(int column)
{
    if (!listsAreOpen() || FDQObiekty->isEmpty())
        return;
    switch (column) {
    case 0:
        choosePhotoForCurrentObject();
        break;
    case 1:
        toggleMark(*FDQObiekty, QStringLiteral("REZI2"));
        JvDBUGTempObjects->refreshCurrentRow();
        break;
    case 3:
        actMyname->trigger();
        break;
    default:
        break;
    }
}

void TMainUniQEVForm::jvdbGrHresultsCellClick(int column)
{
    if (!listsAreOpen() || !FDQWyniki->isActive() || FDQWyniki->isEmpty())
        return;
    switch (column) {
    case 0:
        toggleMark(*FDQWyniki, QStringLiteral("REZI1"));
        JvDBUGTemp_details->refreshCurrentRow();
        break;
    case 3:
        ActResuComment->trigger();
        break;
    default:
        break;
    }
}

bool TMainUniQEVForm::jvdbGrHresultsCheckIfBooleanField(const store::Dataset &dataset,
                                                        const QString &fieldName) const
{
    int tag = 0;
    if ((&dataset == FDQObiekty && fieldName == QLatin1String("REZI2")) ||
        (&dataset == FDQWyniki && fieldName == QLatin1String("REZI1")))
        tag = checkBoxTag;
    return tag == checkBoxTag;
}

// A mark is 0 or 1; a null mark counts as 0, and any other non-zero value
// as set, so a click always flips what the check box shows.
void TMainUniQEVForm::toggleMark(store::Dataset &list, const QString &markField)
{
    const bool marked = list.asInteger(markField) != 0;
    list.edit();
    list.setValue(markField, marked ? 0 : 1);
    list.post();
}

// The chosen file's bytes are stored unchanged; a file that is not a JPEG
// is stored all the same and shown as the placeholder.
void TMainUniQEVForm::choosePhotoForCurrentObject()
{
    // The dialog opens in the folder of the last photo, but with no file
    // chosen: Enter alone must not give a second animal the same photo.
    OpenPictureDialog1->selectFile(QString());
    if (OpenPictureDialog1->exec() != QDialog::Accepted || OpenPictureDialog1->selectedFiles().isEmpty())
        return;
    const QString file = OpenPictureDialog1->selectedFiles().constFirst();
    const int objectId = currentObjectId();
    FDQObiekty->edit();
    try {
        FDQObiekty->loadBlobFromFile(QStringLiteral("OBRAZEK"), file);
        FDQObiekty->post();
    } catch (...) {
        FDQObiekty->cancel();
        throw;
    }
    m_photoCells->forget(objectId);
    JvDBUGTempObjects->refreshCurrentRow();
}

QByteArray TMainUniQEVForm::readPhoto(int objectId)
{
    store::Dataset photo(*FDConnection1);
    photo.setSql(QStringLiteral("select * from OBIEKTY where IDOB = :IDobj"));
    photo.setParam(QStringLiteral("IDOBJ"), objectId);
    photo.open();
    return photo.isEmpty() ? QByteArray() : photo.blob(QStringLiteral("OBRAZEK"));
}

QImage TMainUniQEVForm::placeholderFor(const QSize &size)
{
    if (m_placeholderCell.size() != size)
        m_placeholderCell = JpegImagePuste->scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return m_placeholderCell;
}

void TMainUniQEVForm::drawPicture(QPainter &painter, const QRect &cell, const QImage &picture)
{
    QRect target(QPoint(0, 0), picture.size() / picture.devicePixelRatio());
    target.moveCenter(cell.center());
    painter.drawImage(target, picture);
}

// Photos are drawn at the cell's size, from the cache where possible; a
// photo that cannot be read or is not a JPEG gives the placeholder.
void TMainUniQEVForm::JvDBUGTempObjectsDrawColumnCell(QPainter &painter, const QRect &cell, int row,
                                                      const GridColumn &column)
{
    if (column.kind != GridColumn::Kind::Photo || !JpegImagePuste || !FDQObiekty->isActive())
        return;
    const qreal ratio = painter.device()->devicePixelRatioF();
    const QSize box = (cell.size() - QSize(2, 2)) * ratio;
    if (box.isEmpty())
        return;
    QImage picture;
    if (!FDQObiekty->valueAt(row, column.field).isNull()) {
        const int objectId = FDQObiekty->valueAt(row, QStringLiteral("IDOB")).toInt();
        try {
            picture = m_photoCells->picture(objectId, box, [&] { return readPhoto(objectId); });
        } catch (const std::exception &) {
            picture = {};
        }
    }
    if (picture.isNull())
        picture = placeholderFor(box);
    picture.setDevicePixelRatio(ratio);
    drawPicture(painter, cell, picture);
}
