#pragma once

#include <QColor>
#include <QDialog>

class QPushButton;

// The common look of the program's small windows: no title bar and no
// border of the window system, a thin dark-blue frame line drawn inside the
// client area, a light-blue background and Tahoma (or the nearest
// sans-serif). Shown modally they answer 1 (OK) or 2 (Cancel); every way of
// closing other than OK answers 2.
class SmallWindow : public QDialog
{
    Q_OBJECT
public:
    static constexpr int ModalResultOk = 1;
    static constexpr int ModalResultCancel = 2;

    static const QColor FrameColour;
    static const QColor Background;

    // Escape, the window manager's close and Cancel all decline.
    void reject() override;

protected:
    // mainWindow becomes the parent: the small window stays above it and,
    // where it is centred, is centred on it.
    SmallWindow(QWidget *mainWindow, QSize clientSize, Qt::WindowFlags extraFlags = {});

    void setBackground(const QColor &colour);
    void setCentredOnMainWindow(bool centred) { centredOnMainWindow = centred; }
    static QFont tahoma(int pixelSize, bool bold = false);

    // A 160 or 161 by 40 button with a picture from the program folder that
    // closes the window with the given modal result.
    QPushButton *addPictureButton(const QString &objectName, const QString &text, const QString &pictureFile,
                                  QPoint place, int width, int modalResult);

    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void centreOnMainWindow();

    bool centredOnMainWindow = false;
};
