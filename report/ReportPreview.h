#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QScrollArea;
class QSpinBox;

namespace report
{

class ReportEngine;
class ReportExport;
class PageView;

// The engine's preview: a modal, maximised window showing the prepared
// pages at 100 %, with printing, the exports, zoom, page set-up (which
// prepares the pages again on the new paper) and page navigation.
class ReportPreview : public QDialog
{
    Q_OBJECT
public:
    explicit ReportPreview(ReportEngine &engine, QWidget *parent = nullptr);

    // Shows the pages and returns when the user closes the window.
    static void showPrepared(ReportEngine &engine, QWidget *parent);

    int currentPage() const;
    double zoom() const;
    void setZoom(double factor);
    void goToPage(int index);

private:
    ReportEngine &engine;
    PageView *view;
    QScrollArea *scroller;
    QSpinBox *pageNumber;
    QLabel *pageCount;
    QComboBox *zoomBox;

    QWidget *buildToolBar();
    void addExport(QMenu *menu, const QString &caption, const QString &filter,
                   std::function<std::unique_ptr<ReportExport>()> create);
    void printPages();
    void setUpPage();
    void refreshPages();
    void zoomBy(double step);
};

} // namespace report
