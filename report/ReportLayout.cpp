#include "ReportLayout.h"

namespace report
{

QSizeF PageSettings::paperUnits() const
{
    const bool landscape = orientation == QPageLayout::Landscape;
    const double shortSide = std::min(widthMm, heightMm) * UnitsPerMm;
    const double longSide = std::max(widthMm, heightMm) * UnitsPerMm;
    return landscape ? QSizeF(longSide, shortSide) : QSizeF(shortSide, longSide);
}

QRectF PageSettings::printableUnits() const
{
    const QSizeF paper = paperUnits();
    return QRectF(leftMm * UnitsPerMm, topMm * UnitsPerMm, paper.width() - (leftMm + rightMm) * UnitsPerMm,
                  paper.height() - (topMm + bottomMm) * UnitsPerMm);
}

QPageLayout PageSettings::pageLayout() const
{
    const QPageSize size(QSizeF(std::min(widthMm, heightMm), std::max(widthMm, heightMm)),
                         QPageSize::Millimeter);
    return QPageLayout(size, orientation, QMarginsF(leftMm, topMm, rightMm, bottomMm),
                       QPageLayout::Millimeter);
}

void PageSettings::setPageLayout(const QPageLayout &layout)
{
    const QSizeF size = layout.pageSize().size(QPageSize::Millimeter);
    widthMm = size.width();
    heightMm = size.height();
    orientation = layout.orientation();
    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    leftMm = margins.left();
    topMm = margins.top();
    rightMm = margins.right();
    bottomMm = margins.bottom();
}

void ReportObject::setPicture(const QPicture &picture)
{
    vectorPicture = picture;
    hasVectorPicture = true;
    image = QImage();
}

void ReportObject::setPicture(const QImage &picture)
{
    image = picture;
    vectorPicture = QPicture();
    hasVectorPicture = false;
}

const Band *ReportLayout::band(BandKind kind) const
{
    for (const Band &candidate : bands)
        if (candidate.kind == kind)
            return &candidate;
    return nullptr;
}

} // namespace report
