#pragma once

#include <QComboBox>
#include <QPointer>

namespace platform
{

class LanguageEngine;

// The flag list: a drop-down list of the engine's languages, each with its
// flag and name, in the engine's order. When the user picks an entry it
// switches the engine to that language by itself, then emits clicked().
// Setting the selection from the program switches nothing.
class LangFlagsCombo : public QComboBox
{
    Q_OBJECT
public:
    explicit LangFlagsCombo(QWidget *parent = nullptr, LanguageEngine *engine = nullptr);

    // The selected list position; -1 when none is selected.
    int selectedPosition() const { return currentIndex(); }

    // Selects a list position; a position outside the list selects none.
    void setSelectedPosition(int position);

signals:
    void clicked();

private:
    void fill();
    void pick(int position);

    QPointer<LanguageEngine> engine_;
};

} // namespace platform
