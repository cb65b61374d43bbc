#pragma once

#include <QPointer>
#include <QString>
#include <QTabWidget>
#include <QWidget>

class QShortcut;

namespace capacimo::widgets {

class TPage95Control;

// One page of a TPage95Control, with the caption shown on its tab.
class TTab95Sheet : public QWidget {
    Q_OBJECT
public:
    // With a TPage95Control as parent the page joins it (as setPageControl).
    explicit TTab95Sheet(QWidget* parent = nullptr);
    // Creates the page and appends it to `pageControl` with `caption`.
    TTab95Sheet(TPage95Control* pageControl, const QString& caption);
    ~TTab95Sheet() override;

    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);

    // Assigning a page control takes the page out of its former one (if any)
    // and appends it as the new control's last tab. nullptr only removes it;
    // the page then has no parent and belongs to the caller.
    TPage95Control* PageControl() const { return pageControl_; }
    void setPageControl(TPage95Control* pageControl);

    // Position among the tabs of its control, -1 without one.
    int PageIndex() const;

private:
    friend class TPage95Control;
    QString caption_;
    QPointer<TPage95Control> pageControl_;
};

// A tab control owning TTab95Sheet pages, tabs in one row with scroll buttons
// when they do not fit. OnChange is raised only when the user switches pages
// (mouse on a tab, Ctrl+Tab, Ctrl+Shift+Tab), never by ActivePage set by code.
//
// Ctrl+Tab and Ctrl+Shift+Tab work anywhere in the window of the outermost
// page control and walk through every page, those of page controls nested in
// its pages included (depth first), so that each key undoes the other. After
// a switch the focus is on the new page's first field, or, when the key
// undoes the last switch not yet undone, on the field where that one started.
class TPage95Control : public QTabWidget {
    Q_OBJECT
public:
    explicit TPage95Control(QWidget* parent = nullptr);
    ~TPage95Control() override;

    int PageCount() const { return count(); }
    TTab95Sheet* Pages(int index) const;

    // Appends the page (same as page->setPageControl(this)).
    void addPage(TTab95Sheet* page);

    TTab95Sheet* ActivePage() const;
    // Shows the page and brings its tab to the front without OnChange;
    // a page of another control (or nullptr) is ignored.
    void setActivePage(TTab95Sheet* page);

    // What Ctrl+Tab (forward) and Ctrl+Shift+Tab (back) do, as a user switch.
    void stepPage(bool back);

    // The name a screen reader gives the control and its row of tabs.
    void setAccessibleTitle(const QString& title);

signals:
    void OnChange();

protected:
    bool event(QEvent* event) override;

private:
    friend class TTab95Sheet;
    void insertSheet(TTab95Sheet* page);
    void removeSheet(TTab95Sheet* page);
    void currentPageChanged(int index);
    // Only the outermost page control of a window answers the keys.
    void updateShortcuts();
    TPage95Control* outermost();
    // Shows a page as the user would, the pages holding its control first.
    void showAsUser(TTab95Sheet* page);

    int codeChanges_ = 0;  // > 0 while code (not the user) changes the current page
    QShortcut* next_ = nullptr;
    QShortcut* previous_ = nullptr;
    // The switches made by the keys and not undone yet: from which page and
    // field, to which page and field.
    struct Switch {
        QPointer<TTab95Sheet> from;
        QPointer<QWidget> fromField;
        QPointer<TTab95Sheet> to;
        QPointer<QWidget> toField;
    };
    QList<Switch> trail_;
};

}  // namespace capacimo::widgets
