#include "gui/platform/SingleInstanceDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include "gui/platform/FileSystemLists.h"
#include "gui/platform/StringConversions.h"
#include "output/OutputFile.h"

SingleInstanceDialogBase::SingleInstanceDialogBase(const QString& objectName, const QString& title,
                                                   QWidget* parent, RememberedFolder lastFolder)
    : FixedDialog(objectName, title, parent, Keys::NoEscapeNoEnter, CloseBox::Unloads),
      m_lastFolder(std::move(lastFolder)) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
}

void SingleInstanceDialogBase::fitToTheLeft(QLabel* label) {
    const int needed = label->sizeHint().width();
    const QRect r = label->geometry();
    if (needed > r.width()) label->setGeometry(r.right() + 1 - needed, r.top(), needed, r.height());
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

FileListChain* SingleInstanceDialogBase::chainTextFiles(DriveListBox* drive,
                                                        DirectoryListBox* directory,
                                                        FileListBox* file) {
    m_chain = new FileListChain(drive, directory, file);
    m_directory = directory;
    m_chain->setPattern(QStringLiteral("*.txt"));
    m_seenFolder = m_lastFolder.folder();
    if (!m_seenFolder.isEmpty()) directory->setPath(m_seenFolder);
    return m_chain;
}

QString SingleInstanceDialogBase::home() { return QDir::homePath(); }

bool SingleInstanceDialogBase::goToTypedFolder(const QString& name) {
    if (!name.startsWith(QLatin1Char('/')) && !name.startsWith(QLatin1Char('~'))) return false;
    const QString path = FromNativePath(corvane::TypedPath(
        ToNativePath(m_directory->path()), ToNativePath(name), ToNativePath(home())));
    return QFileInfo(path).isDir() && m_directory->setPath(path);
}

bool SingleInstanceDialogBase::usedFile(const QString& path) {
    m_lastFolder.keepFolderOf(path);
    m_seenFolder = m_lastFolder.folder();
    const QString folder = QDir::cleanPath(QFileInfo(path).absolutePath());
    if (folder == m_directory->path()) return true;
    m_directory->setPath(folder);
    return false;
}

void SingleInstanceDialogBase::showEvent(QShowEvent* event) {
    // Where the other dialog saved or opened a file since, this one starts there too.
    const QString last = m_lastFolder.folder();
    if (!last.isEmpty() && last != m_seenFolder) {
        m_seenFolder = last;
        m_directory->setPath(last);
    }
    m_chain->refresh();
    FixedDialog::showEvent(event);
}
