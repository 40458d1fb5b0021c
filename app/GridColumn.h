#pragma once

#include <QString>

// One column of a data grid: the field it shows, its title, its design
// width, and how its values are drawn.
struct GridColumn {
    enum class Kind {
        Text,          // the field's text
        SmallText,     // the field's text in a smaller font (long free text)
        Mark,          // an integer drawn as a check box where the grid says so
        Photo,         // a blob, drawn by the grid's cell-drawing handler
        DateTime,      // date and time in the system's short format
        CenteredNumber // a number, centred
    };

    QString field;
    QString title;
    int width = 64;
    Kind kind = Kind::Text;
};
