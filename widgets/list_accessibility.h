// On Linux, Qt presents a drop-down list to a screen reader under the name of
// its current entry, so the reader says "1min" where the user needs to hear
// "Analysis 1". While a ListAccessibility object lives, a (non-editable) list
// that was given an accessible name is presented under that name, with its
// current entry as its value.
#pragma once

namespace capacimo::widgets {

class ListAccessibility {
public:
    // The first object puts the presentation in place, the last one takes it
    // away again (a unit library must leave nothing of its code behind in
    // the program that loaded it).
    ListAccessibility();
    ~ListAccessibility();
    ListAccessibility(const ListAccessibility&) = delete;
    ListAccessibility& operator=(const ListAccessibility&) = delete;
};

}  // namespace capacimo::widgets
