#pragma once

#include <QDialog>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

struct Placed
{
    const char *name;
    QRect geometry; // relative to the parent widget
};

// Every named child sits where the form puts it.
void ExpectLayout(const QWidget &form, const std::vector<Placed> &table);

// The widgets that Tab visits from `first` on, by objectName, up to `count` of them.
QStringList TabOrder(QWidget *first, int count);

// Runs `act` once the dialog's modal loop is running; a dialog that is still
// open a few seconds later is closed so a failing test cannot hang the run.
void WhenShown(QDialog &dialog, std::function<void()> act);
