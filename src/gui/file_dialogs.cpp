#include "gui/file_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <algorithm>
#include <functional>

#include "core/settings/settings.h"

namespace tornavo {

QString FileDialogs::open_folder() const {
  return settings_ ? settings_->DialogFolder(Key::kOpenDlgInitialDir) : open_folder_;
}

QString FileDialogs::save_folder() const {
  return settings_ ? settings_->DialogFolder(Key::kSaveDlgInitialDir) : save_folder_;
}

void FileDialogs::set_open_folder(const QString& folder) {
  if (settings_)
    settings_->SetDialogFolder(Key::kOpenDlgInitialDir, folder);
  else
    open_folder_ = folder;
}

void FileDialogs::set_save_folder(const QString& folder) {
  if (settings_)
    settings_->SetDialogFolder(Key::kSaveDlgInitialDir, folder);
  else
    save_folder_ = folder;
}

QString FileDialogs::FolderOf(const QString& path) {
  QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
  while (folder.size() > 1 && folder.endsWith(QDir::separator())) folder.chop(1);
  return folder;
}

QStringList FileDialogs::NameFilters(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) continue;
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
  }
  return filters;
}

QString FileDialogs::WithFilterSuffix(const QString& path, const QString& filter,
                                      int filter_index) {
  if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
  // The entries as the dialog lists them: pairs whose description is not empty.
  const QStringList parts = filter.split('|');
  QStringList patterns;
  for (int i = 0; i + 1 < parts.size(); i += 2)
    if (!parts[i].isEmpty()) patterns << parts[i + 1];
  if (filter_index < 1 || filter_index > patterns.size()) return path;
  const QString first = patterns[filter_index - 1].section(';', 0, 0).trimmed();
  if (!first.startsWith(QStringLiteral("*."))) return path;
  const QString suffix = first.mid(2);
  static const QRegularExpression kPlain(QStringLiteral("^[A-Za-z0-9_]+$"));
  if (!kPlain.match(suffix).hasMatch()) return path;
  return path + (path.endsWith('.') ? QString() : QStringLiteral(".")) + suffix;
}

namespace {

// Saving, the dialog asks about replacing the file that will be written: the name as typed
// with the extension of the chosen type added, not the name as typed. No is what Enter and
// Escape answer.
class FileDialog : public QFileDialog {
 public:
  FileDialog(QWidget* parent, std::function<QString(const QString&)> final_name)
      : QFileDialog(parent), final_name_(std::move(final_name)) {
    setOption(QFileDialog::DontConfirmOverwrite);
  }

  void accept() override {
    const QStringList files = selectedFiles();
    // A folder typed in is entered, as the dialog does.
    if (acceptMode() == AcceptSave && !files.isEmpty() && !QFileInfo(files.first()).isDir()) {
      const QFileInfo target(final_name_(files.first()));
      if (target.exists() && !ConfirmReplace(target.fileName())) return;
    }
    QFileDialog::accept();
  }

 private:
  bool ConfirmReplace(const QString& name) {
    // Qt's own question, in the language of Qt's installed translation.
    QMessageBox box(
        QMessageBox::Warning, windowTitle(),
        QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
            .arg(name),
        QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
  }

  std::function<QString(const QString&)> final_name_;
};

}  // namespace

FileChoice QtFileDialogs::ChooseOpen(const FileRequest& request) { return Run(request, false); }
FileChoice QtFileDialogs::ChooseSave(const FileRequest& request) { return Run(request, true); }

FileChoice QtFileDialogs::Run(const FileRequest& request, bool save) {
  const QStringList filters = NameFilters(request.filter);
  FileDialog dialog(parent_, [&](const QString& typed) {
    return WithFilterSuffix(typed, request.filter, ChosenFilter(dialog, filters));
  });
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // Qt needs the patterns in the filter, but the program's labels already name them
  // ("Todos los archivos (*.*)"): the list shows each label alone.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setNameFilters(filters);
  if (request.filter_index >= 1 && request.filter_index <= filters.size())
    dialog.selectNameFilter(filters[request.filter_index - 1]);
  const QString folder = save ? save_folder() : open_folder();
  if (!folder.isEmpty()) dialog.setDirectory(folder);
  if (!request.file_name.isEmpty()) dialog.selectFile(request.file_name);

  FileChoice choice;
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return choice;
  choice.accepted = true;
  choice.path = dialog.selectedFiles().first();
  choice.filter_index = ChosenFilter(dialog, filters);
  if (save) {
    choice.path = WithFilterSuffix(choice.path, request.filter, choice.filter_index);
    set_save_folder(FolderOf(choice.path));
    last_save_filter_index_ = choice.filter_index;
  } else {
    set_open_folder(FolderOf(choice.path));
  }
  return choice;
}

int QtFileDialogs::ChosenFilter(const QFileDialog& dialog, const QStringList& filters) {
  // With the patterns hidden, Qt may name the chosen filter by its label alone.
  const QString chosen = dialog.selectedNameFilter();
  qsizetype index = filters.indexOf(chosen);
  for (qsizetype i = 0; index < 0 && i < filters.size(); ++i)
    if (filters[i].startsWith(chosen + QLatin1Char(' '))) index = i;
  return std::max(1, static_cast<int>(index) + 1);
}

}  // namespace tornavo
