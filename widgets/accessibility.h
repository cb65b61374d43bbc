// How the dialogs' fields present themselves to a screen reader (through
// QAccessible, which Qt hands on to AT-SPI on Linux), while an Accessibility
// object lives:
// - A (non-editable) drop-down list is presented under the accessible name
//   it was given, with its current entry as its value; Qt alone would name it
//   by its current entry, so the reader says "1min" where the user needs to
//   hear "Analysis 1". The list that drops down is named alike. (Qt asks for
//   the presentation when the first entry is added: name a list before.)
// - A spin edit is a spin box whose value, range and step a reader can ask
//   for and set, besides its text.
// - A status line is a notification, which a reader says when it shows a new
//   message (TStatusLine::showMessage).
#pragma once

namespace capacimo::widgets {

class Accessibility {
public:
    // The first object puts the presentation in place, the last one takes it
    // away again (a unit library must leave nothing of its code behind in
    // the program that loaded it).
    Accessibility();
    ~Accessibility();
    Accessibility(const Accessibility&) = delete;
    Accessibility& operator=(const Accessibility&) = delete;
};

}  // namespace capacimo::widgets
