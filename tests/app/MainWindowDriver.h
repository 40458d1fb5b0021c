#pragma once

#include "DbGrid.h"
#include "MainUniQEV.h"

#include <QHeaderView>
#include <QtTest>

#include <memory>

class ProgramFolder;

// Opens the main window on a program folder and waits until it is shown,
// with its start-up run.
std::unique_ptr<TMainUniQEVForm> openMainWindow(const ProgramFolder &folder);

// A user's click on the title of the column shown at a display position.
void clickTitle(DbGrid &grid, int position);
// A user's click on a cell, by row and display position of its column.
void clickCell(DbGrid &grid, int row, int position);
// The field names of the columns in display order.
QStringList displayedFields(const DbGrid &grid);
// A column's values, row by row, as the list shows them.
QStringList columnTexts(const DbGrid &grid, const QString &field);
