#pragma once

#include <QStringList>

// The messages the application's error display was asked to show during
// the current test.
QStringList &shownErrors();
