#include "gui/platform/FileSystemLists.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

#include "common/PathJoin.h"
#include "gui/platform/StringConversions.h"

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kIndentPixels = 8;

// Draws each directory one step further in than its parent, icon and all.
class IndentDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem shifted = option;
        shifted.rect.adjust(indent(index), 0, 0, 0);
        QStyledItemDelegate::paint(painter, shifted, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(index), 0);
    }

  private:
    static int indent(const QModelIndex& index) {
        return index.data(kLevelRole).toInt() * kIndentPixels;
    }
};

QString cleanAbsolute(const QString& path) { return QDir::cleanPath(QDir(path).absolutePath()); }

// Whether the directory can be listed: it exists, is a directory and we may read and enter it.
bool isListable(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isDir() && info.isReadable() && info.isExecutable();
}

bool contains(const QString& mountPoint, const QString& path) {
    if (mountPoint == QLatin1String("/")) return path.startsWith(QLatin1Char('/'));
    return path == mountPoint || path.startsWith(mountPoint + QLatin1Char('/'));
}

QStringList mountedDirectories() {
    QStringList points;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid()) continue;
        const QString root = QDir::cleanPath(volume.rootPath());
        // Containers bind-mount single files (/etc/hosts); those are no drives.
        if (!QFileInfo(root).isDir()) continue;
        if (!points.contains(root)) points.append(root);
    }
    if (!points.contains(QStringLiteral("/"))) points.append(QStringLiteral("/"));
    return points;
}

}  // namespace

namespace FileSystemPaths {

QString joinPath(const QString& directory, const QString& name) {
    return FromNativePath(corvane::JoinPath(ToNativePath(directory), ToNativePath(name)));
}

QString currentDirectory() { return QDir::cleanPath(QDir::currentPath()); }

}  // namespace FileSystemPaths

// ---------------------------------------------------------------------------------------------
// Drive list

DriveListBox::DriveListBox(QWidget* parent, const QStringList& fixedDrives)
    : QComboBox(parent), m_fixed(!fixedDrives.isEmpty()) {
    setObjectName(QStringLiteral("drvDrive"));
    setEditable(false);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) {
        if (!m_filling) emit driveChanged(drive());
    });
    if (!m_fixed) {
        fillList(mountedDirectories());
        return;
    }
    QStringList cleaned;
    for (const QString& p : fixedDrives) cleaned.append(QDir::cleanPath(p));
    fillList(cleaned);
}

QString DriveListBox::drive() const { return currentData(kPathRole).toString(); }

QStringList DriveListBox::drives() const {
    QStringList list;
    for (int i = 0; i < count(); ++i) list.append(itemData(i, kPathRole).toString());
    return list;
}

QString DriveListBox::driveOf(const QString& path) const {
    const QString clean = cleanAbsolute(path);
    QString best;
    for (const QString& point : drives()) {
        if (contains(point, clean) && point.size() > best.size()) best = point;
    }
    return best;
}

bool DriveListBox::setDrive(const QString& path) {
    const QString target = driveOf(path);
    if (target.isEmpty()) return false;
    const int index = findData(target, kPathRole);
    if (index < 0) return false;
    setCurrentIndex(index);  // emits driveChanged when it changes
    return true;
}

void DriveListBox::refresh() {
    if (m_fixed) return;
    const QString keep = drive();
    fillList(mountedDirectories());
    const int index = findData(keep, kPathRole);
    if (index >= 0) {
        m_filling = true;
        setCurrentIndex(index);
        m_filling = false;
    }
}

void DriveListBox::showDriveOf(const QString& path) {
    if (!m_fixed) {
        const QString mount = QDir::cleanPath(QStorageInfo(path).rootPath());
        if (!mount.isEmpty() && findData(mount, kPathRole) < 0) refresh();
    }
    const int index = findData(driveOf(path), kPathRole);
    if (index < 0 || index == currentIndex()) return;
    m_filling = true;
    setCurrentIndex(index);
    m_filling = false;
}

void DriveListBox::showPopup() {
    refresh();
    QComboBox::showPopup();
}

void DriveListBox::fillList(const QStringList& mountPoints) {
    QStringList points = mountPoints;
    points.removeDuplicates();
    std::sort(points.begin(), points.end(), [](const QString& a, const QString& b) {
        const bool aRoot = a == QLatin1String("/");
        const bool bRoot = b == QLatin1String("/");
        if (aRoot != bRoot) return aRoot;
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });

    m_filling = true;
    clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const QString& point : points) addItem(icon, point, point);
    const QString here = driveOf(FileSystemPaths::currentDirectory());
    const int index = findData(here, kPathRole);
    setCurrentIndex(index >= 0 ? index : 0);
    m_filling = false;
}

// ---------------------------------------------------------------------------------------------
// Directory list

DirectoryListBox::DirectoryListBox(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("dirDirectory"));
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (item) setPath(item->data(kPathRole).toString());
    });
    if (!fillList(FileSystemPaths::currentDirectory())) fillList(QStringLiteral("/"));
}

bool DirectoryListBox::setPath(const QString& path) {
    if (path.isEmpty()) return false;
    const QString target = cleanAbsolute(path);
    if (!isListable(target)) return false;
    const bool changed = target != m_path;
    if (!fillList(target)) return false;
    if (changed) emit pathChanged(m_path);
    return true;
}

bool DirectoryListBox::refresh() { return fillList(m_path); }

QString DirectoryListBox::entryPath(int row) const {
    const QListWidgetItem* it = item(row);
    return it ? it->data(kPathRole).toString() : QString();
}

bool DirectoryListBox::fillList(const QString& path) {
    if (!isListable(path)) return false;
    const QDir dir(path);
    const QStringList children =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);

    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The chain from the root down to the directory itself, each one step further in.
    QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString walked = QStringLiteral("/");
    int depth = 0;
    auto add = [this](const QIcon& icon, const QString& label, const QString& full, int level) {
        auto* it = new QListWidgetItem(icon, label);
        it->setData(kPathRole, full);
        it->setData(kLevelRole, level);
        it->setToolTip(full);
        addItem(it);
    };
    add(open, QStringLiteral("/"), walked, depth);
    for (const QString& part : parts) {
        walked = FileSystemPaths::joinPath(walked, part);
        add(open, part, walked, ++depth);
    }
    const int currentRow = count() - 1;
    for (const QString& child : children) {
        add(closed, child, FileSystemPaths::joinPath(walked, child), depth + 1);
    }
    setCurrentRow(currentRow);
    // Deep paths push the current directory down the list: keep it in sight.
    scrollToItem(item(currentRow), QAbstractItemView::PositionAtCenter);
    m_path = walked;
    return true;
}

// ---------------------------------------------------------------------------------------------
// File list

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("filFile"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A click or a keyboard move that selects a file; focus alone selects nothing.
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (m_filling) return;
        const QString name = fileName();
        if (!name.isEmpty()) emit fileClicked(name);
    });
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { emit fileChosen(item->text()); });
    const QString here = FileSystemPaths::currentDirectory();
    if (!fillList(here, m_pattern)) m_path = here;
}

void FileListBox::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !fileName().isEmpty()) {
        emit fileChosen(fileName());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

bool FileListBox::setPath(const QString& path) {
    if (path.isEmpty()) return false;
    const QString target = cleanAbsolute(path);
    const bool changed = target != m_path;
    if (!fillList(target, m_pattern)) return false;
    if (changed) emit pathChanged(m_path);
    return true;
}

bool FileListBox::setPattern(const QString& pattern) {
    m_pattern = pattern;
    return fillList(m_path, m_pattern);
}

bool FileListBox::refresh() {
    const QString selected = fileName();
    if (!fillList(m_path, m_pattern)) return false;
    const QList<QListWidgetItem*> found =
        findItems(selected, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (!selected.isEmpty() && !found.isEmpty()) {
        m_filling = true;  // selected already: no new click
        setCurrentItem(found.first());
        m_filling = false;
    }
    return true;
}

QString FileListBox::fileName() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

QString FileListBox::filePath() const {
    const QString name = fileName();
    return name.isEmpty() ? QString() : FileSystemPaths::joinPath(m_path, name);
}

QStringList FileListBox::fileNames() const {
    QStringList names;
    for (int i = 0; i < count(); ++i) names.append(item(i)->text());
    return names;
}

bool FileListBox::clickFile(const QString& name) {
    const QList<QListWidgetItem*> found =
        findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty()) return false;
    QListWidgetItem* it = found.first();
    if (it->isSelected()) {
        emit fileClicked(name);  // a second click on the same file is a click all the same
    } else {
        setCurrentItem(it);
    }
    return true;
}

bool FileListBox::fillList(const QString& path, const QString& pattern) {
    if (!isListable(path)) return false;
    QDir dir(path);
    QStringList filters;
    for (const QString& p : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString f = p.trimmed();
        // "*.*" means every file, as on the desktops the pattern comes from.
        filters.append(f == QLatin1String("*.*") ? QStringLiteral("*") : f);
    }
    if (filters.isEmpty()) filters.append(QStringLiteral("*"));
    dir.setNameFilters(filters);
    const QStringList names = dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);

    m_filling = true;
    clear();
    addItems(names);
    m_filling = false;
    m_path = QDir::cleanPath(dir.absolutePath());
    return true;
}

// ---------------------------------------------------------------------------------------------
// The chain

FileListChain::FileListChain(DriveListBox* drive, DirectoryListBox* directory, FileListBox* file)
    : QObject(drive->window()), m_drive(drive), m_directory(directory), m_file(file) {
    {
        const QSignalBlocker block(m_drive);
        m_drive->setDrive(m_directory->path());
    }
    m_lastDirectory.insert(m_drive->driveOf(m_directory->path()), m_directory->path());
    m_file->setPath(m_directory->path());

    connect(m_drive, &DriveListBox::driveChanged, this, &FileListChain::onDriveChanged);
    connect(m_directory, &DirectoryListBox::pathChanged, this, &FileListChain::onDirectoryChanged);
}

QString FileListChain::currentDirectoryOf(const QString& drive) const {
    return m_lastDirectory.value(drive, drive);
}

bool FileListChain::setPattern(const QString& pattern) {
    if (m_file->setPattern(pattern)) return true;
    m_drive->setDrive(m_directory->path());
    return false;
}

void FileListChain::refresh() {
    if (m_directory->refresh()) {
        m_file->refresh();
        return;
    }
    QString path = m_directory->path();
    while (path != QLatin1String("/")) {
        path = QFileInfo(path).path();
        if (m_directory->setPath(path)) return;
    }
}

void FileListChain::onDriveChanged(const QString& drive) {
    if (m_directory->setPath(currentDirectoryOf(drive))) return;
    if (m_directory->setPath(drive)) return;  // the last directory there has gone
    // The drive cannot be read (no medium, no permission): back to the one shown, silently.
    // That is a drive change too; it lands on the directory list's own drive, which can be read.
    m_drive->setDrive(m_directory->path());
}

void FileListChain::onDirectoryChanged(const QString& path) {
    // The drive list follows the directory onto whichever mount it went.
    m_drive->showDriveOf(path);
    m_lastDirectory.insert(m_drive->driveOf(path), path);
    m_file->setPath(path);  // a failure leaves the file list as it was
}
