#include "tabwright/windows/front_panel_widget.h"

#include "common/core/single_byte_text.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <array>

#include "common/widgets/twips.h"
#include "common/widgets/window_text.h"
#include "tabwright/windows/key_picture.h"

namespace tabwright {
namespace {

const QColor kDisplayGreen(128, 255, 128);
const QColor kKeypadBlue(0, 0, 255);

struct Key {
    const char* name;
    const char* caption;
};

constexpr std::array<int, 5> kKeyColumns{120, 840, 1560, 2280, 3000};
constexpr std::array<int, 4> kKeyRows{240, 1080, 1920, 2760};
constexpr int kKeySide = 615;

constexpr std::array<std::array<Key, 5>, 4> kKeys{{
    {{{"Command20", "ESC"},
      {"Command19", "7"},
      {"Command18", "8"},
      {"Command17", "9"},
      {"Command16", "HOME"}}},
    {{{"cmdUp", "Up"}, {"Command14", "4"}, {"Command13", "5"}, {"Command12", "6"}, {"cmdLR", "LR"}}},
    {{{"cmdDn", "Dn"}, {"Command9", "1"}, {"Command8", "2"}, {"Command7", "3"}, {"Command6", "ENT"}}},
    {{{"Command1", "Del"}, {"Command2", "Setup"}, {"Command3", "0"}, {"Command4", "INJ"}, {"cmdGO", "GO"}}},
}};

// Each picture lies this far right of and below its key's top-left corner.
// 10 twips is two thirds of a pixel: rounded to one pixel, so that the key's
// edge stays visible all round the picture.
constexpr int kPictureInset = 1;

void fillWith(QWidget& widget, const QColor& colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

QLabel* displayLine(const char* name, int top, QFrame* display)
{
    QLabel* line = common::plainLabel(name, "", display);
    const int border = display->frameWidth();
    line->setGeometry(common::twipsRect(120, top, 3600, 435).translated(border, border));
    QFont font(QStringLiteral("Sans Serif"), 18);
    font.setStyleHint(QFont::SansSerif);
    line->setFont(font);
    line->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    fillWith(*line, kDisplayGreen);
    return line;
}

}  // namespace

FrontPanelWidget::FrontPanelWidget(QWidget* parent) : QGroupBox(QStringLiteral("DLR Panel"), parent)
{
    setObjectName(QStringLiteral("Frame2"));
    setFixedSize(common::twipsSize(4095, 5295));
    makeDisplay();
    makeKeypad();

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(1000);
    connect(Timer1_, &QTimer::timeout, this, &FrontPanelWidget::Timer1_Timer);

    RefreshDisplay();
    OverlayKeyPictures();
    Timer1_->start();
}

void FrontPanelWidget::Timer1_Timer()
{
    RefreshDisplay();
}

void FrontPanelWidget::makeDisplay()
{
    auto* picture5 = new QFrame(this);
    picture5->setObjectName(QStringLiteral("Picture5"));
    picture5->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture5->setLineWidth(2);
    picture5->setGeometry(common::twipsRect(120, 360, 3855, 975));
    fillWith(*picture5, kDisplayGreen);
    lblLine1_ = displayLine("lblLine1", 0, picture5);
    lblLine2_ = displayLine("lblLine2", 480, picture5);
}

void FrontPanelWidget::makeKeypad()
{
    Frame1_ = new QFrame(this);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    Frame1_->setFrameStyle(QFrame::NoFrame);
    Frame1_->setGeometry(common::twipsRect(120, 1560, 3735, 3495));
    fillWith(*Frame1_, kKeypadBlue);

    QFont keyFont = font();
    keyFont.setPointSize(8);
    for (std::size_t row = 0; row < kKeyRows.size(); ++row) {
        for (std::size_t column = 0; column < kKeyColumns.size(); ++column) {
            const Key& key = kKeys[row][column];
            QPushButton* button = common::namedButton(key.name, key.caption, Frame1_);
            button->setGeometry(common::twipsRect(kKeyColumns[column], kKeyRows[row], kKeySide, kKeySide));
            button->setFont(keyFont);
        }
    }
    cmdGO_ = Frame1_->findChild<QPushButton*>(QStringLiteral("cmdGO"));
    connect(cmdGO_, &QPushButton::clicked, this, &FrontPanelWidget::cmdGO_Click);
    connect(Frame1_->findChild<QPushButton*>(QStringLiteral("Command20")), &QPushButton::clicked, this,
            &FrontPanelWidget::Command20_Click);

    picGO_ = new KeyPicture("picGO", KeyPicture::Symbol::Go, Frame1_);
    new KeyPicture("picUp", KeyPicture::Symbol::Up, Frame1_);
    new KeyPicture("picDn", KeyPicture::Symbol::Down, Frame1_);
    new KeyPicture("picLR", KeyPicture::Symbol::LeftRight, Frame1_);
    connect(picGO_, &KeyPicture::clicked, this, &FrontPanelWidget::picGO_Click);
}

void FrontPanelWidget::RefreshDisplay()
{
    const DisplayLines lines = display_.RefreshDisplay();
    lblLine1_->setText(common::fromBytes(lines.line1));
    lblLine2_->setText(common::fromBytes(lines.line2));
}

void FrontPanelWidget::OverlayKeyPictures()
{
    static constexpr std::array<std::pair<const char*, const char*>, 4> kOverlays{{
        {"picGO", "cmdGO"},
        {"picUp", "cmdUp"},
        {"picDn", "cmdDn"},
        {"picLR", "cmdLR"},
    }};
    for (const auto& [pictureName, keyName] : kOverlays) {
        auto* picture = Frame1_->findChild<KeyPicture*>(QString::fromLatin1(pictureName));
        auto* key = Frame1_->findChild<QPushButton*>(QString::fromLatin1(keyName));
        picture->move(key->pos() + QPoint(kPictureInset, kPictureInset));
        picture->raise();
    }
}

void FrontPanelWidget::cmdGO_Click()
{
    display_.pressGo();
}

void FrontPanelWidget::Command20_Click()
{
    display_.pressEsc();
}

void FrontPanelWidget::picGO_Click()
{
    cmdGO_->click();
}

}  // namespace tabwright
