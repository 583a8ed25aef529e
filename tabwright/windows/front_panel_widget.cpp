#include "tabwright/windows/front_panel_widget.h"

#include "common/core/single_byte_text.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <array>

#include "common/widgets/palette_colour.h"
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
    common::setPaletteColour(widget, QPalette::Window, colour);
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

    displayTimer_ = new QTimer(this);
    displayTimer_->setObjectName(QStringLiteral("Timer1"));
    displayTimer_->setInterval(1000);
    connect(displayTimer_, &QTimer::timeout, this, &FrontPanelWidget::displayTimer_Timer);

    refreshDisplay();
    overlayKeyPictures();
    displayTimer_->start();
}

void FrontPanelWidget::displayTimer_Timer()
{
    refreshDisplay();
}

void FrontPanelWidget::makeDisplay()
{
    auto* displayWindow = new QFrame(this);
    displayWindow->setObjectName(QStringLiteral("Picture5"));
    displayWindow->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    displayWindow->setLineWidth(2);
    displayWindow->setGeometry(common::twipsRect(120, 360, 3855, 975));
    fillWith(*displayWindow, kDisplayGreen);
    lblLine1_ = displayLine("lblLine1", 0, displayWindow);
    lblLine2_ = displayLine("lblLine2", 480, displayWindow);
}

void FrontPanelWidget::makeKeypad()
{
    keypad_ = new QFrame(this);
    keypad_->setObjectName(QStringLiteral("Frame1"));
    keypad_->setFrameStyle(QFrame::NoFrame);
    keypad_->setGeometry(common::twipsRect(120, 1560, 3735, 3495));
    fillWith(*keypad_, kKeypadBlue);

    QFont keyFont = font();
    keyFont.setPointSize(8);
    for (std::size_t row = 0; row < kKeyRows.size(); ++row) {
        for (std::size_t column = 0; column < kKeyColumns.size(); ++column) {
            const Key& key = kKeys[row][column];
            QPushButton* button = common::namedButton(key.name, key.caption, keypad_);
            button->setGeometry(common::twipsRect(kKeyColumns[column], kKeyRows[row], kKeySide, kKeySide));
            button->setFont(keyFont);
        }
    }
    cmdGO_ = keypad_->findChild<QPushButton*>(QStringLiteral("cmdGO"));
    connect(cmdGO_, &QPushButton::clicked, this, &FrontPanelWidget::cmdGO_Click);
    connect(keypad_->findChild<QPushButton*>(QStringLiteral("Command20")), &QPushButton::clicked, this,
            &FrontPanelWidget::escapeKey_Click);

    picGO_ = new KeyPicture("picGO", KeyPicture::Symbol::Go, keypad_);
    new KeyPicture("picUp", KeyPicture::Symbol::Up, keypad_);
    new KeyPicture("picDn", KeyPicture::Symbol::Down, keypad_);
    new KeyPicture("picLR", KeyPicture::Symbol::LeftRight, keypad_);
    connect(picGO_, &KeyPicture::clicked, this, &FrontPanelWidget::picGO_Click);
}

void FrontPanelWidget::refreshDisplay()
{
    const DisplayLines lines = display_.RefreshDisplay();
    lblLine1_->setText(common::fromBytes(lines.line1));
    lblLine2_->setText(common::fromBytes(lines.line2));
}

void FrontPanelWidget::overlayKeyPictures()
{
    static constexpr std::array<std::pair<const char*, const char*>, 4> kOverlays{{
        {"picGO", "cmdGO"},
        {"picUp", "cmdUp"},
        {"picDn", "cmdDn"},
        {"picLR", "cmdLR"},
    }};
    for (const auto& [pictureName, keyName] : kOverlays) {
        auto* picture = keypad_->findChild<KeyPicture*>(QString::fromLatin1(pictureName));
        auto* key = keypad_->findChild<QPushButton*>(QString::fromLatin1(keyName));
        picture->move(key->pos() + QPoint(kPictureInset, kPictureInset));
        picture->raise();
    }
}

void FrontPanelWidget::cmdGO_Click()
{
    display_.pressGo();
}

void FrontPanelWidget::escapeKey_Click()
{
    display_.pressEsc();
}

void FrontPanelWidget::picGO_Click()
{
    cmdGO_->click();
}

}  // namespace tabwright
