#include "UnInfo.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>

TInfoForm *InfoForm = nullptr;

namespace
{
const QSize DesignSize(341, 167);
const QRect DesignLabel(22, 8, 298, 100);
const QPoint DesignButton(91, 115);
constexpr int ScreenMargin = 40;
} // namespace

TInfoForm::TInfoForm(QWidget *mainWindow) : SmallWindow(mainWindow, DesignSize)
{
    setObjectName(QStringLiteral("InfoForm"));
    setCentredOnMainWindow(true);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setWordWrap(true);
    Label2->setGeometry(DesignLabel);

    BitBtn1 = addPictureButton(QStringLiteral("BitBtn1"), QStringLiteral("OK"),
                               QStringLiteral("button_ok.png"), DesignButton, 160, ModalResultOk);
    BitBtn1->setDefault(true);
}

void TInfoForm::DlgShow(const QString &nazwa)
{
    Label2->setText(nazwa);
    fitMessage();
    exec();
}

// The window keeps its design size for a message that fits, and otherwise
// grows, first wider for a word that no line can hold, then taller for the
// wrapped lines, never beyond the screen; the label and the button keep
// their margins.
void TInfoForm::fitMessage()
{
    const QFontMetrics metrics(Label2->font());
    int widestWord = 0;
    for (const QString &word : Label2->text().split(QRegularExpression(QStringLiteral("\\s+"))))
        widestWord = std::max(widestWord, metrics.horizontalAdvance(word));

    QSize available(1600, 1000);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        available = screen->availableGeometry().size() - QSize(ScreenMargin, ScreenMargin);

    const int extraWidth = DesignSize.width() - DesignLabel.width();
    const int widestLabel = std::max(DesignLabel.width(), available.width() - extraWidth);
    const int labelWidth =
        std::clamp(widestWord + metrics.averageCharWidth(), DesignLabel.width(), widestLabel);
    const int labelHeight = std::max(DesignLabel.height(), Label2->heightForWidth(labelWidth));
    const int extraHeight = DesignSize.height() - DesignLabel.height();

    const QSize windowSize(labelWidth + extraWidth, std::min(labelHeight + extraHeight, available.height()));
    setFixedSize(windowSize);
    Label2->setGeometry(DesignLabel.x(), DesignLabel.y(), labelWidth, windowSize.height() - extraHeight);
    BitBtn1->move(DesignButton.x() + (windowSize.width() - DesignSize.width()) / 2,
                  windowSize.height() - (DesignSize.height() - DesignButton.y()));
}
