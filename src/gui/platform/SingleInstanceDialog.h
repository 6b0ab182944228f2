#pragma once

#include <QString>

#include "gui/platform/FixedDialog.h"
#include "gui/platform/SingleInstance.h"

class QLabel;
class DriveListBox;
class DirectoryListBox;
class FileListBox;
class FileListChain;
class OutputPane;

// What the output file dialogs have in common whichever they are: a fixed modal dialog with a
// title bar and a close box, where neither Escape nor Enter presses a button, and which the close
// box destroys (its buttons only hide it, so its directory and name are there next time).
class SingleInstanceDialogBase : public FixedDialog {
  protected:
    SingleInstanceDialogBase(const QString& objectName, const QString& title, QWidget* parent);

    // The caption sits just left of the field it names; in a font wider than the one the places
    // were drawn for it grows to the left rather than being cut off.
    static void fitToTheLeft(QLabel* label);
    // Chains the three lists of the browser, the file list showing the text files.
    static FileListChain* chainTextFiles(DriveListBox* drive, DirectoryListBox* directory,
                                         FileListBox* file);
};

// The single instance of dialog T, made as T(pane, parent) on first use and gone once closed from
// its title bar. T derives from SingleInstanceDialog<T>.
template <class T>
class SingleInstanceDialog : public SingleInstanceDialogBase {
  public:
    // The single instance: created on first use, gone once closed from its title bar.
    static T* instance(OutputPane* pane, QWidget* parent) {
        return holder().get([&] { return new T(pane, parent); });
    }
    // The instance if one exists, else null.
    static T* existing() { return holder().existing(); }
    // Shows the single instance modally; returns once it has hidden itself or been closed.
    static void showModal(OutputPane* pane, QWidget* parent) {
        holder().showModal([&] { return new T(pane, parent); });
    }

  protected:
    using SingleInstanceDialogBase::SingleInstanceDialogBase;

  private:
    static SingleInstance<T>& holder() {
        static SingleInstance<T> instance;
        return instance;
    }
};
