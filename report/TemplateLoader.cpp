#include "TemplateLoader.h"

#include "ReportError.h"

#include <QFile>
#include <QXmlStreamReader>

namespace report
{

namespace
{

class Reader
{
public:
    Reader(const QByteArray &xml, const QString &sourceName) : xml(xml), sourceName(sourceName) {}

    ReportLayout read()
    {
        if (!xml.readNextStartElement() || xml.name() != u"report")
            fail(QStringLiteral("the root element must be <report>"));
        while (xml.readNextStartElement()) {
            if (xml.name() == u"page")
                readPage();
            else if (xml.name() == u"styles")
                readStyles();
            else if (xml.name() == u"band")
                readBand();
            else
                fail(QStringLiteral("unknown element <%1>").arg(xml.name()));
        }
        if (xml.hasError())
            fail(xml.errorString());
        return layout;
    }

private:
    QXmlStreamReader xml;
    QString sourceName;
    ReportLayout layout;

    [[noreturn]] void fail(const QString &what)
    {
        throw ReportError(QStringLiteral("Report template \"%1\" is not valid (line %2): %3")
                              .arg(sourceName)
                              .arg(xml.lineNumber())
                              .arg(what));
    }

    QString text(QStringView name, const QString &fallback = {}) const
    {
        const auto attributes = xml.attributes();
        const QString key = name.toString();
        return attributes.hasAttribute(key) ? attributes.value(key).toString() : fallback;
    }

    double number(QStringView name, double fallback = 0.0)
    {
        const QString value = text(name);
        if (value.isEmpty())
            return fallback;
        bool ok = false;
        const double result = value.toDouble(&ok);
        if (!ok)
            fail(QStringLiteral("attribute %1=\"%2\" is not a number").arg(name).arg(value));
        return result;
    }

    double mm(QStringView name, double fallback = 0.0) { return number(name, fallback) * UnitsPerMm; }

    bool flag(QStringView name, bool fallback = false)
    {
        const QString value = text(name);
        if (value.isEmpty())
            return fallback;
        if (value == u"true")
            return true;
        if (value == u"false")
            return false;
        fail(QStringLiteral("attribute %1 must be true or false").arg(name));
    }

    QColor color(QStringView name, const QColor &fallback)
    {
        const QString value = text(name);
        if (value.isEmpty())
            return fallback;
        const QColor result = QColor::fromString(value);
        if (!result.isValid())
            fail(QStringLiteral("attribute %1=\"%2\" is not a colour").arg(name).arg(value));
        return result;
    }

    void readPage()
    {
        PageSettings &page = layout.page;
        page.widthMm = number(u"width", page.widthMm);
        page.heightMm = number(u"height", page.heightMm);
        const QString orientation = text(u"orientation", QStringLiteral("portrait"));
        if (orientation != u"portrait" && orientation != u"landscape")
            fail(QStringLiteral("orientation must be portrait or landscape"));
        page.orientation = orientation == u"landscape" ? QPageLayout::Landscape : QPageLayout::Portrait;
        page.leftMm = number(u"left", page.leftMm);
        page.topMm = number(u"top", page.topMm);
        page.rightMm = number(u"right", page.rightMm);
        page.bottomMm = number(u"bottom", page.bottomMm);
        if (page.widthMm <= 0 || page.heightMm <= 0 || page.printableUnits().isEmpty())
            fail(QStringLiteral("the page leaves no room inside its margins"));
        xml.skipCurrentElement();
    }

    TextStyle readFont(const TextStyle &base)
    {
        TextStyle style = base;
        if (!text(u"font").isEmpty())
            style.font.setFamily(text(u"font"));
        if (!text(u"size").isEmpty()) {
            const double size = number(u"size");
            if (size <= 0)
                fail(QStringLiteral("a font size must be positive"));
            style.font.setPixelSize(qRound(size));
        }
        style.font.setBold(flag(u"bold", style.font.bold()));
        style.font.setItalic(flag(u"italic", style.font.italic()));
        style.color = color(u"color", style.color);
        return style;
    }

    static TextStyle defaultStyle()
    {
        TextStyle style;
        style.font = QFont(QStringLiteral("Arial"));
        style.font.setPixelSize(13);
        return style;
    }

    void readStyles()
    {
        while (xml.readNextStartElement()) {
            if (xml.name() != u"style")
                fail(QStringLiteral("<styles> holds only <style> elements"));
            const QString name = text(u"name");
            if (name.isEmpty())
                fail(QStringLiteral("a style needs a name"));
            layout.styles[name] = readFont(defaultStyle());
            xml.skipCurrentElement();
        }
    }

    BandKind bandKind()
    {
        const QString type = text(u"type");
        if (type == u"reportTitle")
            return BandKind::ReportTitle;
        if (type == u"pageHeader")
            return BandKind::PageHeader;
        if (type == u"pageFooter")
            return BandKind::PageFooter;
        if (type == u"masterData")
            return BandKind::MasterData;
        if (type == u"detailData")
            return BandKind::DetailData;
        fail(QStringLiteral("unknown band type \"%1\"").arg(type));
    }

    void readBand()
    {
        Band band;
        band.kind = bandKind();
        band.name = text(u"name");
        band.height = mm(u"height");
        band.dataset = text(u"dataset");
        band.startNewPage = flag(u"startNewPage");
        if (band.isData() && band.dataset.isEmpty())
            fail(QStringLiteral("a data band needs a dataset"));
        if (band.kind == BandKind::DetailData && !layout.band(BandKind::MasterData))
            fail(QStringLiteral("a detail band must follow a master band"));
        if (layout.band(band.kind))
            fail(QStringLiteral("a template holds at most one band of each type"));
        while (xml.readNextStartElement())
            band.objects.push_back(readObject());
        layout.bands.push_back(std::move(band));
    }

    void readGeometry(ReportObject &object)
    {
        object.name = text(u"name");
        object.rect = QRectF(mm(u"left"), mm(u"top"), mm(u"width"), mm(u"height"));
        if (object.rect.width() < 0 || object.rect.height() < 0)
            fail(QStringLiteral("object %1 has a negative size").arg(object.name));
    }

    Qt::Alignment alignment()
    {
        Qt::Alignment result;
        const QString horizontal = text(u"halign", QStringLiteral("left"));
        if (horizontal == u"left")
            result |= Qt::AlignLeft;
        else if (horizontal == u"center")
            result |= Qt::AlignHCenter;
        else if (horizontal == u"right")
            result |= Qt::AlignRight;
        else if (horizontal == u"justify")
            result |= Qt::AlignJustify;
        else
            fail(QStringLiteral("halign must be left, center, right or justify"));
        const QString vertical = text(u"valign", QStringLiteral("top"));
        if (vertical == u"top")
            result |= Qt::AlignTop;
        else if (vertical == u"center")
            result |= Qt::AlignVCenter;
        else if (vertical == u"bottom")
            result |= Qt::AlignBottom;
        else
            fail(QStringLiteral("valign must be top, center or bottom"));
        return result;
    }

    FrameLines frame()
    {
        FrameLines lines;
        const QStringList sides = text(u"frame").split(u' ', Qt::SkipEmptyParts);
        for (const QString &side : sides) {
            if (side == u"left")
                lines.left = true;
            else if (side == u"top")
                lines.top = true;
            else if (side == u"right")
                lines.right = true;
            else if (side == u"bottom")
                lines.bottom = true;
            else if (side == u"all")
                lines.left = lines.top = lines.right = lines.bottom = true;
            else
                fail(QStringLiteral("unknown frame side \"%1\"").arg(side));
        }
        lines.width = number(u"frameWidth", 1.0);
        lines.color = color(u"frameColor", Qt::black);
        return lines;
    }

    void readText(ReportObject &object)
    {
        const QString styleName = text(u"style");
        TextStyle base = defaultStyle();
        if (!styleName.isEmpty()) {
            const auto found = layout.styles.find(styleName);
            if (found == layout.styles.end())
                fail(QStringLiteral("unknown style \"%1\"").arg(styleName));
            base = found->second;
        }
        object.style = readFont(base);
        object.alignment = alignment();
        object.wordWrap = flag(u"wordWrap", true);
        object.stretch = flag(u"stretch");
        object.autoWidth = flag(u"autoWidth");
        object.frame = frame();
        object.fill = color(u"fill", QColor());
        object.text = xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
    }

    ReportObject readObject()
    {
        ReportObject object;
        readGeometry(object);
        const auto element = xml.name();
        if (element == u"text") {
            object.kind = ObjectKind::Text;
            readText(object);
            return object;
        }
        if (element == u"picture") {
            object.kind = ObjectKind::Picture;
            object.dataset = text(u"dataset");
            object.field = text(u"field");
            if (object.dataset.isEmpty() != object.field.isEmpty())
                fail(QStringLiteral("picture %1 needs both dataset and field, or neither").arg(object.name));
            object.keepAspectRatio = flag(u"keepAspectRatio", true);
            object.frame = frame();
        } else if (element == u"line" || element == u"frame") {
            object.kind = element == u"line" ? ObjectKind::Line : ObjectKind::Frame;
            object.penColor = color(u"color", Qt::black);
            object.penWidth = number(u"lineWidth", 1.0);
            object.fill = color(u"fill", QColor());
        } else if (element == u"gradient") {
            object.kind = ObjectKind::Gradient;
            object.beginColor = color(u"begin", Qt::white);
            object.endColor = color(u"end", Qt::white);
            const QString direction = text(u"direction", QStringLiteral("vertical"));
            if (direction != u"vertical" && direction != u"horizontal")
                fail(QStringLiteral("direction must be vertical or horizontal"));
            object.gradientDirection = direction == u"vertical" ? Qt::Vertical : Qt::Horizontal;
        } else {
            fail(QStringLiteral("unknown object <%1>").arg(element));
        }
        xml.skipCurrentElement();
        return object;
    }
};

} // namespace

ReportLayout TemplateLoader::loadFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.exists())
        throw ReportError(QStringLiteral("Cannot find the report template \"%1\".").arg(fileName));
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError(
            QStringLiteral("Cannot read the report template \"%1\": %2").arg(fileName, file.errorString()));
    return loadText(file.readAll(), fileName);
}

ReportLayout TemplateLoader::loadText(const QByteArray &xml, const QString &sourceName)
{
    return Reader(xml, sourceName).read();
}

} // namespace report
