#include "gui/file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "core/app/settings.h"

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

FileChoice QtFileDialogs::ChooseOpen(const FileRequest& request) { return Run(request, false); }
FileChoice QtFileDialogs::ChooseSave(const FileRequest& request) { return Run(request, true); }

FileChoice QtFileDialogs::Run(const FileRequest& request, bool save) {
  QFileDialog dialog(parent_);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // Qt needs the patterns in the filter, but the program's labels already name them
  // ("Todos los archivos (*.*)"): the list shows each label alone.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  const QStringList filters = NameFilters(request.filter);
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
  // With the patterns hidden, Qt may name the chosen filter by its label alone.
  const QString chosen = dialog.selectedNameFilter();
  qsizetype index = filters.indexOf(chosen);
  for (qsizetype i = 0; index < 0 && i < filters.size(); ++i)
    if (filters[i].startsWith(chosen + QLatin1Char(' '))) index = i;
  choice.filter_index = std::max(1, static_cast<int>(index) + 1);
  if (save) {
    choice.path = WithFilterSuffix(choice.path, request.filter, choice.filter_index);
    set_save_folder(FolderOf(choice.path));
    last_save_filter_index_ = choice.filter_index;
  } else {
    set_open_folder(FolderOf(choice.path));
  }
  return choice;
}

}  // namespace tornavo
