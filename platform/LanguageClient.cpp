#include "LanguageClient.h"

#include "LanguageEngine.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <algorithm>

namespace platform
{

namespace
{

const QString WindowKey = QStringLiteral("Form");

// Texts without a single letter (a blank, a tick, a number) say the same in
// every language, and a label that starts blank is one the program fills.
bool isTranslatable(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

// The window a control belongs to, for objects that are not widgets
// (actions) the window of their nearest widget ancestor.
const QWidget *owningWindow(const QObject &object)
{
    for (const QObject *o = &object; o; o = o->parent()) {
        if (o->isWidgetType())
            return static_cast<const QWidget *>(o)->window();
    }
    return nullptr;
}

// A column of an item view is named by the field name its model gives in
// the user role of the header, otherwise by its number.
QString columnName(const QAbstractItemModel &model, int column)
{
    const QString field = model.headerData(column, Qt::Horizontal, Qt::UserRole).toString();
    return field.isEmpty() ? QString::number(column) : field;
}

int findColumn(const QAbstractItemModel &model, const QString &name)
{
    for (int column = 0; column < model.columnCount(); ++column) {
        if (columnName(model, column) == name)
            return column;
    }
    return -1;
}

} // namespace

// The name of the property in the keys of the language files; for all but
// tabs and columns also the name of the Qt property that holds the text.
const char *LanguageClient::propertyName(Property property)
{
    switch (property) {
    case Property::WindowTitle:
        return "windowTitle";
    case Property::ToolTip:
        return "toolTip";
    case Property::Text:
        return "text";
    case Property::Title:
        return "title";
    case Property::PlaceholderText:
        return "placeholderText";
    case Property::TabText:
        return "tab";
    case Property::ColumnTitle:
        return "column";
    }
    return "";
}

LanguageClient::LanguageClient(QWidget &window, LanguageEngine *engine)
    : QObject(&window), engine_(engine ? engine : LanguageEngine::application())
{
    setObjectName(QStringLiteral("LangManClient1"));
    section_ = QString::fromLatin1(window.metaObject()->className()).section(QStringLiteral("::"), -1);
    record(window);
    if (!engine_)
        return;
    connect(engine_, &LanguageEngine::languageChanged, this, &LanguageClient::translate);
    if (engine_->currentPosition() != 0)
        translate();
}

void LanguageClient::record(QWidget &window)
{
    add(window, Property::WindowTitle);
    const QList<QObject *> children = window.findChildren<QObject *>();
    for (QObject *object : children) {
        if (object->objectName().isEmpty() || object->objectName().startsWith(QLatin1String("qt_")))
            continue;
        if (owningWindow(*object) != &window)
            continue;
        recordObject(*object);
    }
}

void LanguageClient::recordObject(QObject &object)
{
    if (auto *widget = qobject_cast<QWidget *>(&object))
        add(*widget, Property::ToolTip);
    if (qobject_cast<QLabel *>(&object) || qobject_cast<QAbstractButton *>(&object) ||
        qobject_cast<QAction *>(&object))
        add(object, Property::Text);
    else if (qobject_cast<QGroupBox *>(&object) || qobject_cast<QMenu *>(&object))
        add(object, Property::Title);
    else if (qobject_cast<QLineEdit *>(&object) || qobject_cast<QPlainTextEdit *>(&object) ||
             qobject_cast<QTextEdit *>(&object))
        add(object, Property::PlaceholderText);
    else if (auto *tabs = qobject_cast<QTabWidget *>(&object)) {
        for (int index = 0; index < tabs->count(); ++index)
            add(object, Property::TabText, QString::number(index));
    } else if (auto *view = qobject_cast<QTableView *>(&object); view && view->model()) {
        for (int column = 0; column < view->model()->columnCount(); ++column)
            add(object, Property::ColumnTitle, columnName(*view->model(), column));
    }
}

void LanguageClient::add(QObject &object, Property property, const QString &part)
{
    Entry entry{&object, property, part, {}, {}, {}};
    entry.english = read(entry);
    if (!isTranslatable(entry.english))
        return;
    const QString owner = property == Property::WindowTitle ? WindowKey : object.objectName();
    entry.key = owner + u'.' + QLatin1String(propertyName(property));
    if (!part.isEmpty())
        entry.key += u'.' + part;
    entry.applied = entry.english;
    entries_.push_back(std::move(entry));
}

std::vector<DesignText> LanguageClient::designTexts() const
{
    std::vector<DesignText> texts;
    for (const Entry &entry : entries_) {
        const bool known = std::any_of(texts.begin(), texts.end(),
                                       [&](const DesignText &text) { return text.key == entry.key; });
        if (!known)
            texts.push_back({entry.key, entry.english});
    }
    return texts;
}

void LanguageClient::translate()
{
    for (Entry &entry : entries_) {
        if (!entry.object || read(entry) != entry.applied)
            continue;
        QString text = engine_ ? engine_->text(section_, entry.key) : QString();
        if (text.isNull())
            text = entry.english;
        write(entry, text);
        entry.applied = text;
    }
}

QString LanguageClient::read(const Entry &entry)
{
    QObject *object = entry.object;
    switch (entry.property) {
    case Property::TabText:
        return static_cast<QTabWidget *>(object)->tabText(entry.part.toInt());
    case Property::ColumnTitle: {
        const QAbstractItemModel *model = static_cast<QTableView *>(object)->model();
        const int column = model ? findColumn(*model, entry.part) : -1;
        return column < 0 ? QString() : model->headerData(column, Qt::Horizontal).toString();
    }
    default:
        return object->property(propertyName(entry.property)).toString();
    }
}

void LanguageClient::write(const Entry &entry, const QString &text)
{
    QObject *object = entry.object;
    switch (entry.property) {
    case Property::TabText:
        static_cast<QTabWidget *>(object)->setTabText(entry.part.toInt(), text);
        break;
    case Property::ColumnTitle: {
        QAbstractItemModel *model = static_cast<QTableView *>(object)->model();
        const int column = model ? findColumn(*model, entry.part) : -1;
        if (column >= 0)
            model->setHeaderData(column, Qt::Horizontal, text);
        break;
    }
    default:
        object->setProperty(propertyName(entry.property), text);
    }
}

} // namespace platform
