#include "MainUniQEV.h"

#include "DatePicker.h"
#include "DbGrid.h"
#include "UEditMyName.h"
#include "UnPytanie.h"

#include <Connection.h>
#include <Dataset.h>
#include <StoredProcedure.h>

#include <QAction>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace
{

const QString DescriptionField = QStringLiteral("OPIS");
const QString CommentField = QStringLiteral("REZC");
const QString ResultMarkField = QStringLiteral("REZI1");

QMenu *popUpMenu(const QString &objectName, DbGrid &grid, QWidget *owner)
{
    auto *menu = new QMenu(owner);
    menu->setObjectName(objectName);
    grid.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&grid, &QWidget::customContextMenuRequested, menu, [&grid, menu](QPoint place) {
        // The menu's actions work on the current row: a right
        // click on a row makes it current first, as a left click
        // does.
        const QModelIndex clicked = grid.indexAt(place);
        if (clicked.isValid())
            grid.setCurrentIndex(clicked);
        menu->popup(grid.viewport()->mapToGlobal(place));
    });
    return menu;
}

} // namespace

void TMainUniQEVForm::createEditing()
{
    PopABobjectT = popUpMenu(QStringLiteral("PopABobjectT"), *JvDBUGTempObjects, this);
    PopABobjectT->addAction(actMyname);
    PopABobjectT->addAction(actChart);

    PopABresult = popUpMenu(QStringLiteral("PopABresult"), *JvDBUGTemp_details, this);
    PopABresult->addAction(ActResuComment);
    PopABresult->addSeparator();
    PopABresult->addAction(actDelRekord);

    connect(actMyname, &QAction::triggered, this, &TMainUniQEVForm::actMynameExecute);
    connect(ActResuComment, &QAction::triggered, this, &TMainUniQEVForm::ActResuCommentExecute);
    connect(actDelRekord, &QAction::triggered, this, &TMainUniQEVForm::actDelRekordExecute);
    connect(actDelObject, &QAction::triggered, this, &TMainUniQEVForm::actDelObjectExecute);
    connect(btnSelectDate, &QPushButton::clicked, this, &TMainUniQEVForm::btnSelectDateClick);
}

bool TMainUniQEVForm::hasCurrentObject() const
{
    return listsAreOpen() && !FDQObiekty->isEmpty();
}

bool TMainUniQEVForm::hasCurrentResult() const
{
    return hasCurrentObject() && FDQWyniki->isActive() && !FDQWyniki->isEmpty();
}

// The text entry window opens with its top-left corner at the pointer,
// pushed back where it would reach past the main window's client size. The
// pointer's screen coordinates are compared with that size as they are, so
// the bound is the rectangle from the screen's corner to (width, height).
void TMainUniQEVForm::placeTextEntryWindow()
{
    const QPoint pointer = QCursor::pos();
    const QSize window = FormEditName->size();
    const QSize client = size();
    const int top =
        pointer.y() + window.height() > client.height() ? client.height() - window.height() : pointer.y();
    const int left =
        pointer.x() + window.width() > client.width() ? client.width() - window.width() : pointer.x();
    FormEditName->move(left, top);
}

// Shows the text of a column of the list's current row in the text entry
// window; OK writes the text back, any other answer writes nothing.
bool TMainUniQEVForm::editTextOfCurrentRow(store::Dataset &list, const QString &field, QLabel *caption)
{
    placeTextEntryWindow();
    FormEditName->setStoredText(list.asString(field));
    FormEditName->LabDesc->setVisible(caption == FormEditName->LabDesc);
    FormEditName->LabComnt->setVisible(caption == FormEditName->LabComnt);
    if (FormEditName->exec() != SmallWindow::ModalResultOk)
        return false;
    list.edit();
    list.setValue(field, FormEditName->storedText());
    list.post();
    return true;
}

void TMainUniQEVForm::actMynameExecute()
{
    if (!hasCurrentObject())
        return;
    if (editTextOfCurrentRow(*FDQObiekty, DescriptionField, FormEditName->LabDesc))
        JvDBUGTempObjects->refreshCurrentRow();
}

void TMainUniQEVForm::ActResuCommentExecute()
{
    if (!hasCurrentResult())
        return;
    if (editTextOfCurrentRow(*FDQWyniki, CommentField, FormEditName->LabComnt))
        JvDBUGTemp_details->refreshCurrentRow();
}

bool TMainUniQEVForm::confirmed(int question)
{
    PytForm->NumerKomunikatu = question;
    return PytForm->exec() == SmallWindow::ModalResultOk;
}

// Deletes the marked results of the current object, walking its result
// list from the top; each deletion makes the next row current.
void TMainUniQEVForm::actDelRekordExecute()
{
    if (!hasCurrentResult() || !confirmed(TPytForm::QuestionDeleteRecords))
        return;
    FDQWyniki->first();
    while (!FDQWyniki->eof()) {
        if (FDQWyniki->asInteger(ResultMarkField) < 1)
            FDQWyniki->next();
        else
            FDQWyniki->deleteRecord();
    }
    JvDBUGTemp_details->reload();
}

// Deletes the current object with every one of its results, the results
// first. The next object (the one before, when the last went) becomes
// current and its results are loaded.
void TMainUniQEVForm::actDelObjectExecute()
{
    if (!hasCurrentObject() || !confirmed(TPytForm::QuestionDeleteAnimal))
        return;
    if (FDQWyniki->isActive()) {
        FDQWyniki->first();
        while (!FDQWyniki->isEmpty())
            FDQWyniki->deleteRecord();
    }
    FDQObiekty->deleteRecord();
    JvDBUGTempObjects->reload();
    JvDBUGTemp_details->reload();
}

// Marks every result measured from the start of the from-day to the end of
// the to-day, across all objects, then reloads both lists.
void TMainUniQEVForm::btnSelectDateClick()
{
    if (!FDConnection1->isOpen())
        return;
    store::StoredProcedure markDates(*FDConnection1, QStringLiteral("P_SELECTDATES"));
    markDates.setParam(1, dtpDataOd->date());
    markDates.setParam(2, dtpDataDo->date().addDays(1));
    markDates.execute();
    RefreshObjects({});
}
