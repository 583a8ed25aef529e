#include "tabwright/windows/emulation_window.h"

#include "common/core/single_byte_text.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

#include "common/widgets/palette_colour.h"
#include "common/widgets/twips.h"
#include "common/widgets/window_placement.h"
#include "common/widgets/window_text.h"
#include "tabwright/emulator/whole_number_text.h"
#include "tabwright/windows/front_panel_widget.h"
#include "tabwright/windows/limit_group_box.h"

namespace tabwright {
namespace {

const QColor kIllGreen(0, 192, 0);

// Design geometry, twips.
constexpr int kClientWidth = 8205;
constexpr int kClientHeight = 6390;
constexpr int kPanelLeft = 4200;
constexpr int kPanelTop = 960;
constexpr int kPanelWidth = 3855;
constexpr int kK7rxHeight = 4695;
constexpr int kVq480Height = 4095;
constexpr int kIllTop = -240;
constexpr int kIllHeight = 1215;
constexpr int kMainWindowGap = 20;

const QString kK7rx = QStringLiteral("K7RX");
const QString kVq610 = QStringLiteral("VQ-610");
const QString kVq480 = QStringLiteral("VQ-480");
const QString kVq150 = QStringLiteral("VQ-150");

const LimitGroupNames kMeasureNames{"Frame12",
                                    "Measurement Control",
                                    "Label7",
                                    "lblMeasureLS",
                                    "Label9",
                                    "lblMeasureMin",
                                    "Label11",
                                    "lblMeasureMax",
                                    "chkMaintainMeasureMinMaxWindow"};
const LimitGroupNames kTempNames{
    "Frame13",    "Temperature Control",        "Label15", "lblTempLS", "Label12", "lblTempMin", "Label8",
    "lblTempMax", "chkMaintainTempMinMaxWindow"};

// At its design place; boxes and lists are made as tall as their font needs
// when that is more than the design gives.
void place(QWidget& control, int left, int top, int width, int height)
{
    QRect area = common::twipsRect(left, top, width, height);
    area.setHeight(std::max(area.height(), control.sizeHint().height()));
    control.setGeometry(area);
}

QLabel* label(const char* name, const char* caption, QWidget* parent, int left, int top, int width)
{
    QLabel* made = common::plainLabel(name, caption, parent);
    place(*made, left, top, width, 255);
    return made;
}

QGroupBox* frame(const char* name, const char* caption, QWidget* parent)
{
    auto* made = new QGroupBox(QString::fromLatin1(caption), parent);
    made->setObjectName(QString::fromLatin1(name));
    return made;
}

// A plain box filled with a green bar, as the level pictures show.
QFrame* greenBar(const char* name, QWidget* parent)
{
    auto* bar = new QFrame(parent);
    if (name != nullptr)
        bar->setObjectName(QString::fromLatin1(name));
    common::setPaletteColour(*bar, QPalette::Window, kIllGreen);
    bar->setAutoFillBackground(true);
    return bar;
}

QFrame* boxedFrame(QWidget* parent)
{
    auto* box = new QFrame(parent);
    box->setFrameStyle(QFrame::Box | QFrame::Plain);
    return box;
}

QScrollBar* levelBar(const char* name, QWidget* parent)
{
    auto* bar = new QScrollBar(Qt::Vertical, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(common::twipsRect(120, 300, 255, 975));
    return bar;
}

// What the output label shows: the text without its line ends, so a line
// shows as itself and a group of empty lines as nothing.
QString shownOutput(std::string_view output)
{
    while (!output.empty() && (output.back() == '\r' || output.back() == '\n'))
        output.remove_suffix(1);
    return common::fromBytes(output);
}

}  // namespace

frmEmulation::frmEmulation(EmulatedInstruments& instruments, EmulatorSource& handover,
                           common::Prompter& prompter, const QWidget* placeBeside, SteadyClock* paceClock)
    : QWidget(nullptr, Qt::Window),
      instruments_(instruments),
      handover_(handover),
      prompter_(prompter),
      pacer_(paceClock != nullptr ? *paceClock : systemClock_,
             [this](std::string output) { handover_.say(std::move(output)); })
{
    setObjectName(QStringLiteral("frmEmulation"));
    setWindowTitle(QStringLiteral("Emulator"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(common::twipsSize(kClientWidth, kClientHeight));

    frontPanel_ = new FrontPanelWidget(this);
    frontPanel_->move(common::twipsPoint(0, 120));
    makeMachineChoice();
    makeK7rxPanel();
    makeVq480Panel();
    lblNextEmulatorOutput_ = common::plainLabel("lblNextEmulatorOutput", "RTF (Next Emulator Output)", this);
    // The design's width holds the caption only; an output line needs the
    // room up to the window's right edge.
    place(*lblNextEmulatorOutput_, 1320, 5880, kClientWidth - 1320 - 120, 195);

    outputTimer_ = new QTimer(this);
    outputTimer_->setObjectName(QStringLiteral("Timer2"));
    outputTimer_->setTimerType(Qt::PreciseTimer);
    outputTimer_->setInterval(EmulatorPacer::kOutputInterval);
    connect(outputTimer_, &QTimer::timeout, this, &frmEmulation::outputTimer_Timer);

    Form_Load(placeBeside);
}

frmEmulation::~frmEmulation()
{
    Form_Unload();
}

void frmEmulation::makeMachineChoice()
{
    label("Label1", "Machine Emulating:", this, kPanelLeft, 240, 2775);
    cboMachine_ = new QComboBox(this);
    cboMachine_->setObjectName(QStringLiteral("cboMachine"));
    cboMachine_->setEditable(true);
    // Typed text is a choice as it stands: it is neither added to the list
    // nor completed from it.
    cboMachine_->setInsertPolicy(QComboBox::NoInsert);
    cboMachine_->setCompleter(nullptr);
    place(*cboMachine_, kPanelLeft, 480, 1575, 315);
    connect(cboMachine_->lineEdit(), &QLineEdit::textEdited, this, &frmEmulation::cboMachine_Change);
    connect(cboMachine_, &QComboBox::activated, this, &frmEmulation::cboMachine_Click);
}

void frmEmulation::makeK7rxPanel()
{
    famK7RX_ = frame("famK7RX", "K7RX Emulation Control Panel", this);
    famK7RX_->setGeometry(common::twipsRect(kPanelLeft, kPanelTop, kPanelWidth, kK7rxHeight));

    label("Label2", "Index Number:", famK7RX_, 120, 360, 1335);
    txtIndex_ = new QLineEdit(famK7RX_);
    txtIndex_->setObjectName(QStringLiteral("txtIndex"));
    place(*txtIndex_, 1500, 300, 855, 315);
    txtIndex_->installEventFilter(this);
    // The date and time keep their design text: nothing fills them.
    label("Label3", "Date:", famK7RX_, 120, 780, 495);
    label("Label4", "RTF", famK7RX_, 660, 780, 1095);
    label("Label5", "Time:", famK7RX_, 1920, 780, 495);
    label("Label6", "RTF", famK7RX_, 2460, 780, 1095);

    measurementLimits_ = new LimitGroupBox(kMeasureNames, instruments_.k7rx, Reading::Measurement, famK7RX_);
    measurementLimits_->setGeometry(common::twipsRect(120, 1140, 3615, 1650));
    temperatureLimits_ = new LimitGroupBox(kTempNames, instruments_.k7rx, Reading::Temperature, famK7RX_);
    temperatureLimits_->setGeometry(common::twipsRect(120, 2880, 3615, 1650));
}

void frmEmulation::makeVq480Panel()
{
    famVQ480_ = frame("famVQ480", "480 Emulation Control Panel", this);
    // The design's width (4095) would reach past the window's edge at the K7RX
    // panel's place; the panel takes that panel's width instead.
    famVQ480_->setGeometry(common::twipsRect(120, 1080, kPanelWidth, kVq480Height));

    QGroupBox* eol = frame("Frame3", "EOL Frequency", famVQ480_);
    eol->setGeometry(common::twipsRect(120, 240, 3615, 735));
    label("Label10", "Every:", eol, 120, 360, 615);
    txtEOLFrequency_ = new QLineEdit(QStringLiteral("16"), eol);
    txtEOLFrequency_->setObjectName(QStringLiteral("txtEOLFrequency"));
    place(*txtEOLFrequency_, 780, 300, 735, 315);
    label("Label13", "Samples", eol, 1620, 360, 975);
    connect(txtEOLFrequency_, &QLineEdit::textChanged, this, &frmEmulation::txtEOLFrequency_Change);

    chkInjectTab_ = new QCheckBox(QStringLiteral("Inject Single Tab"), famVQ480_);
    chkInjectTab_->setObjectName(QStringLiteral("chkInjectTab"));
    chkInjectTab_->setGeometry(common::twipsRect(120, 1110, 3615, 255));
    connect(chkInjectTab_, &QCheckBox::toggled, this, &frmEmulation::chkInjectTab_Click);

    makeLevelFrames(*famVQ480_);
}

// "Base Level with Noise" and "Noise Level" are pictures only; the base level's
// bar moves its green fill.
void frmEmulation::makeLevelFrames(QGroupBox& panel)
{
    QGroupBox* withNoise = frame("Frame9", "Base Level with Noise", &panel);
    withNoise->setGeometry(common::twipsRect(120, 1440, 3615, 975));
    QFrame* noisePicture = boxedFrame(withNoise);
    noisePicture->setGeometry(common::twipsRect(240, 330, 3135, 495));
    greenBar(nullptr, noisePicture)->setGeometry(common::twipsRect(15, 15, 2055, 465));

    QGroupBox* noise = frame("Frame6", "Noise Level", &panel);
    noise->setGeometry(common::twipsRect(120, 2520, 1740, 1455));
    levelBar("VScroll2", noise);
    QFrame* noiseLevel = boxedFrame(noise);
    noiseLevel->setGeometry(common::twipsRect(480, 300, 1095, 975));
    greenBar(nullptr, noiseLevel)->setGeometry(common::twipsRect(15, 480, 1065, 480));

    QGroupBox* base = frame("Frame5", "Base Level", &panel);
    base->setGeometry(common::twipsRect(1995, 2520, 1740, 1455));
    baseLevelBar_ = levelBar("VScroll1", base);
    baseLevelBar_->setSingleStep(common::kTwipsPerPixel);
    baseLevelBar_->setPageStep(8 * common::kTwipsPerPixel);
    connect(baseLevelBar_, &QScrollBar::valueChanged, this, &frmEmulation::baseLevelBar_Change);
    auto* baseLevelFrame = boxedFrame(base);
    baseLevelFrame->setObjectName(QStringLiteral("Frame4"));
    baseLevelFrame->setGeometry(common::twipsRect(480, 300, 1095, 975));
    baseLevelFill_ = greenBar("famIll", baseLevelFrame);
    baseLevelFill_->setGeometry(common::twipsRect(0, kIllTop, 1095, kIllHeight));
}

void frmEmulation::Form_Load(const QWidget* placeBeside)
{
    loaded_ = true;
    handover_.turnOn();
    chkInjectTab_->setChecked(handover_.injectingSingleTab());
    handover_.setInjectSingleTabClearedHandler([this] { chkInjectTab_->setChecked(false); });

    if (placeBeside != nullptr) {
        const QRect main = placeBeside->frameGeometry();
        move(main.x() + main.width() + common::twipsToPixels(kMainWindowGap), main.y());
    } else {
        common::centreOnScreen(*this);
    }

    // The front panel started at "Power Up" when it was made.
    baseLevelBar_->setRange(0, kIllHeight);

    cboMachine_->addItems({kK7rx, kVq610, kVq480, kVq150});
    cboMachine_->setEditText(kK7rx);
    selectMachine(kK7rx);
    // The model keeps the index typed before; only the box starts afresh.
    txtIndex_->setText(QStringLiteral("0000"));

    for (LimitGroupBox* group : {measurementLimits_, temperatureLimits_}) {
        group->cascade().gotFocus(LimitBar::Master);
        group->masterBar().setValue(50);
    }
    famVQ480_->move(famK7RX_->pos());
    pacer_.start();
    outputTimer_->start();
}

void frmEmulation::Form_Unload()
{
    if (!loaded_)
        return;
    loaded_ = false;
    outputTimer_->stop();
    handover_.turnOff();
    handover_.setInjectSingleTabClearedHandler({});
}

void frmEmulation::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

bool frmEmulation::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtIndex_ && event->type() == QEvent::KeyRelease)
        txtIndex_KeyUp();
    return QWidget::eventFilter(watched, event);
}

// Typed text that names an item makes that item the current one first: the box
// then has nothing left to choose when the edit finishes (Enter, or the focus
// leaving for the message box), so the machine is not selected a second time.
void frmEmulation::cboMachine_Change(const QString& text)
{
    const int item = cboMachine_->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (item >= 0)
        cboMachine_->setCurrentIndex(item);
    selectMachine(text);
}

void frmEmulation::cboMachine_Click(int index)
{
    selectMachine(cboMachine_->itemText(index));
}

// The text counts as typed: letter case and blanks make another text.
void frmEmulation::selectMachine(const QString& text)
{
    if (text == kK7rx) {
        famK7RX_->show();
        famVQ480_->hide();
    } else if (text == kVq610) {
        prompter_.showMessage("The VQ-610 machine is not currently emulated");
    } else if (text == kVq480) {
        famK7RX_->hide();
        famVQ480_->show();
    } else if (text == kVq150) {
        prompter_.showMessage("The VQ-150 machine is not currently emulated");
    }
}

void frmEmulation::outputTimer_Timer()
{
    const QString machine = cboMachine_->currentText();
    InstrumentModel* model = nullptr;
    if (machine == kK7rx)
        model = &instruments_.k7rx;
    else if (machine == kVq480)
        model = &instruments_.vq480;
    try {
        if (const auto said = pacer_.tick(model))
            lblNextEmulatorOutput_->setText(shownOutput(*said));
    } catch (const LimitSpanError& error) {
        // Limits the bars cannot set: nothing is sent, and the label says why.
        lblNextEmulatorOutput_->setText(QString::fromLocal8Bit(error.what()));
    }
}

void frmEmulation::txtIndex_KeyUp()
{
    instruments_.k7rx.setFourDigitIndex(common::toBytes(txtIndex_->text()));
}

void frmEmulation::txtEOLFrequency_Change(const QString& text)
{
    // While the box holds no whole number (an empty box while the user
    // retypes) the previous frequency stays.
    if (const auto frequency = wholeNumber16(common::toBytes(text)))
        instruments_.vq480.setEOLFrequency(*frequency);
}

void frmEmulation::chkInjectTab_Click(bool checked)
{
    handover_.setInjectSingleTab(checked);
}

void frmEmulation::baseLevelBar_Change(int value)
{
    baseLevelFill_->move(baseLevelFill_->x(), common::twipsToPixels(value));
}

}  // namespace tabwright
