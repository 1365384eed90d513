#include "browser/file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>

namespace velmora {

namespace {

// "A (*.a)|*.a|B|*.b;*.c" -> Qt name filters whose visible part is the text before '|'.
QStringList qtNameFilters(const std::string& filter) {
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        filters << parts[i] + " (" + patterns + ")";
    }
    return filters;
}

// A preview pane beside the file list of the (non-native) Qt dialog.
void addPicturePreview(QFileDialog& dialog) {
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid) return;
    auto* preview = new QLabel(&dialog);
    preview->setFixedSize(200, 200);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    grid->addWidget(preview, 1, grid->columnCount(), grid->rowCount() - 1, 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
        QImageReader reader(path);
        QSize size = reader.size();
        if (!size.isValid()) {
            preview->clear();
            return;
        }
        reader.setScaledSize(size.scaled(preview->size(), Qt::KeepAspectRatio).boundedTo(size));
        preview->setPixmap(QPixmap::fromImage(reader.read()));
    });
}

}  // namespace

std::vector<std::string> FileDialogs::executeOpenMany(QWidget* parent, FileDialogSettings& settings) {
    std::optional<std::string> path = execute(parent, FileDialogKind::Open, settings);
    return path ? std::vector<std::string>{*path} : std::vector<std::string>{};
}

std::optional<std::string> QtFileDialogs::execute(QWidget* parent, FileDialogKind kind, FileDialogSettings& settings) {
    std::vector<std::string> chosen = run(parent, kind, settings, false);
    return chosen.empty() ? std::nullopt : std::optional(chosen.front());
}

std::vector<std::string> QtFileDialogs::executeOpenMany(QWidget* parent, FileDialogSettings& settings) {
    return run(parent, FileDialogKind::Open, settings, true);
}

std::vector<std::string> QtFileDialogs::run(QWidget* parent, FileDialogKind kind, FileDialogSettings& settings,
                                            bool many) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(kind == FileDialogKind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // A single open dialog does not insist that the named file exists.
    dialog.setFileMode(many ? QFileDialog::ExistingFiles : QFileDialog::AnyFile);
    if (kind == FileDialogKind::Save && !settings.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters = qtNameFilters(settings.filter);
    dialog.setNameFilters(filters);
    if (settings.filterIndex >= 1 && settings.filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[settings.filterIndex - 1]);
    }
    std::string ext = settings.defaultExt;
    if (!ext.empty() && ext.front() == '.') ext.erase(0, 1);
    dialog.setDefaultSuffix(QString::fromStdString(ext));
    if (!settings.title.empty()) dialog.setWindowTitle(QString::fromStdString(settings.title));
    dialog.setDirectory(settings.initialDir.empty() ? QDir::currentPath() : QString::fromStdString(settings.initialDir));
    if (!settings.fileName.empty()) dialog.selectFile(QString::fromStdString(settings.fileName));
    if (settings.picturePreview) addPicturePreview(dialog);

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    settings.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    std::vector<std::string> chosen;
    for (const QString& file : dialog.selectedFiles()) {
        chosen.push_back(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()).toStdString());
    }
    QDir::setCurrent(QFileInfo(QString::fromStdString(chosen.front())).absolutePath());
    return chosen;
}

}  // namespace velmora
