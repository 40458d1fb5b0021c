#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QPicture>
#include <QRectF>
#include <QString>
#include <map>
#include <vector>

namespace report
{

// All geometry of the engine is in report units of 1/96 inch, so that a
// font size given in pixels measures the same on screen, paper and PDF.
constexpr double UnitsPerInch = 96.0;
constexpr double UnitsPerMm = UnitsPerInch / 25.4;

struct PageSettings {
    double widthMm = 210.0;
    double heightMm = 297.0;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    double leftMm = 10.0, topMm = 10.0, rightMm = 10.0, bottomMm = 10.0;

    // Paper size as printed: width and height swap in landscape.
    QSizeF paperUnits() const;
    QRectF printableUnits() const;
    QPageLayout pageLayout() const;
    void setPageLayout(const QPageLayout &layout);
};

struct TextStyle {
    QFont font;
    QColor color = Qt::black;
};

enum class ObjectKind { Text, Picture, Line, Frame, Gradient };

struct FrameLines {
    bool left = false, top = false, right = false, bottom = false;
    double width = 1.0;
    QColor color = Qt::black;
    bool any() const { return left || top || right || bottom; }
};

// One object of a band, as the template describes it. The engine copies it
// for every band instance, so the before-print event may change the copy
// (its picture above all) without touching the layout.
struct ReportObject {
    ObjectKind kind = ObjectKind::Text;
    QString name;
    QRectF rect; // inside the band, report units

    // Text
    QString text;
    TextStyle style;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    bool wordWrap = true;
    bool stretch = false;   // grows to the height of its text
    bool autoWidth = false; // grows to the width of its text
    FrameLines frame;
    QColor fill; // invalid: transparent

    // Picture: bound to a dataset field, or filled by the program.
    QString dataset;
    QString field;
    bool keepAspectRatio = true;
    QImage image;
    QPicture vectorPicture;
    bool hasVectorPicture = false;

    // Line (from the top-left to the bottom-right corner of rect) and frame
    QColor penColor = Qt::black;
    double penWidth = 1.0;

    // Gradient
    QColor beginColor = Qt::white;
    QColor endColor = Qt::white;
    Qt::Orientation gradientDirection = Qt::Vertical;

    double width() const { return rect.width(); }
    double height() const { return rect.height(); }
    void setPicture(const QPicture &picture);
    void setPicture(const QImage &picture);
};

enum class BandKind { ReportTitle, PageHeader, PageFooter, MasterData, DetailData };

struct Band {
    BandKind kind = BandKind::ReportTitle;
    QString name;
    double height = 0.0;
    QString dataset;           // data bands only
    bool startNewPage = false; // every instance but the first opens a page
    std::vector<ReportObject> objects;

    bool isData() const { return kind == BandKind::MasterData || kind == BandKind::DetailData; }
};

struct ReportLayout {
    PageSettings page;
    std::map<QString, TextStyle> styles;
    std::vector<Band> bands;

    const Band *band(BandKind kind) const;
};

} // namespace report
