#include "ReportPreview.h"

#include "CsvExport.h"
#include "JpegExport.h"
#include "OdsExport.h"
#include "PageRenderer.h"
#include "PdfExport.h"
#include "ReportEngine.h"
#include "ReportError.h"
#include "ReportPrinter.h"
#include "SimpleTextExport.h"
#include "XlsExport.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace report
{

// One prepared page drawn at the preview's zoom.
class PageView : public QWidget
{
public:
    explicit PageView(const ReportEngine &engine) : engine(engine)
    {
        setObjectName(QStringLiteral("PageView"));
    }

    int page() const { return index; }
    double zoom() const { return factor; }
    int pageCount() const { return static_cast<int>(engine.preparedReport().pages.size()); }

    void show(int page, double zoom)
    {
        index = std::clamp(page, 0, std::max(0, pageCount() - 1));
        factor = zoom;
        const QSizeF paper = engine.preparedReport().page.paperUnits() * factor;
        setFixedSize(paper.toSize());
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                               QPainter::SmoothPixmapTransform);
        if (pageCount() == 0) {
            painter.fillRect(rect(), Qt::white);
            return;
        }
        painter.scale(factor, factor);
        PageRenderer::drawPage(painter, engine.preparedReport(), index);
    }

private:
    const ReportEngine &engine;
    int index = 0;
    double factor = 1.0;
};

namespace
{

QToolButton *toolButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace

ReportPreview::ReportPreview(ReportEngine &engine, QWidget *parent) : QDialog(parent), engine(engine)
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(tr("Preview"));
    setModal(true);

    view = new PageView(engine);
    scroller = new QScrollArea(this);
    scroller->setObjectName(QStringLiteral("PreviewScrollArea"));
    scroller->setAlignment(Qt::AlignCenter);
    scroller->setBackgroundRole(QPalette::Dark);
    scroller->setWidget(view);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildToolBar());
    layout->addWidget(scroller, 1);
    refreshPages();
}

QWidget *ReportPreview::buildToolBar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("PreviewToolBar"));
    auto *row = new QHBoxLayout(bar);

    QToolButton *print = toolButton(QStringLiteral("PreviewPrint"), tr("Print"), bar);
    connect(print, &QToolButton::clicked, this, &ReportPreview::printPages);
    row->addWidget(print);

    QToolButton *exportButton = toolButton(QStringLiteral("PreviewExport"), tr("Export"), bar);
    exportButton->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(exportButton);
    menu->setObjectName(QStringLiteral("PreviewExportMenu"));
    addExport(menu, tr("PDF file"), QStringLiteral("Acrobat Reader (*.pdf)"),
              [] { return std::make_unique<PdfExport>(); });
    addExport(menu, tr("Excel 97-2003 workbook"), QStringLiteral("Microsoft Excel (*.xls)"),
              [] { return std::make_unique<XlsExport>(); });
    addExport(menu, tr("OpenDocument spreadsheet"), QStringLiteral("Open Office Calc (*.ods)"),
              [] { return std::make_unique<OdsExport>(); });
    addExport(menu, tr("Semicolon-separated text"), QStringLiteral("CSV (*.csv *.txt)"),
              [] { return std::make_unique<CsvExport>(); });
    addExport(menu, tr("JPEG picture"), QStringLiteral("JPEG (*.jpg)"),
              [] { return std::make_unique<JpegExport>(); });
    addExport(menu, tr("Plain text"), QStringLiteral("Text (*.txt)"),
              [] { return std::make_unique<SimpleTextExport>(); });
    exportButton->setMenu(menu);
    row->addWidget(exportButton);

    QToolButton *zoomOut = toolButton(QStringLiteral("PreviewZoomOut"), QStringLiteral("-"), bar);
    connect(zoomOut, &QToolButton::clicked, this, [this] { zoomBy(-0.25); });
    zoomBox = new QComboBox(bar);
    zoomBox->setObjectName(QStringLiteral("PreviewZoom"));
    for (const int percent : {25, 50, 75, 100, 150, 200, 300})
        zoomBox->addItem(QStringLiteral("%1 %").arg(percent), percent / 100.0);
    zoomBox->setCurrentIndex(zoomBox->findData(1.0));
    connect(zoomBox, &QComboBox::activated, this,
            [this](int index) { setZoom(zoomBox->itemData(index).toDouble()); });
    QToolButton *zoomIn = toolButton(QStringLiteral("PreviewZoomIn"), QStringLiteral("+"), bar);
    connect(zoomIn, &QToolButton::clicked, this, [this] { zoomBy(0.25); });
    row->addWidget(zoomOut);
    row->addWidget(zoomBox);
    row->addWidget(zoomIn);

    QToolButton *pageSetup = toolButton(QStringLiteral("PreviewPageSetup"), tr("Page setup"), bar);
    connect(pageSetup, &QToolButton::clicked, this, &ReportPreview::setUpPage);
    row->addWidget(pageSetup);

    QToolButton *first = toolButton(QStringLiteral("PreviewFirst"), QStringLiteral("|<"), bar);
    QToolButton *prior = toolButton(QStringLiteral("PreviewPrior"), QStringLiteral("<"), bar);
    pageNumber = new QSpinBox(bar);
    pageNumber->setObjectName(QStringLiteral("PreviewPageNumber"));
    pageCount = new QLabel(bar);
    pageCount->setObjectName(QStringLiteral("PreviewPageCount"));
    QToolButton *next = toolButton(QStringLiteral("PreviewNext"), QStringLiteral(">"), bar);
    QToolButton *last = toolButton(QStringLiteral("PreviewLast"), QStringLiteral(">|"), bar);
    connect(first, &QToolButton::clicked, this, [this] { goToPage(0); });
    connect(prior, &QToolButton::clicked, this, [this] { goToPage(currentPage() - 1); });
    connect(next, &QToolButton::clicked, this, [this] { goToPage(currentPage() + 1); });
    connect(last, &QToolButton::clicked, this, [this] { goToPage(view->pageCount() - 1); });
    connect(pageNumber, &QSpinBox::valueChanged, this, [this](int number) { goToPage(number - 1); });
    for (QWidget *widget : std::initializer_list<QWidget *>{first, prior, pageNumber, pageCount, next, last})
        row->addWidget(widget);

    row->addStretch(1);
    QToolButton *close = toolButton(QStringLiteral("PreviewClose"), tr("Close"), bar);
    connect(close, &QToolButton::clicked, this, &QDialog::accept);
    row->addWidget(close);
    return bar;
}

void ReportPreview::addExport(QMenu *menu, const QString &caption, const QString &filter,
                              std::function<std::unique_ptr<ReportExport>()> create)
{
    menu->addAction(caption, this, [this, caption, filter, create] {
        const QString file = QFileDialog::getSaveFileName(this, caption, QString(), filter, nullptr,
                                                          QFileDialog::DontConfirmOverwrite);
        if (file.isEmpty())
            return;
        try {
            std::unique_ptr<ReportExport> exporter = create();
            exporter->setFileName(file);
            exporter->exportReport(engine.preparedReport());
        } catch (const ReportError &error) {
            QMessageBox::critical(this, windowTitle(), QString::fromStdString(error.what()));
        }
    });
}

void ReportPreview::showPrepared(ReportEngine &engine, QWidget *parent)
{
    ReportPreview preview(engine, parent);
    preview.setWindowState(Qt::WindowMaximized);
    preview.exec();
}

int ReportPreview::currentPage() const
{
    return view->page();
}

double ReportPreview::zoom() const
{
    return view->zoom();
}

void ReportPreview::setZoom(double factor)
{
    const double clamped = std::clamp(factor, 0.1, 5.0);
    view->show(currentPage(), clamped);
    const int index = zoomBox->findData(clamped);
    if (index >= 0) {
        zoomBox->setCurrentIndex(index);
    } else {
        zoomBox->setEditable(true);
        zoomBox->setEditText(QStringLiteral("%1 %").arg(qRound(clamped * 100)));
    }
}

void ReportPreview::zoomBy(double step)
{
    setZoom(zoom() + step);
}

void ReportPreview::goToPage(int index)
{
    view->show(index, zoom());
    const QSignalBlocker blocker(pageNumber);
    pageNumber->setValue(view->page() + 1);
    scroller->ensureVisible(0, 0);
}

void ReportPreview::refreshPages()
{
    const int pages = view->pageCount();
    {
        const QSignalBlocker blocker(pageNumber);
        pageNumber->setRange(pages > 0 ? 1 : 0, pages);
    }
    pageCount->setText(tr("of %1").arg(pages));
    goToPage(std::min(currentPage(), std::max(0, pages - 1)));
}

void ReportPreview::printPages()
{
    try {
        ReportPrinter::print(engine.preparedReport(), this);
    } catch (const ReportError &error) {
        QMessageBox::critical(this, windowTitle(), QString::fromStdString(error.what()));
    }
}

void ReportPreview::setUpPage()
{
    QPrinter printer;
    printer.setPageLayout(engine.layout().page.pageLayout());
    QPageSetupDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PageSettings page = engine.layout().page;
    page.setPageLayout(printer.pageLayout());
    engine.setPageSettings(page);
    try {
        engine.prepareReport();
    } catch (const std::exception &error) {
        QMessageBox::critical(this, windowTitle(), QString::fromUtf8(error.what()));
    }
    refreshPages();
}

} // namespace report
