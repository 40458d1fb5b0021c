#include "ProgramFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace
{
QString programFamily()
{
    static const QString family = [] {
        const QStringList preferred{QStringLiteral("Tahoma"), QStringLiteral("Verdana"),
                                    QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")};
        const QStringList installed = QFontDatabase::families();
        for (const QString &name : preferred) {
            if (installed.contains(name, Qt::CaseInsensitive))
                return name;
        }
        return QStringLiteral("Sans Serif");
    }();
    return family;
}
} // namespace

QFont programFont(int pixelSize, bool bold)
{
    QFont font(programFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
