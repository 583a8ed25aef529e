#include "tabwright/windows/emulation_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "tabwright/testing/machine_choice.h"
#include "tabwright/testing/manual_steady_clock.h"
#include "testing/scripted_prompter.h"
#include "testing/widgets/named_control.h"
#include "testing/widgets/qt_application.h"

namespace tabwright {
namespace {

using namespace std::chrono_literals;
using testing_support::namedControl;

class EmulationWindowTest : public ::testing::Test {
protected:
    EmulationWindowTest() { open(); }

    ~EmulationWindowTest() override
    {
        delete window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void open(const QWidget* beside = nullptr)
    {
        window = new frmEmulation(instruments, handover, prompter, beside, &paceClock);
        window->show();
    }

    // Closes the window as its frame does; the deletion that follows is run too.
    void close()
    {
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    template <typename Control>
    Control& control(const char* name)
    {
        return namedControl<Control>(*window, name);
    }

    // One output's time passes and the output timer fires.
    void speak()
    {
        paceClock.advance(EmulatorPacer::kOutputInterval);
        window->outputTimer_Timer();
    }
    // What a run starting now would take first; the hand-over is left as no run reads it.
    std::string takenByARun()
    {
        handover.open();
        std::string text = handover.takePendingText();
        handover.close();
        return text;
    }

    QString text(const char* label) { return control<QLabel>(label).text(); }
    bool shown(const char* panel) { return control<QWidget>(panel).isVisible(); }

    // The user picks an entry from the machine list.
    void choose(const char* machine) { testing_support::chooseMachine(*window, machine); }

    // The user retypes the box's text key by key.
    void retype(QLineEdit& box, const char* typed)
    {
        box.selectAll();
        QTest::keyClick(&box, Qt::Key_Backspace);
        QTest::keyClicks(&box, QString::fromLatin1(typed));
    }

    void focus(const char* bar)
    {
        QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(&control<QScrollBar>(bar), &in);
    }

    QApplication& application = testing_support::application();
    EmulatedInstruments instruments;
    EmulatorSource handover;
    testing_support::ScriptedPrompter prompter;
    testing_support::ManualSteadyClock paceClock;
    QPointer<frmEmulation> window;
};

TEST_F(EmulationWindowTest, LoadsWithTheK7rxAndEveryLimitAt50)
{
    EXPECT_TRUE(handover.isOn());
    EXPECT_EQ(window->windowTitle(), "Emulator");
    auto& machine = control<QComboBox>("cboMachine");
    ASSERT_EQ(machine.count(), 4);
    EXPECT_EQ(machine.itemText(0), "K7RX");
    EXPECT_EQ(machine.itemText(1), "VQ-610");
    EXPECT_EQ(machine.itemText(2), "VQ-480");
    EXPECT_EQ(machine.itemText(3), "VQ-150");
    EXPECT_EQ(machine.currentText(), "K7RX");
    EXPECT_TRUE(shown("famK7RX"));
    EXPECT_FALSE(shown("famVQ480"));
    EXPECT_EQ(control<QWidget>("famVQ480").pos(), control<QWidget>("famK7RX").pos());
    EXPECT_EQ(control<QLineEdit>("txtIndex").text(), "0000");
    EXPECT_EQ(control<QLineEdit>("txtEOLFrequency").text(), "16");
    for (const char* label :
         {"lblMeasureLS", "lblMeasureMin", "lblMeasureMax", "lblTempLS", "lblTempMin", "lblTempMax"})
        EXPECT_EQ(text(label), "50") << label;
    EXPECT_TRUE(control<QScrollBar>("scrollMeasureLS").isEnabled());
    EXPECT_EQ(control<QGroupBox>("Frame2").title(), "DLR Panel");
    const auto& timer = control<QTimer>("Timer2");
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), 250);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(EmulationWindowTest, Timer2LeavesTheChosenModelsOutputAndShowsIt)
{
    speak();
    const std::string line = handover.pendingText();
    EXPECT_EQ(line.rfind("0 0000 :: ", 0), 0U) << line;
    EXPECT_TRUE(line.ends_with(" = 50 (RAW)  50 (C)\r\n")) << line;
    EXPECT_EQ(text("lblNextEmulatorOutput").toStdString() + "\r\n", line);

    choose("VQ-480");
    EXPECT_FALSE(shown("famK7RX"));
    EXPECT_TRUE(shown("famVQ480"));
    speak();
    EXPECT_EQ(handover.pendingText(), "\r\n\r\n\r\n");
    EXPECT_EQ(text("lblNextEmulatorOutput"), "");
    speak();
    EXPECT_EQ(handover.pendingText(), "9999\r\n");
    EXPECT_EQ(text("lblNextEmulatorOutput"), "9999");
}

TEST_F(EmulationWindowTest, Timer2SaysEveryOutputDueByItsClockAndARunGetsThemAll)
{
    handover.open();  // a run reads the emulator
    choose("VQ-480");
    instruments.vq480.reset();
    control<QLineEdit>("txtEOLFrequency").setText(QStringLiteral("2"));
    // The timer came a second late: the four outputs due come together, in order.
    paceClock.advance(1s);
    window->outputTimer_Timer();
    EXPECT_EQ(text("lblNextEmulatorOutput"), "");
    speak();
    EXPECT_EQ(handover.takePendingText(), "\r\n\r\n\r\n9999\r\n9999\r\n\r\n\r\n\r\n9999\r\n");
    EXPECT_EQ(text("lblNextEmulatorOutput"), "9999");
    window->outputTimer_Timer();  // no time passed: nothing is due
    EXPECT_EQ(handover.takePendingText(), "");
}

TEST_F(EmulationWindowTest, MachinesNotEmulatedTellSoAndSendNothingNew)
{
    const std::pair<const char*, const char*> cases[] = {
        {"VQ-610", "The VQ-610 machine is not currently emulated"},
        {"VQ-150", "The VQ-150 machine is not currently emulated"},
    };
    for (const auto& [machine, message] : cases) {
        speak();
        const std::string before = handover.pendingText();
        prompter.messages.clear();
        choose(machine);
        EXPECT_EQ(prompter.messages, std::vector<std::string>{message});
        EXPECT_TRUE(shown("famK7RX")) << machine;
        speak();
        EXPECT_EQ(handover.pendingText(), before) << machine;
        // Once the capture has taken it, nothing new arrives.
        takenByARun();
        speak();
        EXPECT_EQ(handover.pendingText(), "") << machine;
        choose("K7RX");
    }
}

TEST_F(EmulationWindowTest, TypedTextIsAChoiceComparedExactly)
{
    QLineEdit& typed = *control<QComboBox>("cboMachine").lineEdit();
    for (const char* other : {"vq-480", " VQ-480", "VQ-48", "VQ-61", "K7RX "}) {
        retype(typed, other);
        EXPECT_TRUE(shown("famK7RX")) << other;
        takenByARun();
        speak();
        EXPECT_EQ(handover.pendingText(), "") << other;
    }
    EXPECT_TRUE(prompter.messages.empty());
    retype(typed, "VQ-480");
    EXPECT_TRUE(shown("famVQ480"));
    retype(typed, "VQ-610");
    EXPECT_EQ(prompter.messages.size(), 1U);
    EXPECT_TRUE(shown("famVQ480"));
}

TEST_F(EmulationWindowTest, FinishingATypedMachineDoesNotChooseItAgain)
{
    QLineEdit& typed = *control<QComboBox>("cboMachine").lineEdit();
    typed.setFocus();
    retype(typed, "VQ-610");
    // A message box takes the focus from the box; Enter finishes the edit too.
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&typed, &out);
    QTest::keyClick(&typed, Qt::Key_Return);
    EXPECT_EQ(prompter.messages, std::vector<std::string>{"The VQ-610 machine is not currently emulated"});

    // Choosing it from the list afterwards is a choice of its own.
    choose("VQ-610");
    EXPECT_EQ(prompter.messages.size(), 2U);
}

TEST_F(EmulationWindowTest, TheIndexIsTakenAtEachKeyRelease)
{
    auto& index = control<QLineEdit>("txtIndex");
    QTest::keyClick(&index, Qt::Key_End);
    QTest::keyClicks(&index, "7");
    EXPECT_EQ(instruments.k7rx.getFourDigitIndex(), "0007");
    // A text set without a key leaves the model as it is.
    index.setText(QStringLiteral("42"));
    EXPECT_EQ(instruments.k7rx.getFourDigitIndex(), "0007");
    retype(index, "123");
    EXPECT_EQ(instruments.k7rx.getFourDigitIndex(), "0123");
}

TEST_F(EmulationWindowTest, EolFrequencyKeepsThePreviousWhileNoWholeNumber)
{
    auto& frequency = control<QLineEdit>("txtEOLFrequency");
    instruments.vq480.reset();
    frequency.setText(QStringLiteral("1"));
    for (const char* notANumber : {"", "-", "1.5", "x", "40000"})
        frequency.setText(QString::fromLatin1(notANumber));
    // Still one reading line between two groups.
    EXPECT_EQ(instruments.vq480.nextOutput(), "\r\n\r\n\r\n");
    EXPECT_EQ(instruments.vq480.nextOutput(), "9999\r\n");
    EXPECT_EQ(instruments.vq480.nextOutput(), "\r\n\r\n\r\n");
}

TEST_F(EmulationWindowTest, InjectBoxIsMirroredAndClearedAfterTheCapturesOneUse)
{
    auto& inject = control<QCheckBox>("chkInjectTab");
    EXPECT_FALSE(inject.isChecked());
    inject.click();
    EXPECT_TRUE(handover.injectingSingleTab());
    // What the capture does after using the option on one output.
    handover.clearInjectSingleTab();
    EXPECT_FALSE(inject.isChecked());
    EXPECT_FALSE(handover.injectingSingleTab());

    // The option keeps its value while the window is closed and shows again.
    inject.click();
    close();
    EXPECT_TRUE(handover.injectingSingleTab());
    handover.clearInjectSingleTab();  // no window to tell: nothing happens
    handover.setInjectSingleTab(true);
    open();
    EXPECT_TRUE(control<QCheckBox>("chkInjectTab").isChecked());
}

TEST_F(EmulationWindowTest, ClosingClosesTheEmulatorSourceAndReopeningStartsAfresh)
{
    QTest::keyClicks(&control<QLineEdit>("txtIndex"), "7");  // "00007"
    choose("VQ-480");
    speak();
    const std::string pending = handover.pendingText();
    close();
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(handover.isOn());
    EXPECT_EQ(handover.pendingText(), pending);

    open();
    EXPECT_TRUE(handover.isOn());
    EXPECT_EQ(handover.pendingText(), pending);
    EXPECT_EQ(control<QComboBox>("cboMachine").currentText(), "K7RX");
    EXPECT_EQ(control<QLineEdit>("txtIndex").text(), "0000");
    EXPECT_EQ(instruments.k7rx.getFourDigitIndex(), "0007");
    speak();
    EXPECT_EQ(handover.pendingText().rfind("0 0007 :: ", 0), 0U);
}

TEST_F(EmulationWindowTest, AClosedWindowDeletedLaterLeavesTheNewOneOpen)
{
    frmEmulation* first = window;
    first->close();
    open();
    EXPECT_NE(window.data(), first);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(handover.isOn());
    control<QCheckBox>("chkInjectTab").click();
    handover.clearInjectSingleTab();
    EXPECT_FALSE(control<QCheckBox>("chkInjectTab").isChecked());
}

TEST_F(EmulationWindowTest, PlacedBesideTheMainWindow)
{
    delete window;
    QWidget main;
    main.setGeometry(100, 50, 400, 300);
    main.show();
    open(&main);
    const QRect frame = main.frameGeometry();
    EXPECT_EQ(window->pos(), QPoint(frame.x() + frame.width() + 1, frame.y()));
}

TEST_F(EmulationWindowTest, BarsReachTheModelAndAMoveEndsAfterOneHop)
{
    auto& minimum = control<QScrollBar>("scrollMeasureMin");
    auto& maximum = control<QScrollBar>("scrollMeasureMax");
    QSignalSpy maximumChanges(&maximum, &QScrollBar::valueChanged);
    focus("scrollMeasureMin");
    minimum.setValue(80);
    EXPECT_EQ(maximum.value(), 80);
    EXPECT_EQ(text("lblMeasureMax"), "80");
    EXPECT_EQ(text("lblMeasureMin"), "80");
    EXPECT_EQ(maximumChanges.count(), 0);

    // Kept distance 20 (60 .. 80): the maximum drags the minimum.
    minimum.setValue(60);
    EXPECT_EQ(maximum.value(), 80);
    auto& keep = control<QCheckBox>("chkMaintainMeasureMinMaxWindow");
    keep.click();
    EXPECT_FALSE(control<QScrollBar>("scrollMeasureLS").isEnabled());
    focus("scrollMeasureMax");
    maximum.setValue(90);
    EXPECT_EQ(minimum.value(), 70);

    // The temperature's master moves both of its bars and leaves the
    // measurement alone.
    focus("scrollTempLS");
    control<QScrollBar>("scrollTempLS").setValue(12);
    EXPECT_EQ(text("lblTempMin"), "12");
    EXPECT_EQ(text("lblTempMax"), "12");
    speak();
    const std::string line = handover.pendingText();
    const auto measurement = std::stoi(line.substr(line.find(" = ") + 3));
    EXPECT_GE(measurement, 70) << line;
    EXPECT_LE(measurement, 90) << line;
    EXPECT_TRUE(line.ends_with("(RAW)  12 (C)\r\n")) << line;
}

TEST_F(EmulationWindowTest, ArrowKeysMoveEveryLimitBarTheWayTheyPoint)
{
    const std::pair<Qt::Key, int> keys[] = {{Qt::Key_Right, 51}, {Qt::Key_Left, 49}};
    for (const char* name : {"scrollMeasureLS", "scrollMeasureMin", "scrollMeasureMax", "scrollTempLS",
                             "scrollTempMin", "scrollTempMax"}) {
        auto& bar = control<QScrollBar>(name);
        for (const auto& [key, expected] : keys) {
            focus(name);
            bar.setValue(50);
            QTest::keyClick(&bar, key);
            EXPECT_EQ(bar.value(), expected) << name << " key " << key;
        }
    }
}

TEST_F(EmulationWindowTest, EveryCaptionShowsWhole)
{
    // The widest values a label can show.
    control<QScrollBar>("scrollMeasureLS").setValue(100);
    control<QScrollBar>("scrollTempLS").setValue(100);
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        const int textWidth = label->fontMetrics().horizontalAdvance(label->text());
        EXPECT_LE(textWidth, label->contentsRect().width()) << label->objectName().toStdString();
    }
    for (const QCheckBox* box : window->findChildren<QCheckBox*>())
        EXPECT_LE(box->sizeHint().width(), box->width()) << box->objectName().toStdString();
}

TEST_F(EmulationWindowTest, BaseLevelBarMovesTheGreenBar)
{
    auto& level = control<QScrollBar>("VScroll1");
    EXPECT_EQ(level.maximum(), 1215);
    level.setValue(600);
    EXPECT_EQ(control<QFrame>("famIll").y(), 40);
}

TEST_F(EmulationWindowTest, LimitsTooFarApartSendNothingAndSaySo)
{
    speak();
    const std::string before = handover.pendingText();
    instruments.k7rx.setMinMeasurement(-32768);
    instruments.k7rx.setMaxMeasurement(32767);
    paceClock.advance(EmulatorPacer::kOutputInterval);
    EXPECT_NO_THROW(window->outputTimer_Timer());
    EXPECT_EQ(handover.pendingText(), before);
    EXPECT_FALSE(text("lblNextEmulatorOutput").isEmpty());
}

}  // namespace
}  // namespace tabwright
