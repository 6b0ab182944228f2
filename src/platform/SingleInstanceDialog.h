#pragma once

#include <QDialog>
#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <initializer_list>
#include <utility>

class QCloseEvent;
class QKeyEvent;
class QLabel;
class QPushButton;
class DriveListBox;
class DirectoryListBox;
class FileListBox;
class FileListChain;
class OutputPane;

// What the output file dialogs have in common whichever they are: a fixed modal dialog with a
// title bar and a close box, where neither Escape nor Enter presses a button, and which the close
// box destroys (its buttons only hide it, so its directory and name are there next time).
class SingleInstanceDialogBase : public QDialog {
  protected:
    SingleInstanceDialogBase(const QString& objectName, const QString& title, QWidget* parent);

    // Buttons Enter never presses, not even the one with the focus.
    static void neverDefault(std::initializer_list<QPushButton*> buttons);
    // The caption sits just left of the field it names; in a font wider than the one the places
    // were drawn for it grows to the left rather than being cut off.
    static void fitToTheLeft(QLabel* label);
    // Chains the three lists of the browser, the file list showing the text files.
    static FileListChain* chainTextFiles(DriveListBox* drive, DirectoryListBox* directory,
                                         FileListBox* file);

    // Neither Escape nor Enter presses a button here.
    void keyPressEvent(QKeyEvent* event) override;
    // The close box destroys the dialog (its buttons only hide it).
    void closeEvent(QCloseEvent* event) override;
};

// The single instance of dialog T, made as T(pane, parent) on first use and gone once closed from
// its title bar. T derives from SingleInstanceDialog<T>.
template <class T>
class SingleInstanceDialog : public SingleInstanceDialogBase {
  public:
    // The single instance: created on first use, gone once closed from its title bar.
    static T* instance(OutputPane* pane, QWidget* parent) {
        QPointer<T>& dialog = theInstance();
        if (!dialog) dialog = new T(pane, parent);
        return dialog;
    }
    // The instance if one exists, else null.
    static T* existing() { return theInstance(); }
    // Shows the single instance modally; returns once it has hidden itself or been closed.
    static void showModal(OutputPane* pane, QWidget* parent) {
        T* dialog = instance(pane, parent);
        if (std::function<void(T&)> step = std::exchange(scriptedStep(), nullptr)) {
            QMetaObject::invokeMethod(
                dialog, [dialog, step] { step(*dialog); }, Qt::QueuedConnection);
        }
        dialog->exec();
    }
    // Test seam: the next showModal runs this inside its modal loop, once the dialog is up.
    static void scriptNextShowing(std::function<void(T&)> step) {
        scriptedStep() = std::move(step);
    }

  protected:
    using SingleInstanceDialogBase::SingleInstanceDialogBase;

  private:
    static QPointer<T>& theInstance() {
        static QPointer<T> dialog;
        return dialog;
    }
    static std::function<void(T&)>& scriptedStep() {
        static std::function<void(T&)> step;
        return step;
    }
};
