#include "tabwright/windows/about_window.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include "testing/widgets/modal_script.h"
#include "testing/widgets/modal_watchdog.h"
#include "testing/widgets/named_control.h"
#include "testing/widgets/qt_application.h"

namespace tabwright {
namespace {

class AboutWindowTest : public ::testing::Test {
protected:
    template <typename Control>
    Control& control(const char* name)
    {
        return testing_support::namedControl<Control>(window, name);
    }

    void showForm(std::function<void()> user)
    {
        script.then("frmAbout", [user = std::move(user)](QWidget&) { user(); });
        window.ShowForm();
        EXPECT_EQ(script.stepsLeft(), 0U) << "steps left when the box closed";
        EXPECT_FALSE(window.isVisible());
    }

    QApplication& app = testing_support::application();
    frmAbout window;
    testing_support::ModalWatchdog watchdog;
    testing_support::ModalScript script;
};

TEST_F(AboutWindowTest, ShowsTheIconTitleAndVersion)
{
    EXPECT_EQ(control<QLabel>("lblVersion").text(), "Version");
    showForm([&] {
        EXPECT_EQ(window.windowTitle(), "About");
        EXPECT_EQ(control<QLabel>("lblTitle").text(), "Tabwright");
        EXPECT_EQ(control<QLabel>("lblVersion").text(), "Version 1.0.0");
        const QPixmap icon = control<QLabel>("imgIcon").pixmap();
        ASSERT_FALSE(icon.isNull());
        // Drawn from the picture: not one flat colour.
        const QImage image = icon.toImage();
        EXPECT_NE(image.pixel(image.width() / 2, image.height() / 2), image.pixel(0, 0));
        auto& ok = control<QPushButton>("cmdOK");
        EXPECT_TRUE(ok.isDefault());
        QTest::mouseClick(&ok, Qt::LeftButton);
    });
}

TEST_F(AboutWindowTest, EnterEscapeAndTheFrameCloseItAsOkDoes)
{
    const std::function<void()> ways[] = {
        [&] { QTest::keyClick(&window, Qt::Key_Return); },
        [&] { QTest::keyClick(&window, Qt::Key_Escape); },
        [&] { window.close(); },
    };
    for (const auto& leave : ways) {
        showForm([&] {
            // The version is written anew at each activation.
            EXPECT_EQ(control<QLabel>("lblVersion").text(), "Version 1.0.0");
            control<QLabel>("lblVersion").setText("Version");
            leave();
        });
        EXPECT_EQ(window.result(), QDialog::Accepted);
    }
}

}  // namespace
}  // namespace tabwright
