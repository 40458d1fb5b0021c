#include "FormStorage.h"

#include <QDir>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

namespace
{
const QString keyMaximized = QStringLiteral("Maximized");
const QString keyLeft = QStringLiteral("Left");
const QString keyTop = QStringLiteral("Top");
const QString keyWidth = QStringLiteral("Width");
const QString keyHeight = QStringLiteral("Height");

bool onSomeScreen(const QRect &rect)
{
    const auto screens = QGuiApplication::screens();
    for (const QScreen *screen : screens) {
        if (screen->availableGeometry().intersects(rect))
            return true;
    }
    return false;
}
} // namespace

FormStorage::FormStorage(const QString &filePath, const QString &formName)
    : m_settings(filePath, QSettings::IniFormat), m_formName(formName)
{
}

QString FormStorage::defaultFilePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return folder + QStringLiteral("/ZorviQEV.cfp");
}

QString FormStorage::filePath() const
{
    return m_settings.fileName();
}

QString FormStorage::key(const QString &name) const
{
    return m_formName + u'/' + name;
}

bool FormStorage::contains(const QString &name) const
{
    return m_settings.contains(key(name));
}

QVariant FormStorage::value(const QString &name, const QVariant &defaultValue) const
{
    return m_settings.value(key(name), defaultValue);
}

void FormStorage::setValue(const QString &name, const QVariant &value)
{
    m_settings.setValue(key(name), value);
}

void FormStorage::savePlacement(const QWidget &window)
{
    const QRect normal = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    setValue(keyMaximized, window.isMaximized());
    setValue(keyLeft, normal.x());
    setValue(keyTop, normal.y());
    setValue(keyWidth, normal.width());
    setValue(keyHeight, normal.height());
}

void FormStorage::restorePlacement(QWidget &window) const
{
    if (!contains(keyWidth) || !contains(keyHeight))
        return;
    bool widthOk = false;
    bool heightOk = false;
    const int width = value(keyWidth).toInt(&widthOk);
    const int height = value(keyHeight).toInt(&heightOk);
    if (!widthOk || !heightOk || width <= 0 || height <= 0)
        return;
    const QRect saved(value(keyLeft).toInt(), value(keyTop).toInt(), width, height);
    if (onSomeScreen(saved))
        window.setGeometry(saved);
    else
        window.resize(saved.size());
    if (value(keyMaximized).toBool())
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

bool FormStorage::flush()
{
    m_settings.sync();
    return m_settings.status() == QSettings::NoError;
}
