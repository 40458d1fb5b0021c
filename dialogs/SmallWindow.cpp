#include "SmallWindow.h"

#include "ProgramPictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

const QColor SmallWindow::FrameColour(47, 133, 184);
const QColor SmallWindow::Background(162, 221, 255);

namespace
{
constexpr int FrameLineWidth = 2;
constexpr int PictureButtonHeight = 40;
} // namespace

SmallWindow::SmallWindow(QWidget *mainWindow, QSize clientSize, Qt::WindowFlags extraFlags)
    : QDialog(mainWindow, Qt::Dialog | Qt::FramelessWindowHint | extraFlags)
{
    setFixedSize(clientSize);
    setBackground(Background);
    setFont(tahoma(19));
}

void SmallWindow::reject()
{
    done(ModalResultCancel);
}

void SmallWindow::setBackground(const QColor &colour)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colour);
    setPalette(colours);
    setAutoFillBackground(true);
}

QFont SmallWindow::tahoma(int pixelSize, bool bold)
{
    // Where Tahoma is missing, the condensed DejaVu Sans comes nearest to
    // its width, so the texts fit the places made for them.
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QPushButton *SmallWindow::addPictureButton(const QString &objectName, const QString &text,
                                           const QString &pictureFile, QPoint place, int width,
                                           int modalResult)
{
    auto *button = new QPushButton(QIcon(programPicture(pictureFile)), text, this);
    button->setObjectName(objectName);
    button->setIconSize(QSize(24, 24));
    button->setGeometry(QRect(place, QSize(width, PictureButtonHeight)));
    connect(button, &QPushButton::clicked, this, [this, modalResult] {
        if (modalResult == ModalResultOk)
            accept();
        else
            done(modalResult);
    });
    return button;
}

void SmallWindow::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    const int w = width();
    const int h = height();
    painter.fillRect(0, 0, w, FrameLineWidth, FrameColour);
    painter.fillRect(0, h - FrameLineWidth, w, FrameLineWidth, FrameColour);
    painter.fillRect(0, 0, FrameLineWidth, h, FrameColour);
    painter.fillRect(w - FrameLineWidth, 0, FrameLineWidth, h, FrameColour);
}

void SmallWindow::showEvent(QShowEvent *event)
{
    if (centredOnMainWindow)
        centreOnMainWindow();
    QDialog::showEvent(event);
}

void SmallWindow::centreOnMainWindow()
{
    QRect anchor;
    if (parentWidget() && parentWidget()->window()->isVisible())
        anchor = parentWidget()->window()->frameGeometry();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        anchor = screen->availableGeometry();
    else
        return;
    move(anchor.center() - rect().center());
}
