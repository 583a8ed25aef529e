#include "common/widgets/message_box_prompter.h"
#include "common/core/single_byte_text.h"

#include <QApplication>
#include <QMessageBox>

namespace common {

QString messageText(std::string_view text)
{
    QString shown = common::fromBytes(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

MessageBoxPrompter::MessageBoxPrompter(QString programTitle, QWidget* parent)
    : title_(std::move(programTitle)), parent_(parent)
{
}

void MessageBoxPrompter::showMessage(std::string_view text)
{
    QWidget* over = parent_ != nullptr ? parent_.data() : QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, title_, messageText(text), QMessageBox::Ok, over);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace common
