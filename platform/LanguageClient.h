#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

class QWidget;

namespace platform
{

class LanguageEngine;

// One translatable text of a window as designed in English.
struct DesignText {
    QString key; // "<control name>.<property>", e.g. "ButtonConnect.text"
    QString english;
};

// The language client of one window. When created (at the end of the
// window's constructor) it records the English texts of the window's named
// controls: the window title, captions and texts of labels, buttons, group
// boxes, tabs, menus and actions, tool tips, placeholder texts, and the
// column titles of item views whose model has them. Whenever the engine
// switches, it puts the current language's texts in their place, found in
// the section named after the window's class. A text that the program has
// changed since the client last set it (a label showing data, say) is left
// alone. Controls of other windows parented to this one are not touched.
class LanguageClient : public QObject
{
    Q_OBJECT
public:
    explicit LanguageClient(QWidget &window, LanguageEngine *engine = nullptr);

    // The section of the language files holding this window's texts: the
    // window's class name without namespace.
    QString section() const { return section_; }

    std::vector<DesignText> designTexts() const;

    // Puts the current language's texts into the window.
    void translate();

private:
    enum class Property { WindowTitle, ToolTip, Text, Title, PlaceholderText, TabText, ColumnTitle };

    struct Entry {
        QPointer<QObject> object;
        Property property;
        QString part; // tab index or column field, for the properties that have parts
        QString key;
        QString english;
        QString applied; // what the client last put there
    };

    void record(QWidget &window);
    void recordObject(QObject &object);
    void add(QObject &object, Property property, const QString &part = {});
    static const char *propertyName(Property property);
    static QString read(const Entry &entry);
    static void write(const Entry &entry, const QString &text);

    QString section_;
    QPointer<LanguageEngine> engine_;
    std::vector<Entry> entries_;
};

} // namespace platform
