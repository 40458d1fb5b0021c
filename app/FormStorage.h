#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

class QWidget;

// The per-user window state file: one INI file, one section per window
// (named after the window's object name). It keeps the window's placement
// and the values the window chooses to store under keys of its own, such as
// "Panel3.Width".
class FormStorage
{
public:
    FormStorage(const QString &filePath, const QString &formName);

    // "ZorviQEV.cfp" in the user's application-data folder.
    static QString defaultFilePath();
    QString filePath() const;

    bool contains(const QString &key) const;
    QVariant value(const QString &key, const QVariant &defaultValue = {}) const;
    void setValue(const QString &key, const QVariant &value);

    // Normal geometry and whether the window is maximised. A placement that
    // would put the window on no screen (a monitor since removed) keeps the
    // size but lets the window manager place it.
    void savePlacement(const QWidget &window);
    void restorePlacement(QWidget &window) const;

    // Writes the file; false when it could not be written.
    bool flush();

private:
    QString key(const QString &name) const;

    mutable QSettings m_settings;
    QString m_formName;
};
