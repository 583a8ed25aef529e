#pragma once

#include <QDialog>

#include <string_view>

#include "logfetch/convert/step_values.h"

class QLabel;
class QPushButton;

namespace common {
class ElidedPathLabel;
}

namespace logfetch {

// The answers left in gOverwriteAnswer.
inline constexpr std::string_view kYes = "Y";
inline constexpr std::string_view kNo = "N";

// "Confirm Overwrite": asks whether the file named by gOverwriteFile may be
// replaced and leaves "Y" or "N" in gOverwriteAnswer. The conversion window
// and the download window both use it.
class frmConfirmOverwrite : public QDialog {
    Q_OBJECT

public:
    explicit frmConfirmOverwrite(StepValues& values, QWidget* parent = nullptr);

    // Shows the question modally and returns when it is answered.
    void ShowForm();

    // Closing the question by its frame or with Escape answers "N": a file is
    // only replaced when the user said Yes.
    void reject() override;

private:
    void Form_Load();
    void cmdYes_Click();
    void cmdNo_Click();

    StepValues& values_;
    QLabel* lblStatus_;
    common::ElidedPathLabel* lblExistingFile_;
    QLabel* question_;
    QPushButton* cmdYes_;
    QPushButton* cmdNo_;
};

}  // namespace logfetch
