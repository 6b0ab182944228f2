#pragma once

#include <QString>
#include <memory>

class QSettings;

// A folder kept in the program's settings between runs under one key: where a kind of file was
// last saved or opened. Without settings nothing is kept.
class RememberedFolder {
  public:
    RememberedFolder() = default;
    RememberedFolder(std::shared_ptr<QSettings> settings, QString key);

    // The folder while it is still there; otherwise empty.
    QString folder() const;
    // The folder holding `file` is the one kept from now on.
    void keepFolderOf(const QString& file);

  private:
    std::shared_ptr<QSettings> m_settings;
    QString m_key;
};
