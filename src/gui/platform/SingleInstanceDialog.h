#pragma once

#include <QString>
#include <utility>

#include "gui/platform/FixedDialog.h"
#include "gui/platform/RememberedFolder.h"
#include "gui/platform/SingleInstance.h"

class QLabel;
class QShowEvent;
class DriveListBox;
class DirectoryListBox;
class FileListBox;
class FileListChain;
class OutputPane;

// What the output file dialogs have in common whichever they are: a fixed modal dialog with a
// title bar and a close box, where neither Escape nor Enter presses a button, and which the close
// box destroys (its buttons only hide it, so its directory and name are there next time). Its
// browser starts in the folder last used for output and shows the folder as it is at each
// showing; a name typed with its folder ("/..." or "~/...") is taken as it stands.
class SingleInstanceDialogBase : public FixedDialog {
  protected:
    SingleInstanceDialogBase(const QString& objectName, const QString& title, QWidget* parent,
                             RememberedFolder lastFolder);

    // The caption sits just left of the field it names; in a font wider than the one the places
    // were drawn for it grows to the left rather than being cut off.
    static void fitToTheLeft(QLabel* label);
    // Chains the three lists of the browser, the file list showing the text files, in the folder
    // last used for output when there is one.
    FileListChain* chainTextFiles(DriveListBox* drive, DirectoryListBox* directory,
                                  FileListBox* file);

    // A name typed with its folder that names a folder: the browser goes there (true).
    bool goToTypedFolder(const QString& name);
    // A file was saved or opened: its folder is the one last used for output and the browser
    // shows it. False when the browser was elsewhere (and has moved).
    bool usedFile(const QString& path);
    // The user's home folder, which "~" stands for.
    static QString home();

    void showEvent(QShowEvent* event) override;

  private:
    RememberedFolder m_lastFolder;
    QString m_seenFolder;  // the folder last used for output when this dialog last looked
    FileListChain* m_chain = nullptr;
    DirectoryListBox* m_directory = nullptr;
};

// The single instance of dialog T, made as T(pane, parent, extra...) on first use and gone once
// closed from its title bar. T derives from SingleInstanceDialog<T>.
template <class T>
class SingleInstanceDialog : public SingleInstanceDialogBase {
  public:
    // The single instance: created on first use, gone once closed from its title bar.
    template <class... Extra>
    static T* instance(OutputPane* pane, QWidget* parent, Extra&&... extra) {
        return holder().get([&] { return new T(pane, parent, std::forward<Extra>(extra)...); });
    }
    // The instance if one exists, else null.
    static T* existing() { return holder().existing(); }
    // Shows the single instance modally; returns once it has hidden itself or been closed.
    template <class... Extra>
    static void showModal(OutputPane* pane, QWidget* parent, Extra&&... extra) {
        holder().showModal([&] { return new T(pane, parent, std::forward<Extra>(extra)...); });
    }

  protected:
    using SingleInstanceDialogBase::SingleInstanceDialogBase;

  private:
    static SingleInstance<T>& holder() {
        static SingleInstance<T> instance;
        return instance;
    }
};
