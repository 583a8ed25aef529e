#pragma once

#include <QDialog>

#include <string>
#include <string_view>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tabwright {

// "Excel Configuration": whether a macro runs at the end of a capture run, and
// its name. The values live in the controls; the caller writes them before
// ShowForm and reads them back only when it returns true. The window is
// hidden after use and keeps its values until its owner destroys it.
class frmExcelMacro : public QDialog {
    Q_OBJECT

public:
    explicit frmExcelMacro(QWidget* parent = nullptr);

    // True exactly when "&Run Excel Macro:" is checked.
    bool MacroEnable() const;
    void setMacroEnable(bool enable);

    // The macro name as typed, single-byte text, unchanged.
    std::string MacroName() const;
    void setMacroName(std::string_view name);

    // Shows the window modally; true unless it was cancelled (Cancel, Escape
    // or closing by the frame).
    bool ShowForm();

    void reject() override;

private:
    void chkExcelMacro_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    bool MacroCancelled_ = false;

    QGroupBox* fraExcelMacro_;
    QCheckBox* chkExcelMacro_;
    QLineEdit* txtExcelMacro_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
};

}  // namespace tabwright
