#include "UnViewForm.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TViewForm *ViewForm = nullptr;

namespace
{

// A panel framed in the window's frame colour; the texts on it keep the
// window's own text colour.
QFrame *framedPanel(const QString &objectName, QRect place, QWidget *parent)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(objectName);
    panel->setFrameStyle(QFrame::Box | QFrame::Plain);
    panel->setLineWidth(2);
    QPalette colours = panel->palette();
    colours.setColor(QPalette::WindowText, SmallWindow::FrameColour);
    panel->setPalette(colours);
    panel->setGeometry(place);
    return panel;
}

QLabel *textLabel(const QString &objectName, QRect place, QWidget *panel)
{
    auto *label = new QLabel(panel);
    label->setObjectName(objectName);
    label->setGeometry(place);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, QPalette().color(QPalette::WindowText));
    label->setPalette(colours);
    return label;
}

} // namespace

TViewForm::TViewForm(QWidget *mainWindow)
    : SmallWindow(mainWindow, QSize(414, 172), Qt::Tool | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("ViewForm"));
    setAttribute(Qt::WA_ShowWithoutActivating);

    Panel1 = framedPanel(QStringLiteral("Panel1"), QRect(0, 0, 414, 39), this);
    Label1 = textLabel(QStringLiteral("Label1"), QRect(56, 7, 228, 26), Panel1);
    Label2 = textLabel(QStringLiteral("Label2"), QRect(288, 7, 118, 26), Panel1);
    Label2->setFont(tahoma(19, true));

    Panel2 = framedPanel(QStringLiteral("Panel2"), QRect(0, 39, 414, 133), this);
    Memo1 = new QPlainTextEdit(Panel2);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setFont(tahoma(16));
    QPalette colours = Memo1->palette();
    colours.setColor(QPalette::Base, Background);
    Memo1->setPalette(colours);
    auto *fill = new QVBoxLayout(Panel2);
    fill->setContentsMargins(2, 2, 2, 2);
    fill->addWidget(Memo1);
}
