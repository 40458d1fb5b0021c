// Draws the language artwork of the program folder: the banner of each
// language (610 by 270) into resources/pictures, and the flag of each
// language file into the "flag=" line of resources/<code>.lng.
//
//   qev-artwork <resources folder>
//
// Run it again after changing a picture and commit the files it wrote.

#include "DesignLanguageFlag.h"
#include "LanguageEngine.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QTextStream>
#include <cmath>

namespace
{

struct LanguageArt {
    const char *code;
    QString tagline;
    // Stripes of the flag, top to bottom, or left to right when vertical,
    // each with its share of the flag.
    QList<QPair<QColor, int>> stripes;
    bool vertical = false;
};

const QColor FrameBlue(47, 133, 184);
const QColor LightBlue(162, 221, 255);
const QColor PaleBlue(218, 241, 255);

QList<LanguageArt> languages()
{
    const QColor white(255, 255, 255), red(220, 20, 60);
    return {
        {"en", QStringLiteral("Heat-cycle detection for dog breeders"), {}},
        {"pl", QStringLiteral("Wykrywanie cieczki dla hodowców psów"), {{white, 1}, {red, 1}}},
        {"de",
         QStringLiteral("Läufigkeitsbestimmung für Hundezüchter"),
         {{QColor(0, 0, 0), 1}, {QColor(221, 0, 0), 1}, {QColor(255, 206, 0), 1}}},
        {"fr",
         QStringLiteral("Détection des chaleurs pour éleveurs canins"),
         {{QColor(0, 35, 149), 1}, {white, 1}, {QColor(237, 41, 57), 1}},
         true},
        {"es",
         QStringLiteral("Detección del celo para criadores de perros"),
         {{QColor(170, 21, 27), 1}, {QColor(241, 191, 0), 2}, {QColor(170, 21, 27), 1}}},
        {"ru",
         QStringLiteral("Определение течки для заводчиков собак"),
         {{white, 1}, {QColor(0, 57, 166), 1}, {QColor(213, 43, 30), 1}}},
    };
}

QImage drawFlag(const LanguageArt &art)
{
    if (art.stripes.isEmpty())
        return platform::designLanguageFlag();
    constexpr int size = 16;
    const QRect field(0, 3, size, 10);
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    int shares = 0;
    for (const auto &stripe : art.stripes)
        shares += stripe.second;
    double start = 0;
    for (const auto &stripe : art.stripes) {
        const double length =
            (art.vertical ? field.width() : field.height()) * stripe.second / double(shares);
        const QRectF band = art.vertical ? QRectF(field.left() + start, field.top(), length, field.height())
                                         : QRectF(field.left(), field.top() + start, field.width(), length);
        painter.fillRect(band, stripe.first);
        start += length;
    }
    painter.setPen(QColor(0, 0, 0, 70)); // keeps white stripes visible on a white list
    painter.drawRect(field.adjusted(0, 0, -1, -1));
    return image;
}

void drawPaw(QPainter &painter, QPointF centre, double scale, const QColor &colour)
{
    painter.save();
    painter.translate(centre);
    painter.scale(scale, scale);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(0, 10), 15, 12);
    const QPointF toes[] = {{-17, -8}, {-6, -17}, {6, -17}, {17, -8}};
    for (const QPointF &toe : toes)
        painter.drawEllipse(toe, 6, 7.5);
    painter.restore();
}

// A measured curve with points coloured by time of day, as in the chart.
void drawCurve(QPainter &painter, const QRectF &area)
{
    QPainterPath path;
    QList<QPointF> points;
    for (int i = 0; i <= 14; ++i) {
        const double x = area.left() + area.width() * i / 14.0;
        const double rise = std::exp(-std::pow((i - 10.0) / 3.2, 2));
        const double y = area.bottom() - area.height() * (0.12 + 0.8 * rise + 0.04 * std::sin(i * 1.7));
        points << QPointF(x, y);
        i == 0 ? path.moveTo(x, y) : path.lineTo(x, y);
    }
    painter.setPen(QPen(QColor(0, 0, 255, 150), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < points.size(); ++i) {
        painter.setBrush(i % 3 == 1 ? QColor(0, 128, 0) : QColor(0, 0, 255));
        painter.drawRect(QRectF(points[i] - QPointF(3, 3), QSizeF(6, 6)));
    }
}

QImage drawBanner(const LanguageArt &art)
{
    QImage image(610, 270, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, 0, image.height());
    sky.setColorAt(0, Qt::white);
    sky.setColorAt(1, LightBlue);
    painter.fillRect(image.rect(), sky);

    drawCurve(painter, QRectF(330, 40, 250, 120));
    drawPaw(painter, QPointF(70, 88), 1.6, FrameBlue);

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(64);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(FrameBlue);
    painter.drawText(QRectF(130, 40, 300, 90), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("QEV"));
    title.setPixelSize(30);
    title.setBold(false);
    painter.setFont(title);
    painter.drawText(QRectF(134, 118, 300, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Data"));

    painter.fillRect(QRectF(30, 178, 550, 2), FrameBlue);
    QFont line(QStringLiteral("DejaVu Sans"));
    line.setPixelSize(22);
    painter.setFont(line);
    painter.setPen(QColor(30, 70, 110));
    const QRectF lineBox(30, 192, 510, 56);
    painter.drawText(lineBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, art.tagline);

    const QImage flag = drawFlag(art).copy(0, 3, 16, 10);
    painter.drawImage(QRectF(548, 208, 32, 20), flag);
    return image;
}

QString flagLine(const QImage &flag)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    flag.save(&buffer, "PNG");
    return QStringLiteral("flag=") + QString::fromLatin1(png.toBase64());
}

bool writeFlag(const QString &path, const QImage &flag)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QString text = QString::fromUtf8(file.readAll());
    file.close();
    static const QRegularExpression existing(QStringLiteral("^flag=.*$"),
                                             QRegularExpression::MultilineOption);
    static const QRegularExpression name(QStringLiteral("^name=.*$"), QRegularExpression::MultilineOption);
    if (text.contains(existing))
        text.replace(existing, flagLine(flag));
    else
        text.replace(name, QStringLiteral("\\0\n") + flagLine(flag));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(text.toUtf8());
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: qev-artwork <resources folder>\n";
        return 2;
    }
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    resources.mkpath(QStringLiteral("pictures"));
    int failures = 0;
    for (const LanguageArt &art : languages()) {
        const QString code = QLatin1String(art.code);
        const QString banner = resources.filePath(QStringLiteral("pictures/banner_%1.png").arg(code));
        if (!drawBanner(art).save(banner, "PNG")) {
            QTextStream(stderr) << "cannot write " << banner << '\n';
            ++failures;
        }
        const QString languageFile =
            resources.filePath(code + QLatin1String(platform::LanguageEngine::FileExtension));
        if (!art.stripes.isEmpty() && !writeFlag(languageFile, drawFlag(art))) {
            QTextStream(stderr) << "cannot update " << languageFile << '\n';
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
