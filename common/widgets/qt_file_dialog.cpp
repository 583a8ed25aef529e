#include "common/widgets/qt_file_dialog.h"
#include "common/core/single_byte_text.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>

#include "common/core/file_dialog_filters.h"
#include "common/widgets/window_text.h"

namespace common {

namespace {

constexpr QSize kDialogSize{820, 480};

}  // namespace

std::optional<std::string> QtFileDialog::open(const FileDialogRequest& request)
{
    return run(request, false);
}

std::optional<std::string> QtFileDialog::save(const FileDialogRequest& request)
{
    return run(request, true);
}

std::optional<std::string> QtFileDialog::run(const FileDialogRequest& request, bool saving)
{
    QFileDialog dialog(parent_ != nullptr ? parent_.data() : QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    if (!request.title.empty())
        dialog.setWindowTitle(fromBytes(request.title));
    // Wide enough for a dated file name, its size, kind and date, each column as wide as
    // what it shows and the name taking the rest.
    dialog.resize(dialog.sizeHint().expandedTo(kDialogSize));
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* columns = details->header();
        columns->setStretchLastSection(false);
        columns->setSectionResizeMode(QHeaderView::ResizeToContents);
        columns->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The caller asks its own question before a file is replaced.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, saving);
    const QStringList filters = qtNameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (!request.folder.empty() && QDir(pathText(request.folder)).exists())
        dialog.setDirectory(pathText(request.folder));
    if (!request.fileName.empty())
        dialog.selectFile(pathText(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst().toLocal8Bit().toStdString();
}

}  // namespace common
