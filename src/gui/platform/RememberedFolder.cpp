#include "gui/platform/RememberedFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <utility>

RememberedFolder::RememberedFolder(std::shared_ptr<QSettings> settings, QString key)
    : m_settings(std::move(settings)), m_key(std::move(key)) {}

QString RememberedFolder::folder() const {
    if (!m_settings) return {};
    const QString folder = m_settings->value(m_key).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void RememberedFolder::keepFolderOf(const QString& file) {
    if (m_settings) m_settings->setValue(m_key, QDir::cleanPath(QFileInfo(file).absolutePath()));
}
