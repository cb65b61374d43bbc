#include "splash.h"

#include <QFont>
#include <QFrame>
#include <QPalette>
#include <QPixmap>

#include "common/ui/design_scale.h"
#include "common/ui/error_box.h"
#include "logo.h"

namespace capacimo::host {

QString ComposeLabelText(const QString& caption, const QString& value) {
    if (value.isEmpty()) return caption;
    if (caption.isEmpty()) return value;
    return caption + QLatin1Char(' ') + value;
}

TVersionView::TVersionView(QWidget* parent, const VersionBlock* block)
    : QLabel(parent), block_(block != nullptr ? block : &ProgramVersionBlock()) {
    Refresh();
}

void TVersionView::SetInfoCategory(TInfoCategory category) {
    infoCategory_ = category;
    Refresh();
}

void TVersionView::SetCaption(const QString& caption) {
    caption_ = caption;
    Refresh();
}

void TVersionView::GetPrgVer(bool shortForm) {
    composed_ = ComposeLabelText(caption_, QString::fromLocal8Bit(GetVersionDigits(shortForm, *block_)));
}

void TVersionView::GetPrgInfo(const std::string& name) {
    composed_ = ComposeLabelText(caption_, QString::fromLocal8Bit(GetVersionString(name, *block_)));
}

QString TVersionView::GetLabelText() {
    switch (infoCategory_) {
    case TInfoCategory::icVersion: GetPrgVer(false); break;
    case TInfoCategory::icShortVersion: GetPrgVer(true); break;
    case TInfoCategory::icCompanyName: GetPrgInfo("CompanyName"); break;
    case TInfoCategory::icFileDescription: GetPrgInfo("FileDescription"); break;
    case TInfoCategory::icInternalName: GetPrgInfo("InternalName"); break;
    case TInfoCategory::icLegalCopyright: GetPrgInfo("LegalCopyright"); break;
    case TInfoCategory::icLegalTrademarks: GetPrgInfo("LegalTrademarks"); break;
    case TInfoCategory::icOriginalFilename: GetPrgInfo("OriginalFilename"); break;
    case TInfoCategory::icProductName: GetPrgInfo("ProductName"); break;
    case TInfoCategory::icComments: GetPrgInfo("Comments"); break;
    }
    return composed_;
}

void TVersionView::Refresh() {
    setText(GetLabelText());
    adjustSize();  // the label sizes itself to its text
}

Tdlg_Intro::Tdlg_Intro(QWidget* parent, const VersionBlock* block)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("dlg_Intro"));
    auto s = [this](int value) { return designScaled(this, value); };
    setFixedSize(s(370), s(153));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    setFont(designFont(this, 14));

    bev_Frame = new QFrame(this);
    bev_Frame->setObjectName(QStringLiteral("bev_Frame"));
    bev_Frame->setGeometry(0, 0, width(), height());
    // A raised frame bevel: a grey rectangle with a white one one pixel in,
    // which on the white form reads as an etched line all round.
    bev_Frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bev_Frame->setLineWidth(1);
    bev_Frame->setMidLineWidth(0);
    QPalette bevelPal = bev_Frame->palette();
    bevelPal.setColor(QPalette::Light, Qt::white);
    bevelPal.setColor(QPalette::Dark, QColor(0x80, 0x80, 0x80));
    bevelPal.setColor(QPalette::Mid, QColor(0x80, 0x80, 0x80));
    bev_Frame->setPalette(bevelPal);

    lbl_Name = new QLabel(QString::fromUtf8(kApplicationTitle), this);
    lbl_Name->setObjectName(QStringLiteral("lbl_Name"));
    lbl_Name->setGeometry(s(6), s(14), s(246), s(26));
    QFont nameFont(QStringLiteral("Arial"));
    nameFont.setStyleHint(QFont::SansSerif);
    nameFont.setPixelSize(s(23));
    nameFont.setBold(true);
    nameFont.setItalic(true);
    lbl_Name->setFont(nameFont);
    QPalette namePal = lbl_Name->palette();
    namePal.setColor(QPalette::WindowText, Qt::blue);
    lbl_Name->setPalette(namePal);

    lbl_Version = new TVersionView(this, block);
    lbl_Version->setObjectName(QStringLiteral("lbl_Version"));
    QFont versionFont = designFont(this, 17);
    versionFont.setBold(true);
    lbl_Version->setFont(versionFont);
    lbl_Version->move(s(10), s(46));
    lbl_Version->SetInfoCategory(TInfoCategory::icVersion);
    lbl_Version->SetCaption(QStringLiteral("Version"));

    img_Logo = new QLabel(this);
    img_Logo->setObjectName(QStringLiteral("img_Logo"));
    img_Logo->setGeometry(s(100), s(96), s(264), s(50));
    img_Logo->setAlignment(Qt::AlignCenter);
    // The picture scales with the form like every other design size.
    img_Logo->setPixmap(QPixmap::fromImage(DrawLogo(QSize(s(kLogoWidth), s(kLogoHeight)), devicePixelRatioF())));

    FormCreate();
}

void Tdlg_Intro::FormCreate() {
    // The logo takes the size of its picture and sits 6 pixels from the right
    // and bottom edges, whatever that size is.
    const QSize picture = img_Logo->pixmap().deviceIndependentSize().toSize();
    img_Logo->resize(picture);
    img_Logo->move(width() - picture.width() - 6, height() - picture.height() - 6);
}

void WaitForMinimumTime(std::uint32_t start, std::uint32_t minimumMs, const std::function<std::uint32_t()>& tickCount,
                        const std::function<void()>& idle) {
    while (static_cast<std::uint32_t>(tickCount() - start) < minimumMs) idle();
}

}  // namespace capacimo::host
