// Where the calculator dialog's controls sit. The dialog was designed at 120
// pixels per inch: its frame and designed pages scale with the screen
// (designScaled), the group pages and the result columns, placed in code,
// with Scale.
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <cstddef>
#include <vector>

#include "calculator/entries.h"

class QWidget;

namespace capacimo::unit {

// Sizes the dialog places in code (the group pages' controls, the result
// columns) are given at 120 pixels per inch and multiplied by uiScale: 1.0
// at 120 pixels per inch or more, 0.8 below.
double uiScale();
void setUiScale(int pixelsPerInch);
int Scale(int value);

// The dialog's areas, top to bottom, in the dialog's pixels: the card size,
// the pages, the status line, the results and the buttons.
struct DialogFrame {
    QSize size;
    QRect settings;  // holds the next three
    QRect general;
    QRect pages;
    QRect info;
    QRect status;  // within info; its height is the line's own
    QRect results;
    QRect buttons;
    QRect reset;  // within buttons
    QRect close;
    // "Details..." and "Plant...", between Reset and Close: the designed
    // buttons keep their places.
    QRect details;
    QRect plant;
    int resultCaptionWidth = 0;  // the result list's first column
};
DialogFrame dialogFrame(const QWidget* form);

// Where an entry's label and field sit on their page, in the dialog's pixels.
// A field height of 0 takes the control's own.
struct Placement {
    QPoint label;
    QRect field;
};
Placement placementOf(const Entry& entry, const QWidget* form);

// The rows of the table of entries in the order the dialog shows them: page
// by page, each from the top.
std::vector<std::size_t> rowsInDialogOrder();

// The dialog's font: its design font, made smaller only when the system has
// no font narrow enough for every caption to fit in front of its field.
QFont fittingFont(const QWidget* form);

}  // namespace capacimo::unit
