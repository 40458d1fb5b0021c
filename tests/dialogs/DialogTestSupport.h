#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs `whileOpen` once the modal window's own loop is running, and returns
// what the window answered. The action must close the window.
template <typename Window> int execWhile(Window &window, std::function<void()> whileOpen)
{
    QTimer::singleShot(0, &window, std::move(whileOpen));
    return window.exec();
}

// The widget that the user sees at a point of a window: the topmost visible
// child there.
inline QWidget *seenAt(QWidget &window, QWidget &child)
{
    return window.childAt(child.geometry().center());
}
