#include "tabwright/windows/limit_group_box.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>

#include "common/widgets/palette_colour.h"
#include "common/widgets/twips.h"
#include "common/widgets/window_text.h"

namespace tabwright {
namespace {

const QColor kMasterBlue(0, 0, 255);
const QColor kMinimumGreen(0, 128, 0);
const QColor kMaximumBrown(128, 64, 0);

// Rows of the frame, in twips.
constexpr int kRowTops[] = {300, 630, 960};
constexpr int kMaintainTop = 1290;
constexpr int kCaptionLeft = 120;
constexpr int kValueLeft = 1185;
constexpr int kBarLeft = 1620;
constexpr int kRowHeight = 255;

QString barName(const char* valueName)
{
    // "lblMeasureMin" has the bar "scrollMeasureMin".
    return QStringLiteral("scroll") + QString::fromLatin1(valueName).mid(3);
}

}  // namespace

LimitGroupBox::LimitGroupBox(const LimitGroupNames& names, InstrumentModel& model, Reading reading,
                             QWidget* parent)
    : QGroupBox(QString::fromLatin1(names.caption), parent), cascade_(model, reading)
{
    setObjectName(QString::fromLatin1(names.frame));
    master_ = addRow(kRowTops[0], kMasterBlue, names.masterCaption, "Master:", names.master, masterValue_);
    minimum_ =
        addRow(kRowTops[1], kMinimumGreen, names.minimumCaption, "Minimum:", names.minimum, minimumValue_);
    maximum_ =
        addRow(kRowTops[2], kMaximumBrown, names.maximumCaption, "Maximum:", names.maximum, maximumValue_);
    maintainWindow_ = new QCheckBox(QStringLiteral("Maintain Min/Max Window"), this);
    maintainWindow_->setObjectName(QString::fromLatin1(names.maintainWindow));
    maintainWindow_->setGeometry(common::twipsRect(kCaptionLeft, kMaintainTop, 3375, kRowHeight));

    connect(master_, &QScrollBar::valueChanged, this, [this](int value) {
        cascade_.masterMoved(value);
        showLimits();
    });
    connect(minimum_, &QScrollBar::valueChanged, this, [this](int value) {
        cascade_.minimumMoved(value);
        showLimits();
    });
    connect(maximum_, &QScrollBar::valueChanged, this, [this](int value) {
        cascade_.maximumMoved(value);
        showLimits();
    });
    connect(maintainWindow_, &QCheckBox::toggled, this, [this](bool checked) {
        cascade_.maintainWindowClicked(checked);
        showLimits();
    });
    showLimits();
}

QScrollBar* LimitGroupBox::addRow(int top, const QColor& colour, const char* captionName, const char* caption,
                                  const char* valueName, QLabel*& value)
{
    QLabel* captionLabel = common::plainLabel(captionName, caption, this);
    captionLabel->setGeometry(common::twipsRect(kCaptionLeft, top, kValueLeft - kCaptionLeft, kRowHeight));
    common::setPaletteColour(*captionLabel, QPalette::WindowText, colour);
    value = common::plainLabel(valueName, "0", this);
    value->setGeometry(common::twipsRect(kValueLeft, top, kBarLeft - kValueLeft, kRowHeight));
    common::setPaletteColour(*value, QPalette::WindowText, colour);

    auto* bar = new QScrollBar(Qt::Horizontal, this);
    bar->setObjectName(barName(valueName));
    bar->setGeometry(common::twipsRect(kBarLeft, top, 1875, kRowHeight));
    bar->setRange(LimitCascade::kLowest, LimitCascade::kHighest);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    // Qt 6 inverts a scroll bar's keys by default (Right would lower the
    // value); a limit bar's Right and Left raise and lower it.
    bar->setInvertedControls(false);
    // A bar takes the focus from a click, the keyboard or the wheel, so the
    // group always knows which bar the user moves.
    bar->setFocusPolicy(Qt::WheelFocus);
    bar->installEventFilter(this);
    return bar;
}

bool LimitGroupBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == master_)
            cascade_.gotFocus(LimitBar::Master);
        else if (watched == minimum_)
            cascade_.gotFocus(LimitBar::Minimum);
        else if (watched == maximum_)
            cascade_.gotFocus(LimitBar::Maximum);
    }
    return QGroupBox::eventFilter(watched, event);
}

// The cascade's state on the controls. The bars and the box are set with their
// signals blocked: a value set here is already the cascade's own.
void LimitGroupBox::showLimits()
{
    const QSignalBlocker blockMaster(master_);
    const QSignalBlocker blockMinimum(minimum_);
    const QSignalBlocker blockMaximum(maximum_);
    const QSignalBlocker blockMaintain(maintainWindow_);
    master_->setValue(cascade_.master());
    minimum_->setValue(cascade_.minimum());
    maximum_->setValue(cascade_.maximum());
    maintainWindow_->setChecked(cascade_.maintainWindow());
    master_->setEnabled(cascade_.masterEnabled());
    masterValue_->setNum(cascade_.master());
    minimumValue_->setNum(cascade_.minimum());
    maximumValue_->setNum(cascade_.maximum());
}

}  // namespace tabwright
