#include "qt_window/qt_file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>

#include "browser/chosen_files.h"

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

// The names in the dialog's name box: "a.jpg" alone, or "a.jpg" "b.bmp" quoted. The
// dialog's own list of selected files holds only those its filter shows.
QStringList typedFiles(const QFileDialog& dialog) {
    const auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
    const QString text = edit ? edit->text().trimmed() : QString();
    QStringList names;
    if (!text.contains('"')) {
        if (!text.isEmpty()) names << text;
    } else {
        const QStringList parts = text.split('"');
        for (int i = 1; i < parts.size(); i += 2) {
            if (!parts[i].isEmpty()) names << parts[i];
        }
    }
    QStringList files;
    for (const QString& name : names) files << dialog.directory().absoluteFilePath(name);
    return files;
}

}  // namespace

std::vector<std::string> runFileDialog(QWidget* parent, FileDialogKind kind, FileDialogSettings& settings) {
    const bool many = kind == FileDialogKind::OpenMany;
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

    if (dialog.exec() != QDialog::Accepted) return {};
    QStringList files = many ? typedFiles(dialog) : QStringList();
    if (files.isEmpty()) files = dialog.selectedFiles();
    if (files.isEmpty()) return {};
    settings.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    std::vector<std::string> chosen;
    for (const QString& file : files) {
        chosen.push_back(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()).toStdString());
    }
    enterFolderOfChosen(chosen);
    return chosen;
}

}  // namespace velmora
