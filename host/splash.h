// The splash form shown while the host starts, and the version label on it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QLabel>
#include <QWidget>

#include "version_info.h"

class QFrame;

namespace capacimo::host {

enum class TInfoCategory {
    icVersion,
    icShortVersion,
    icCompanyName,
    icFileDescription,
    icInternalName,
    icLegalCopyright,
    icLegalTrademarks,
    icOriginalFilename,
    icProductName,
    icComments,
};

// Caption and value joined by one blank; either alone when the other is empty.
QString ComposeLabelText(const QString& caption, const QString& value);

// A label that shows one item of the program's version information behind
// its caption, e.g. "Version 1.0.0.0".
class TVersionView : public QLabel {
    Q_OBJECT
public:
    explicit TVersionView(QWidget* parent = nullptr, const VersionBlock* block = nullptr);

    TInfoCategory InfoCategory() const { return infoCategory_; }
    void SetInfoCategory(TInfoCategory category);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);

    // Composes the text for the current category and returns it.
    QString GetLabelText();
    void GetPrgVer(bool shortForm);
    void GetPrgInfo(const std::string& name);

private:
    void Refresh();

    const VersionBlock* block_;
    TInfoCategory infoCategory_ = TInfoCategory::icVersion;
    QString caption_;
    QString composed_;
};

// The borderless splash: product name, version and logo on white.
class Tdlg_Intro : public QWidget {
    Q_OBJECT
public:
    explicit Tdlg_Intro(QWidget* parent = nullptr, const VersionBlock* block = nullptr);

    QFrame* bev_Frame;
    TVersionView* lbl_Version;
    QLabel* lbl_Name;
    QLabel* img_Logo;

    // Fits the logo to its picture and places it at the bottom right.
    void FormCreate();
};

// Milliseconds the splash stays up at least.
inline constexpr std::uint32_t kSplashMinimumMs = 1000;

// Runs idle() until tickCount() - start, as an unsigned 32-bit difference,
// reaches minimumMs; wraps of the counter are harmless. Returns at once
// when the time has already passed.
void WaitForMinimumTime(std::uint32_t start, std::uint32_t minimumMs, const std::function<std::uint32_t()>& tickCount,
                        const std::function<void()>& idle);

}  // namespace capacimo::host
