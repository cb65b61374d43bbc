#include "launcher_dialog.h"

#include <QCollator>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyledItemDelegate>

#include "common/ui/design_scale.h"
#include "common/ui/error_box.h"
#include "host_settings.h"
#include "version_info.h"

namespace capacimo::host {

Tdlg_Main* dlg_Main = nullptr;

namespace {
const QString kSection = QStringLiteral("Settings");
const QString kLastValue = QStringLiteral("Last");

// The rows of the unit list have the designed height, whatever the style.
class FixedRowHeight : public QStyledItemDelegate {
public:
    FixedRowHeight(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
    }

private:
    int height_;
};
}  // namespace

Tdlg_Main::Tdlg_Main(Services services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      services_(std::move(services)) {
    if (services_.programDir.isEmpty()) services_.programDir = QCoreApplication::applicationDirPath();
    if (services_.settings == nullptr) services_.settings = &HostSettings();
    if (!services_.messageBox) {
        services_.messageBox = [this](const QString& text, const QString& caption) {
            showMessageBox(this, text, caption);
        };
    }

    setObjectName(QStringLiteral("dlg_Main"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    auto s = [this](int value) { return designScaled(this, value); };
    setFixedSize(s(343), s(82));
    setFont(designFont(this, 13));

    // Created in tab order: Close, the list, Execute.
    bln_Close = new QPushButton(QStringLiteral("Close"), this);
    bln_Close->setObjectName(QStringLiteral("bln_Close"));
    bln_Close->setGeometry(s(233), s(45), s(100), s(30));

    cb_Units = new QComboBox(this);
    cb_Units->setObjectName(QStringLiteral("cb_Units"));
    cb_Units->setGeometry(s(10), s(10), s(324), s(24));
    cb_Units->setEditable(false);
    cb_Units->setItemDelegate(new FixedRowHeight(s(16), cb_Units));

    btn_Execute = new QPushButton(QStringLiteral("Execute"), this);
    btn_Execute->setObjectName(QStringLiteral("btn_Execute"));
    btn_Execute->setGeometry(s(12), s(45), s(214), s(30));

    // No default button: Enter does not run a unit by accident.
    for (QPushButton* button : {btn_Execute, bln_Close}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    bln_Close->setFocus();

    connect(btn_Execute, &QPushButton::clicked, this, &Tdlg_Main::btn_ExecuteClick);
    connect(bln_Close, &QPushButton::clicked, this, &Tdlg_Main::bln_CloseClick);

    FormCreate();
}

Tdlg_Main::~Tdlg_Main() {
    FormDestroy();
    if (dlg_Main == this) dlg_Main = nullptr;
}

void Tdlg_Main::ShowFailure(const std::string& message) {
    services_.messageBox(errorBoxText(QString::fromStdString(message)), QString::fromUtf8(kApplicationTitle));
}

void Tdlg_Main::FormCreate() {
    try {
        setWindowTitle(windowTitle() + QLatin1Char(' ') + QString::fromLocal8Bit(GetFileVersionText(false)));

        cb_Units->clear();
        names_.clear();
        CUnitTable::Sinks sinks;
        sinks.accepted = [this](const std::string& name) {
            const QString text = QString::fromLocal8Bit(name);
            names_.append(text);
            AddSortedItem(text);
        };
        sinks.diagnostic = services_.diagnostic;
        sinks.errorBox = [this](const std::string& message) { ShowFailure(message); };
        units_ = std::make_unique<CUnitTable>(std::move(sinks));

        units_->SearchUnits(services_.programDir.toLocal8Bit().toStdString());
        // Adding items selects the first one; the choice below is ours.
        cb_Units->setCurrentIndex(-1);

        if (!names_.isEmpty()) {
            btn_Execute->setEnabled(true);
            QString last;
            try {
                last = services_.settings->ReadSettingString(kSection, kLastValue, QString(), /*closeAfter=*/true);
            } catch (...) {
                // A "Last" that is no text is said once; the launcher then goes
                // on as without one, and closing it stores a text again.
                ShowFailure(currentExceptionMessage().toStdString());
            }
            int selected = -1;
            for (int i = 0; i < cb_Units->count(); ++i) {
                if (cb_Units->itemText(i).compare(last, Qt::CaseInsensitive) == 0) {
                    selected = i;
                    break;
                }
            }
            cb_Units->setCurrentIndex(selected >= 0 ? selected : 0);
        } else {
            btn_Execute->setEnabled(false);
        }
        cb_Units->setEnabled(btn_Execute->isEnabled());
    } catch (...) {
        ShowFailure(currentExceptionMessage().toStdString());
    }
}

void Tdlg_Main::AddSortedItem(const QString& name) {
    // Ascending, ignoring case, in the locale's text order; equal names keep
    // their load order.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    int position = cb_Units->count();
    for (int i = 0; i < cb_Units->count(); ++i) {
        if (collator.compare(name, cb_Units->itemText(i)) < 0) {
            position = i;
            break;
        }
    }
    cb_Units->insertItem(position, name);
}

void Tdlg_Main::showEvent(QShowEvent* event) {
    // The focus shown from the start: Qt's styles draw it only once the
    // keyboard has moved it, and Enter or Space on the first focus (Close)
    // would otherwise end the program without a hint.
    setAttribute(Qt::WA_KeyboardFocusChange);
    QDialog::showEvent(event);
    if (!event->spontaneous() && !shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
}

void Tdlg_Main::FormShow() {
    if (names_.isEmpty()) services_.messageBox(QStringLiteral("No units available!"), QStringLiteral("Fehler"));
}

void Tdlg_Main::keyPressEvent(QKeyEvent* event) {
    // Esc does not close the launcher; only "Close" and the close box do.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    // Enter presses the focused button (no button is the default one).
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && button != nullptr) {
        button->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tdlg_Main::btn_ExecuteClick() {
    if (cb_Units->currentIndex() < 0) return;
    const int index = units_->IndexOfName(cb_Units->currentText().toLocal8Bit().toStdString());
    if (index < 0) return;
    units_->RunUnit(static_cast<std::size_t>(index), static_cast<UnitWindowHandle>(winId()));
}

void Tdlg_Main::bln_CloseClick() { close(); }

void Tdlg_Main::FormDestroy() {
    try {
        if (units_) units_->FreeAllUnits();
        names_.clear();
        if (cb_Units->currentIndex() >= 0)
            services_.settings->WriteSettingString(kSection, kLastValue, cb_Units->currentText(), /*closeAfter=*/true);
    } catch (...) {
        ShowFailure(currentExceptionMessage().toStdString());
    }
}

}  // namespace capacimo::host
