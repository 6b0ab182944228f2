#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "data/formats/FormatRegistry.h"
#include "data/formats/sheets/Workbook.h"

class QSettings;
class QWidget;
class OutputPane;

// The import of a data file as the main window runs it. The file is read whole first; only
// then is the data set replaced, the summary appended to the pane and the folder remembered,
// and dataSetReplaced tells the windows. A file that cannot be read changes nothing.
class ImportWorkflow : public QObject {
    Q_OBJECT
  public:
    // `settings` keeps the folder of the last import (none: nowhere); `betweenPasses` is
    // called between the two passes of every import with the file's path (none: nothing), on
    // the thread that reads; `formats` reads the files.
    ImportWorkflow(QWidget* window, OutputPane* pane, std::shared_ptr<QSettings> settings,
                   std::function<void(const std::string&)> betweenPasses,
                   const corvane::FormatRegistry& formats = corvane::FormatRegistry::Builtin());

    // The folder of the last successful import while it is still there; otherwise empty.
    QString lastFolder() const;

    // Imports `file` (a full path, empty when none is selected) split at `delimiter`, or with
    // kDetectFormat as whatever format it is detected to be (a workbook of several sheets asks
    // which). Without a file the data set just reads as empty; the matrix itself stays. A file
    // that cannot be read gets its box, which for a chosen delimiter says when detection would
    // read the file. The file is read (and a workbook's sheets listed) off the window's thread
    // under the busy pointer while the window goes on repainting (see WhileBusy); the call
    // returns when the import is done. An import asked for while one runs is not started.
    void import(const QString& file, char delimiter);

  signals:
    // The data set read from `file` is now the current one.
    void dataSetReplaced(const QString& file);

  private:
    // Which sheet of a workbook of several to read; false when the user cancelled.
    bool chooseSheet(const QString& file, corvane::SheetChoice& sheet);

    QWidget* m_window;
    OutputPane* m_pane;
    std::shared_ptr<QSettings> m_settings;
    std::function<void(const std::string&)> m_betweenPasses;
    const corvane::FormatRegistry& m_formats;
    bool m_importing = false;
};
