#pragma once

#include <QComboBox>
#include <QHash>
#include <QListWidget>
#include <QObject>
#include <QString>
#include <QStringList>

// The three file browser lists the windows chain together: a drive list, a directory list and
// a file list with a wildcard pattern. On Linux a "drive" is a mounted file system, named by its
// mount point; paths use "/" and joining never doubles it. Every list starts at the process's
// current directory. Setting a value from code emits the same change signal as the user's choice,
// so a chain reacts alike to both.

namespace FileSystemPaths {

// dir + "/" + name by the core's one rule: the separator is never doubled, whether dir ends in
// one (the root) or name starts with one.
QString joinPath(const QString& directory, const QString& name);
// The process's current directory, "/" separated, without a trailing separator (but "/").
QString currentDirectory();

}  // namespace FileSystemPaths

// drvDrive: the mounted file systems, the root first.
class DriveListBox : public QComboBox {
    Q_OBJECT
  public:
    // Lists the mounted file systems, read again as media come and go; or, given `fixedDrives`,
    // exactly those (the root should be among them) and never the system's. The choice starts
    // at the drive of the current directory.
    explicit DriveListBox(QWidget* parent = nullptr, const QStringList& fixedDrives = {});

    // The chosen drive (its mount point, e.g. "/" or "/home").
    QString drive() const;
    // Chooses the drive holding path (the longest mount point that contains it); emits
    // driveChanged when the choice changes. Returns false when no listed drive holds the path.
    bool setDrive(const QString& path);
    // The listed drive holding path, or "" when none does.
    QString driveOf(const QString& path) const;
    QStringList drives() const;

    // Re-reads the mounted file systems, keeping the chosen drive when it is still there.
    void refresh();
    // Shows the drive holding path without emitting driveChanged, re-reading the mounted file
    // systems first when the one holding path was mounted after the list was read.
    void showDriveOf(const QString& path);
    // The list is read again each time it opens, so a medium mounted since shows up.
    void showPopup() override;

  signals:
    // The user chose another drive, or setDrive changed it.
    void driveChanged(const QString& drive);

  private:
    void fillList(const QStringList& mountPoints);
    bool m_filling = false;
    bool m_fixed = false;  // given fixed drives: the list is not read from the system
};

// dirDirectory: the directories from the root down to the current one, then its
// subdirectories. Activating an entry (double-click or Enter) makes it the current directory.
class DirectoryListBox : public QListWidget {
    Q_OBJECT
  public:
    explicit DirectoryListBox(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Moves to a directory; false (and nothing changes) when it does not exist or cannot be
    // read. Emits pathChanged when the path changes.
    bool setPath(const QString& path);
    // Lists the current directory again (e.g. after a directory was made in it).
    bool refresh();

    // The full path an entry stands for (for tests and for the windows).
    QString entryPath(int row) const;

  signals:
    void pathChanged(const QString& path);

  private:
    bool fillList(const QString& path);
    QString m_path;
};

// filFile: the files of a directory whose names match a wildcard pattern ("*.txt"; several
// patterns may be separated by ";"). Matching ignores case, as the desktop's file dialogs do;
// hidden files are not listed.
class FileListBox : public QListWidget {
    Q_OBJECT
  public:
    explicit FileListBox(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Lists another directory; false (and nothing changes) when it cannot be read.
    bool setPath(const QString& path);
    QString pattern() const { return m_pattern; }
    // Lists the current directory with a new pattern; false when it cannot be read (the
    // pattern is kept all the same).
    bool setPattern(const QString& pattern);
    // Lists the current directory again, the selected file staying selected while it is there.
    bool refresh();

    // The selected file's name ("" when none) and its full path.
    QString fileName() const;
    QString filePath() const;
    // The listed names, in order.
    QStringList fileNames() const;
    // Selects a listed file as a click would, emitting fileClicked; false when not listed.
    bool clickFile(const QString& name);

  signals:
    // A file was clicked (or chosen with the keyboard); name has no directory.
    void fileClicked(const QString& name);
    // A file was double-clicked, or Enter pressed on the selected one.
    void fileChosen(const QString& name);
    void pathChanged(const QString& path);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool fillList(const QString& path, const QString& pattern);
    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
    bool m_filling = false;
};

// Chains the three lists as every browser in the program does: a drive change moves the
// directory list to that drive's current directory (the last one shown on it, at first the
// process's current directory or the drive's root), and when that fails the drive list returns,
// silently, to the drive of the directory list's path; a directory change moves the file list
// there, a failure being ignored. Owned by (and destroyed with) the drive list's window.
class FileListChain : public QObject {
    Q_OBJECT
  public:
    FileListChain(DriveListBox* drive, DirectoryListBox* directory, FileListBox* file);

    // The directory a drive change goes to for that drive.
    QString currentDirectoryOf(const QString& drive) const;
    // Sets the file list's pattern; when the directory cannot be read the drive list returns
    // to the directory list's drive. Returns whether the listing succeeded.
    bool setPattern(const QString& pattern);
    // Lists the folder again as it is now; a folder removed meanwhile gives way to the nearest
    // one above it that is still there.
    void refresh();

  private:
    void onDriveChanged(const QString& drive);
    void onDirectoryChanged(const QString& path);

    DriveListBox* m_drive;
    DirectoryListBox* m_directory;
    FileListBox* m_file;
    QHash<QString, QString> m_lastDirectory;  // per drive
};
