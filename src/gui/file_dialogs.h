#pragma once

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

namespace tornavo {

class Settings;

// One request to the shared open or save dialog: a filter "description|pattern|...", the
// 1-based filter index to preselect and the file name to start with.
struct FileRequest {
  QString filter;
  int filter_index = 1;
  QString file_name;
};

// What the user chose; accepted is false when the dialog was cancelled.
struct FileChoice {
  bool accepted = false;
  QString path;
  int filter_index = 1;  // 1-based
};

// The window's one open dialog and one save dialog, each remembering its folder. Behind an
// interface so that tests can answer for the user.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  virtual FileChoice ChooseOpen(const FileRequest& request) = 0;
  virtual FileChoice ChooseSave(const FileRequest& request) = 0;

  // Once bound (the window binds its own), the two folders live in the settings
  // (OpenDLgInitialDir, SaveDLgInitialDir): a confirmed file's folder is stored at once.
  void BindSettings(Settings* settings) { settings_ = settings; }
  QString open_folder() const;
  QString save_folder() const;
  void set_open_folder(const QString& folder);
  void set_save_folder(const QString& folder);
  // The save dialog's filter index as last used; callers that keep it pass it back.
  int last_save_filter_index() const { return last_save_filter_index_; }

 protected:
  // Folder of a chosen file, without a trailing separator.
  static QString FolderOf(const QString& path);
  // Pairs of "description|pattern" as Qt name filters ("description (pattern pattern)").
  static QStringList NameFilters(const QString& filter);
  // A name typed without an extension gets that of the chosen filter entry (the first
  // pattern's, 1-based index); an entry for every file ("*.*") adds none.
  static QString WithFilterSuffix(const QString& path, const QString& filter, int filter_index);

  int last_save_filter_index_ = 1;

 private:
  Settings* settings_ = nullptr;
  QString open_folder_;
  QString save_folder_;
};

// The real dialogs.
class QtFileDialogs : public FileDialogs {
 public:
  explicit QtFileDialogs(QWidget* parent) : parent_(parent) {}
  FileChoice ChooseOpen(const FileRequest& request) override;
  FileChoice ChooseSave(const FileRequest& request) override;

 private:
  FileChoice Run(const FileRequest& request, bool save);
  // The chosen filter entry, 1-based.
  static int ChosenFilter(const QFileDialog& dialog, const QStringList& filters);
  QWidget* parent_;
};

}  // namespace tornavo
