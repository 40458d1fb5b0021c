#include "MainWindowDriver.h"

#include "ProgramFolder.h"

std::unique_ptr<TMainUniQEVForm> openMainWindow(const ProgramFolder &folder)
{
    auto window = std::make_unique<TMainUniQEVForm>(folder.path(), folder.stateFile());
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("The main window was not shown");
    return window;
}

void clickTitle(DbGrid &grid, int position)
{
    QHeaderView *titles = grid.horizontalHeader();
    const int logical = titles->logicalIndex(position);
    const QPoint centre(titles->sectionViewportPosition(logical) + titles->sectionSize(logical) / 2,
                        titles->height() / 2);
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, centre);
}

void clickCell(DbGrid &grid, int row, int position)
{
    const int logical = grid.horizontalHeader()->logicalIndex(position);
    const QRect cell = grid.visualRect(grid.model()->index(row, logical));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
}

QStringList displayedFields(const DbGrid &grid)
{
    QStringList fields;
    for (int position = 0; position < grid.columns().size(); ++position)
        fields.append(grid.columnAtPosition(position)->field);
    return fields;
}

QStringList columnTexts(const DbGrid &grid, const QString &field)
{
    int logical = 0;
    while (grid.columns().at(logical).field != field)
        ++logical;
    QStringList texts;
    for (int row = 0; row < grid.model()->rowCount(); ++row)
        texts.append(grid.model()->index(row, logical).data().toString());
    return texts;
}
